#pragma once
// Reading RTF text into a document and looking at what came out.
#include "import/text/PageSetup.h"
#include "import/text/RtfReader.h"

#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <memory>

namespace quire::test {

struct ReadRtf {
    std::unique_ptr<QTextDocument> doc = std::make_unique<QTextDocument>();
    textimport::RtfReadResult result;

    QString text() const { return doc->toPlainText(); }

    // The format of the first character of the first occurrence of `word`.
    QTextCharFormat format(const QString& word) const
    {
        QTextCursor at(doc.get());
        at.setPosition(find(word).selectionStart() + 1);
        return at.charFormat();
    }

    QTextBlock block(const QString& word) const { return find(word).block(); }

    QStringList blockTexts() const
    {
        QStringList out;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            out << b.text();
        return out;
    }

    QTextCursor find(const QString& word) const
    {
        const QTextCursor found = doc->find(word);
        EXPECT_FALSE(found.isNull()) << word.toStdString();
        return found;
    }
};

inline textimport::LayoutUnits printUnits()
{
    return textimport::LayoutUnits::forPrinting();
}

inline ReadRtf readRtf(const QByteArray& rtf)
{
    ReadRtf r;
    r.result = textimport::RtfReader::read(rtf, *r.doc, printUnits());
    return r;
}

// A document body wrapped in a minimal header.
inline ReadRtf readBody(const QByteArray& body)
{
    return readRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Helvetica;}}"
                   "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}" +
                   body + "}");
}

// A 72-dpi paint device: documents laid out on it measure lines as printed.
inline QImage printerDevice()
{
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(72 / 0.0254));
    device.setDotsPerMeterY(qRound(72 / 0.0254));
    return device;
}

} // namespace quire::test
