// A book published as a desktop bundle by the ordinary publisher, with the
// shipped default template, opened through the bundle's own launcher.
#include "PlayerRun.h"
#include "publish/FlashBookOutputApp.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

TEST(PublishedBundle, OpensThroughItsLauncher)
{
    TempDir dir;
    auto pages = std::make_shared<FlashPageSourceImg>();
    for (int i = 1; i <= 2; ++i) {
        QImage picture(300, 400, QImage::Format_RGB32);
        picture.fill(pageColor());
        const QString path = dir.file(QString("pics/%1.jpg").arg(i));
        QDir().mkpath(dir.file("pics"));
        ASSERT_TRUE(picture.save(path, "JPEG"));
        pages->addImgPageFromFile(path);
        pages->pages().back()->setPageIndex(i);
    }
    pages->generateNormalPages();
    auto config = std::make_shared<HTMLConfigInfo>();
    config->setHTMLTitle("Sea Book");
    FlashBookOutputApp out(pages, std::make_shared<FlashTemplate>(), dir.file("shelf"), Text("Sea Book.html"));
    out.setHTMLConfig(config);
    ASSERT_TRUE(out.ouputTheBook().ok());
    ASSERT_TRUE(QFileInfo(dir.file("shelf/Sea Book.app/Contents/Resources/index.html")).isFile());

    // Started from elsewhere, through a link to the launcher, as a menu entry might.
    ASSERT_TRUE(QFile::link(dir.file("shelf/Sea Book.app/Contents/MacOS/launch"), dir.file("open-sea-book")));
    const QString shot = dir.file("shot.png");
    const PlayerRun run = runProgram(dir.file("open-sea-book"), {"--quit-after-load", "--screenshot", shot}, dir.path());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.line("title"), "Sea Book") << run.out.toStdString();
    // The pictures the page shows have all arrived, the first page among them.
    const QStringList images = run.line("images").split('/');
    ASSERT_EQ(images.size(), 2) << run.out.toStdString();
    EXPECT_GE(images[0].toInt(), 1) << run.out.toStdString();
    EXPECT_EQ(images[0], images[1]) << run.out.toStdString();

    // And the window shows it: a good part of it has the page's colour,
    // wherever the viewer lays the page out.
    const QImage seen(shot);
    ASSERT_FALSE(seen.isNull());
    const QColor page = pageColor();
    int matching = 0;
    for (int y = 0; y < seen.height(); y += 4)
        for (int x = 0; x < seen.width(); x += 4) {
            const QColor c = seen.pixelColor(x, y);
            matching += std::abs(c.red() - page.red()) <= 16 && std::abs(c.green() - page.green()) <= 16
                && std::abs(c.blue() - page.blue()) <= 16;
        }
    EXPECT_GT(matching, (seen.width() / 4) * (seen.height() / 4) / 10);
}
