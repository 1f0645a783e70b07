// The pictures and the sound that scripts/make-art draws into the resources.
#include "support/TestEnv.h"
#include "util/Resources.h"

#include <QDir>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace quire;

TEST(Art, EachPictureAtItsSizeAndTwiceItDistinctWithinItsSet)
{
    QStringList icons;
    for (const QString& name : QDir(resourcePath("AppFiles/Templates")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        icons << "AppFiles/Templates/" + name + "/icon";
    ASSERT_GE(icons.size(), 3);
    const std::pair<QStringList, int> sets[] = {
        {{"info-normal", "info-normal-hovered", "info-normal-mouse", "info-selected", "info-selected-hovered",
          "info-selected-mouse"}, 13},
        {{"apply", "apply1", "apply2", "apply3"}, 32}, {icons, 32}, {{"quire-64"}, 64}, {{"quire"}, 256}};
    for (const auto& [names, size] : sets)
        for (const QString suffix : {".png", "@2x.png"}) {
            QList<QImage> seen;
            for (const QString& name : names) {
                if (size >= 64 && suffix != ".png")
                    continue;
                const QImage image(resourcePath(name + suffix));
                const std::string file = (name + suffix).toStdString();
                EXPECT_EQ(image.size(), QSize(size, size) * (suffix == ".png" ? 1 : 2)) << file;
                EXPECT_FALSE(seen.contains(image)) << file;
                seen << image;
            }
        }
}

// The page-turn sound: a WAVE file of 16-bit samples that are not silence, and its Ogg Vorbis form.
TEST(Art, PageTurnSoundIsNotSilence)
{
    const QByteArray wav = test::readFile(resourcePath("AppFiles/Sounds/page-turn.wav"));
    ASSERT_TRUE(wav.startsWith("RIFF") && wav.mid(8, 4) == "WAVE");
    const qsizetype data = wav.indexOf("data") + 8;
    ASSERT_GT(data, 8);
    int loudest = 0;
    for (qsizetype at = data; at + 1 < wav.size(); at += 2)
        loudest = std::max(loudest, std::abs(int(qFromLittleEndian<qint16>(wav.constData() + at))));
    EXPECT_GT(loudest, 8000);
    const QByteArray ogg = test::readFile(resourcePath("AppFiles/Sounds/page-turn.ogg"));
    EXPECT_TRUE(ogg.startsWith("OggS") && ogg.contains("vorbis") && ogg.size() < 20000);
}
