// The book player on its own: quire-player run on hand-made book folders.
#include "PlayerRun.h"
#include "support/TestEnv.h"

#include <QColor>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

using namespace quire::test;

namespace {

void expectShowsPicture(const QString& screenshot)
{
    const QImage shot(screenshot);
    ASSERT_FALSE(shot.isNull()) << screenshot.toStdString();
    ASSERT_GT(shot.width(), 200);
    const QColor seen = shot.pixelColor(shot.width() / 2, shot.height() / 2);
    const QColor page = pageColor();
    EXPECT_LE(std::abs(seen.red() - page.red()), 12) << seen.name().toStdString();
    EXPECT_LE(std::abs(seen.green() - page.green()), 12) << seen.name().toStdString();
    EXPECT_LE(std::abs(seen.blue() - page.blue()), 12) << seen.name().toStdString();
}

} // namespace

TEST(Player, ShowsTheBookTitledWithItsPageTitle)
{
    TempDir dir;
    writeBook(dir.file("book"), "Harbour Tales", pictureBody());
    const QString shot = dir.file("shot.png");
    // The folder stands for its index.html.
    const PlayerRun run = runProgram(playerExecutable(), {"--quit-after-load", "--screenshot", shot, dir.file("book")});
    ASSERT_TRUE(run.finished) << run.err.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.line("title"), "Harbour Tales") << run.out.toStdString();
    EXPECT_EQ(run.line("images"), "1/1") << run.out.toStdString();
    EXPECT_EQ(run.line("focus"), "book");
    expectShowsPicture(shot);
}

TEST(Player, ReadsFilesBesideThePageAndHandsWebLinksToTheDesktop)
{
    // The page reads a file of the book folder and makes it its title, as a
    // viewer reads its configuration; both need file access from the page.
    // A new window asked for by the page, and a web link followed in place,
    // are both handed out; neither replaces the book.
    TempDir dir;
    writeFile(dir.file("book/files/chapter.txt"), "Chapter Two");
    writeBook(dir.file("book"), "Loading",
              pictureBody()
                  + "<a id=\"web\" href=\"https://example.invalid/site\">site</a>"
                    "<script>var r = new XMLHttpRequest();"
                    "r.onload = function () { document.title = r.responseText; };"
                    "r.open('GET', 'files/chapter.txt'); r.send();"
                    "window.addEventListener('load', function () {"
                    "window.open('https://example.invalid/popup');"
                    "document.getElementById('web').click(); });</script>");
    const PlayerRun run = runProgram(playerExecutable(), {"--quit-after-load", dir.file("book/index.html")});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.line("title"), "Chapter Two") << run.out.toStdString();
    EXPECT_EQ(run.line("images"), "1/1");
    const QStringList outside = run.lines("outside");
    EXPECT_TRUE(outside.contains("https://example.invalid/popup")) << run.out.toStdString();
    EXPECT_TRUE(outside.contains("https://example.invalid/site")) << run.out.toStdString();
}

TEST(Player, UntitledPageTakesTheFolderName)
{
    TempDir dir;
    writeBook(dir.file("Sea Stories"), QString(), pictureBody());
    const PlayerRun run = runProgram(playerExecutable(), {"--quit-after-load", dir.file("Sea Stories/index.html")});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.line("title"), "Sea Stories") << run.out.toStdString();
    EXPECT_EQ(run.line("images"), "1/1");
}

TEST(Player, MissingBookIsReportedClearly)
{
    TempDir dir;
    const QString page = dir.file("gone/index.html");
    const PlayerRun run = runProgram(playerExecutable(), {"--quit-after-load", page});
    ASSERT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("does not exist")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(page)) << run.err.toStdString();
    EXPECT_TRUE(run.line("title").isEmpty());
}
