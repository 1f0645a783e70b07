// The pictures and the sound that scripts/make-art draws into the resources.
#include "support/TestEnv.h"
#include "util/Resources.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace quire;

namespace {

QImage load(const QString& relative)
{
    return QImage(resourcePath(relative)).convertToFormat(QImage::Format_ARGB32);
}

// A picture that is drawn: its corners clear and its middle opaque.
void expectBadge(const QImage& image, const std::string& name)
{
    ASSERT_FALSE(image.isNull()) << name;
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << name;
    EXPECT_EQ(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0) << name;
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 200;
    EXPECT_GT(opaque, image.width() * image.height() / 5) << name;
}

// Checks name.png at size and name@2x.png at twice the size; all pictures
// of a set must differ from each other at both sizes.
void expectSet(const QStringList& names, int size)
{
    for (const QString& suffix : {QStringLiteral(".png"), QStringLiteral("@2x.png")}) {
        const int expected = suffix == QLatin1String(".png") ? size : 2 * size;
        QList<QImage> images;
        for (const QString& name : names) {
            const QImage image = load(name + suffix);
            ASSERT_FALSE(image.isNull()) << (name + suffix).toStdString();
            EXPECT_EQ(image.size(), QSize(expected, expected)) << (name + suffix).toStdString();
            images << image;
        }
        for (int a = 0; a < images.size(); ++a)
            for (int b = a + 1; b < images.size(); ++b)
                EXPECT_NE(images[a], images[b]) << (names[a] + " = " + names[b] + suffix).toStdString();
    }
}

double meanHue(const QImage& image)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            if (c.alpha() > 200 && c.hsvHue() >= 0) {
                sum += c.hsvHue();
                ++count;
            }
        }
    return count ? sum / count : -1;
}

quint32 le32(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

} // namespace

TEST(Art, InfoButtonHasSixDistinctStates)
{
    const QStringList names = {"info-normal", "info-normal-hovered", "info-normal-mouse",
                               "info-selected", "info-selected-hovered", "info-selected-mouse"};
    expectSet(names, 13);
    for (const QString& name : names)
        expectBadge(load(name + "@2x.png"), name.toStdString());
    // The letter sits in the middle, in a colour of its own.
    const QImage normal = load("info-normal@2x.png");
    EXPECT_NE(normal.pixel(13, 16), normal.pixel(8, 16));
}

TEST(Art, ApplyIdleIsCalmAndPendingPhasesStandOut)
{
    expectSet({"apply", "apply1", "apply2", "apply3"}, 32);
    const double idle = meanHue(load("apply.png"));
    ASSERT_GE(idle, 0);
    for (const char* phase : {"apply1", "apply2", "apply3"}) {
        const double hue = meanHue(load(QString::fromLatin1(phase) + ".png"));
        ASSERT_GE(hue, 0) << phase;
        // Blue at rest (around 210), amber while changes wait (around 35).
        EXPECT_GT(std::abs(hue - idle), 90) << phase;
    }
}

TEST(Art, ApplicationAndTemplateIcons)
{
    EXPECT_EQ(load("quire.png").size(), QSize(256, 256));
    EXPECT_EQ(load("quire-64.png").size(), QSize(64, 64));
    expectBadge(load("quire.png"), "quire.png");

    const QDir templates(resourcePath("AppFiles/Templates"));
    const QStringList names = templates.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_TRUE(names.contains("float"));
    QList<QImage> icons;
    for (const QString& name : names) {
        const QImage icon = load("AppFiles/Templates/" + name + "/icon.png");
        ASSERT_FALSE(icon.isNull()) << name.toStdString();
        EXPECT_EQ(icon.size(), QSize(32, 32)) << name.toStdString();
        EXPECT_EQ(load("AppFiles/Templates/" + name + "/icon@2x.png").size(), QSize(64, 64)) << name.toStdString();
        for (const QImage& other : icons)
            EXPECT_NE(icon, other) << name.toStdString();
        icons << icon;
    }
}

TEST(Art, PageTurnSoundIsAShortSwish)
{
    const QByteArray wav = test::readFile(resourcePath("AppFiles/Sounds/page-turn.wav"));
    ASSERT_GT(wav.size(), 44);
    ASSERT_TRUE(wav.startsWith("RIFF"));
    ASSERT_EQ(wav.mid(8, 4), QByteArray("WAVE"));
    // Walk the chunks for the format's byte rate and the samples' length.
    quint32 byteRate = 0, dataSize = 0;
    for (int at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const quint32 size = le32(wav, at + 4);
        if (id == "fmt ")
            byteRate = le32(wav, at + 16);
        else if (id == "data")
            dataSize = size;
        at += 8 + int(size) + int(size & 1);
    }
    ASSERT_GT(byteRate, 0u);
    const double seconds = double(dataSize) / byteRate;
    EXPECT_GE(seconds, 0.3);
    EXPECT_LE(seconds, 0.5);

    // Not silence: the samples swing well away from zero somewhere.
    const int dataAt = wav.indexOf("data") + 8;
    int loudest = 0;
    for (int at = dataAt; at + 1 < wav.size(); at += 2)
        loudest = std::max(loudest, std::abs(int(qFromLittleEndian<qint16>(wav.constData() + at))));
    EXPECT_GT(loudest, 8000);

    const QByteArray ogg = test::readFile(resourcePath("AppFiles/Sounds/page-turn.ogg"));
    EXPECT_TRUE(ogg.startsWith("OggS"));
    EXPECT_TRUE(ogg.contains("vorbis"));
    EXPECT_LT(ogg.size(), 20000);
}
