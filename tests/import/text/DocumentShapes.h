#pragma once
// An RTFD folder as macOS's and GNUstep's text systems save one, written for
// the tests.
#include "support/TestEnv.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace quire::test {

// "Help.rtfd" in `parent`: TXT.rtf with a TIFF (64 x 48 pixels on 64 x 48
// points) on the first page and a PNG (40 x 40 on 80 x 80) on the second,
// each followed by the attachment character, and, when `withMissing`, a third
// picture whose file is gone.
inline QString writeRtfd(const QString& parent, bool withMissing)
{
    const QString folder = parent + "/Help.rtfd";
    QDir().mkpath(folder);
    for (const auto& [name, side, colour] : {std::tuple{"Red Square.tiff", 48, Qt::red}, {"blue.png", 40, Qt::blue}}) {
        QImage image(side == 48 ? 64 : 40, side, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(folder + "/" + name)) << name;
    }
    writeFile(folder + "/TXT.rtf",
              "{\\rtf1\\ansi\\ansicpg1252\\cocoartf1038\n{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n"
              "\\pard\\tx560\\tx1120\\ql\\qnatural\\pardirnatural\n\n\\f0\\fs24 \\cf0 Before the red one. \n"
              "{{\\NeXTGraphic Red Square.tiff \\width1280 \\height960\n}\xac} After the red one.\\\n"
              "\\page On the second page, the blue one:\n{{\\NeXTGraphic blue.png \\width1600 \\height1600 "
              "\\noorient\n}\xac}" +
                  QByteArray(withMissing ? " and one that is gone {{\\NeXTGraphic gone.tiff \\width800 "
                                           "\\height800\n}\xac}" : "") + " The end.}");
    return folder;
}

} // namespace quire::test
