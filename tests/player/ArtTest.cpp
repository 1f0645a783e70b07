// The pictures and the sound that scripts/make-art draws into the resources.
#include "support/TestEnv.h"
#include "util/Resources.h"

#include <QDir>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace quire;

namespace {

QImage load(const QString& relative)
{
    return QImage(resourcePath(relative)).convertToFormat(QImage::Format_ARGB32);
}

// A drawn picture: corners clear and a good part opaque.
bool isBadge(const QImage& image)
{
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 200;
    return qAlpha(image.pixel(0, 0)) == 0 && qAlpha(image.pixel(image.width() - 1, image.height() - 1)) == 0 &&
           opaque > image.width() * image.height() / 5;
}

// Each picture at its size (name.png) and twice the size (name@2x.png), all
// of a set different from each other at both sizes.
void expectSet(const QStringList& names, int size, bool badges = false)
{
    for (const QString suffix : {".png", "@2x.png"}) {
        QList<QImage> images;
        for (const QString& name : names) {
            SCOPED_TRACE((name + suffix).toStdString());
            const QImage image = load(name + suffix);
            EXPECT_EQ(image.size(), QSize(size, size) * (suffix == ".png" ? 1 : 2));
            for (const QImage& other : images)
                EXPECT_NE(image, other);
            images << image;
            EXPECT_TRUE(!badges || isBadge(image));
        }
    }
}

} // namespace

TEST(Art, ButtonsAndIcons)
{
    expectSet({"info-normal", "info-normal-hovered", "info-normal-mouse", "info-selected", "info-selected-hovered",
               "info-selected-mouse"}, 13, true);
    // The letter sits in the middle, in a colour of its own.
    const QImage info = load("info-normal@2x.png");
    EXPECT_NE(info.pixel(13, 16), info.pixel(8, 16));

    expectSet({"apply", "apply1", "apply2", "apply3"}, 32);

    EXPECT_EQ(load("quire-64.png").size(), QSize(64, 64));
    EXPECT_EQ(load("quire.png").size(), QSize(256, 256));
    EXPECT_TRUE(isBadge(load("quire.png")));
    QStringList icons;
    for (const QString& name : QDir(resourcePath("AppFiles/Templates")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        icons << "AppFiles/Templates/" + name + "/icon";
    ASSERT_GE(icons.size(), 3);
    expectSet(icons, 32);
}

TEST(Art, PageTurnSoundIsAShortSwish)
{
    const QByteArray wav = test::readFile(resourcePath("AppFiles/Sounds/page-turn.wav"));
    ASSERT_GT(wav.size(), 44);
    ASSERT_TRUE(wav.startsWith("RIFF") && wav.mid(8, 4) == "WAVE");
    // Walk the chunks for the format's byte rate and the samples.
    quint32 byteRate = 0;
    QByteArray samples;
    for (int at = 12; at + 8 <= wav.size();) {
        const quint32 size = qFromLittleEndian<quint32>(wav.constData() + at + 4);
        if (wav.mid(at, 4) == "fmt ")
            byteRate = qFromLittleEndian<quint32>(wav.constData() + at + 16);
        else if (wav.mid(at, 4) == "data")
            samples = wav.mid(at + 8, size);
        at += 8 + int(size) + int(size & 1);
    }
    ASSERT_GT(byteRate, 0u);
    EXPECT_GE(double(samples.size()) / byteRate, 0.3);
    EXPECT_LE(double(samples.size()) / byteRate, 0.5);
    // Not silence: the samples swing well away from zero somewhere.
    int loudest = 0;
    for (int at = 0; at + 1 < samples.size(); at += 2)
        loudest = std::max(loudest, std::abs(int(qFromLittleEndian<qint16>(samples.constData() + at))));
    EXPECT_GT(loudest, 8000);

    const QByteArray ogg = test::readFile(resourcePath("AppFiles/Sounds/page-turn.ogg"));
    EXPECT_TRUE(ogg.startsWith("OggS") && ogg.contains("vorbis"));
    EXPECT_LT(ogg.size(), 20000);
}
