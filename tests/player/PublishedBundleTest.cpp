// A book published as a desktop bundle by the ordinary publisher, with the
// shipped default template, opened through the bundle's own launcher.
#include "PlayerRun.h"
#include "publish/FlashBookOutputApp.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
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
    out.ouputTheBook();
    ASSERT_TRUE(QFileInfo(dir.file("shelf/Sea Book.app/Contents/Resources/index.html")).isFile());

    const PlayerRun run = runProgram(dir.file("shelf/Sea Book.app/Contents/MacOS/launch"), {"--quit-after-load"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.line("title"), "Sea Book") << run.out.toStdString();
    // Whatever pictures the page shows have all arrived.
    const QStringList images = run.line("images").split('/');
    ASSERT_EQ(images.size(), 2) << run.out.toStdString();
    EXPECT_EQ(images[0], images[1]) << run.out.toStdString();
}
