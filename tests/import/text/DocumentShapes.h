#pragma once
// Documents in the shapes that real ones come in, written for the tests: a
// hard-wrapped text file with form feeds and aligned columns, an RTFD folder
// as macOS's and GNUstep's text systems save one, and RTF in Times with long
// paragraphs and a table of narrow label cells.
#include "support/TestEnv.h"

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace quire::test {

// Three sections, each starting after a form feed but the first: a title, an
// 80-column line, prose hard-wrapped at 72 columns, a table whose columns
// are aligned with spaces and tabs, and one line longer than 80 columns.
// No two lines are alike.
inline QByteArray hardWrappedText()
{
    const QStringList words = QString("quire folio margin gutter binding signature recto verso leaf spine "
                                      "colophon imprint").split(' ');
    QByteArray text;
    for (int section = 1; section <= 3; ++section) {
        if (section > 1)
            text += "\f\n";
        text += "SECTION " + QByteArray::number(section) + "\n" + QByteArray::number(section).repeated(80) + "\n\n";
        QString line = QString("s%1").arg(section);
        for (int i = 0; i < 420; ++i) {
            const QString word = words[(i * 7 + section) % words.size()] + QString::number(i);
            if (line.size() + 1 + word.size() > 72) {
                text += line.toUtf8() + "\n";
                line = QString("s%1").arg(section);
            }
            line += ' ' + word;
        }
        text += line.toUtf8() + "\n\n";
        for (int row = 1; row <= 12; ++row)
            text += QString("%1\tentry%2.%3%4\t%5\n")
                        .arg(row, 4)
                        .arg(section)
                        .arg(row, -6)
                        .arg(row * 4711 % 100000, 9)
                        .arg(QString(row % 3 ? "yes" : "no"))
                        .toUtf8();
        text += "Section " + QByteArray::number(section) +
                " closes with a line longer than eighty columns, which goes on below itself.\n";
    }
    return text;
}

// A picture of one colour, saved in the format its name's extension gives.
inline void writePicture(const QString& path, int width, int height, Qt::GlobalColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path)) << path.toStdString();
}

// "Help.rtfd" in `parent`, as Cocoa writes one: TXT.rtf with a TIFF on the
// first page and a PNG on the second, each followed by the attachment
// character, and, when `withMissing`, a third picture whose file is gone.
inline QString writeRtfd(const QString& parent, bool withMissing)
{
    const QString folder = parent + "/Help.rtfd";
    QDir().mkpath(folder);
    writePicture(folder + "/Red Square.tiff", 64, 48, Qt::red);
    writePicture(folder + "/blue.png", 40, 40, Qt::blue);
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\cocoartf1038\\cocoasubrtf360\n"
                     "{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n{\\colortbl;\\red255\\green255\\blue255;}\n"
                     "\\pard\\tx560\\tx1120\\ql\\qnatural\\pardirnatural\n\n\\f0\\fs24 \\cf0 Before the red one. \n"
                     "{{\\NeXTGraphic Red Square.tiff \\width1280 \\height960\n}\xac} After the red one.\\\n"
                     "\\page On the second page, the blue one:\n"
                     "{{\\NeXTGraphic blue.png \\width1600 \\height1600 \\noorient\n}\xac}";
    if (withMissing)
        rtf += " and one that is gone {{\\NeXTGraphic gone.tiff \\width800 \\height800\n}\xac}";
    writeFile(folder + "/TXT.rtf", rtf + " The end.}");
    return folder;
}

} // namespace quire::test
