// The book player, run on hand-made book folders and bundles, and on a book
// published as a desktop bundle by the ordinary publisher, opened through the
// bundle's own launcher and desktop entry.
#include "PlayerRun.h"
#include "publish/FlashBookOutputApp.h"
#include "support/TestEnv.h"
#include "util/FileUtil.h"
#include "util/Resources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

namespace {

QString skeleton()
{
    return resourcePath("AppFiles/TmplData/mac.app/Contents");
}

// The Exec line of a desktop entry as an argument list, unescaped and
// unquoted as the Desktop Entry format says, with %k replaced.
QStringList execArguments(const QString& desktopFile)
{
    QString exec;
    for (const QString& line : QString::fromUtf8(readFile(desktopFile)).split('\n'))
        if (line.startsWith("Exec="))
            exec = line.mid(5);
    QString value; // string escapes first: \s \n \t \r \\ .
    for (int i = 0; i < exec.size(); ++i) {
        QChar c = exec[i];
        if (c == '\\' && i + 1 < exec.size()) {
            c = exec[++i];
            c = c == 's' ? QChar(' ') : c == 'n' ? QChar('\n') : c == 't' ? QChar('\t') : c == 'r' ? QChar('\r') : c;
        }
        value += c;
    }
    QStringList args;
    QString current;
    bool quoted = false, any = false;
    for (int i = 0; i <= value.size(); ++i) {
        const QChar c = i < value.size() ? value[i] : QChar(' ');
        if (quoted && c == '\\' && i + 1 < value.size()) {
            current += value[++i];
        } else if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c != ' ' || quoted) {
            current += c;
        } else if (any || !current.isEmpty()) {
            args << (current == "%k" ? desktopFile : current);
            current.clear();
            any = false;
        }
    }
    return args;
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
              "<a id=\"web\" href=\"https://example.invalid/site\">site</a><script>var r = new XMLHttpRequest();"
              "r.onload = function () { document.title = r.responseText; };"
              "r.open('GET', 'files/chapter.txt'); r.send(); window.addEventListener('load', function () {"
              "window.open('https://example.invalid/popup'); document.getElementById('web').click(); });</script>");
    const PlayerRun run = runPlayer({"--quit-after-load", dir.file("book/index.html")});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.line("title"), "Chapter Two") << run.out.toStdString();
    EXPECT_EQ(run.line("images"), "1/1");
    QStringList outside = run.lines("outside");
    outside.sort();
    EXPECT_EQ(outside, (QStringList{"https://example.invalid/popup", "https://example.invalid/site"}));
}

TEST(Player, UntitledBooksTakeTheirFolderOrBundleNameWithOrWithoutADisplayMissingOnesAreReported)
{
    // The folder, or the bundle folder, stands for its page.
    TempDir dir;
    writeBook(dir.file("Sea Stories"), {});
    QDir().mkpath(dir.file("shelf"));
    ASSERT_TRUE(fs::copyFolder(skeleton(), dir.file("shelf/Quiet Harbour.app/Contents")));
    writeBook(dir.file("shelf/Quiet Harbour.app/Contents/Resources"), {});
    for (const auto& [book, title] :
         {std::pair{"Sea Stories", "Sea Stories"}, {"shelf/Quiet Harbour.app", "Quiet Harbour"}}) {
        const PlayerRun run = runPlayer({"--quit-after-load", dir.file(book)});
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.line("title"), title) << run.out.toStdString() << run.err.toStdString();
        EXPECT_EQ(run.line("images"), "1/1");
    }

    const PlayerRun missing = runPlayer({"--quit-after-load", dir.file("gone/index.html")});
    ASSERT_TRUE(missing.finished);
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_TRUE(missing.err.contains(dir.file("gone/index.html") + "\" does not exist")) << missing.err.toStdString();
    EXPECT_TRUE(missing.line("title").isEmpty());

    // Without a display the load check runs offscreen and a window is refused.
    const QString contents = dir.file("shelf/Quiet Harbour.app/Contents");
    for (const auto& [program, book] :
         {std::pair{contents + "/MacOS/launch", QStringList()},
          std::pair{QString(QUIRE_PLAYER_EXE), QStringList{contents + "/Resources/index.html"}}}) {
        SCOPED_TRACE(program.toStdString());
        const PlayerRun check = runPlayer(QStringList{"--quit-after-load"} + book, program, {}, false);
        EXPECT_EQ(check.exitCode, 0) << check.err.toStdString();
        EXPECT_EQ(check.line("title"), "Quiet Harbour") << check.out.toStdString();
        const PlayerRun window = runPlayer(book, program, {}, false);
        EXPECT_EQ(window.exitCode, 1) << window.err.toStdString();
        EXPECT_TRUE(window.err.contains("no display")) << window.err.toStdString();
    }

    ASSERT_TRUE(fs::copyFolder(skeleton(), dir.file("Empty.app/Contents")));
    const PlayerRun empty = runPlayer({"--quit-after-load"}, dir.file("Empty.app/Contents/MacOS/launch"));
    ASSERT_TRUE(empty.finished);
    EXPECT_NE(empty.exitCode, 0);
    EXPECT_TRUE(empty.err.contains("Resources/index.html")) << empty.err.toStdString();
}

TEST(PublishedBundle, OpensThroughItsLauncherAndItsDesktopEntry)
{
    TempDir dir;
    auto pages = std::make_shared<FlashPageSourceImg>();
    QImage picture(300, 400, QImage::Format_RGB32);
    picture.fill(pageColor());
    for (int i = 1; i <= 2; ++i) {
        ASSERT_TRUE(picture.save(dir.file(QString("%1.jpg").arg(i)), "JPEG"));
        pages->addImgPageFromFile(dir.file(QString("%1.jpg").arg(i)));
    }
    pages->generateNormalPages();
    auto config = std::make_shared<HTMLConfigInfo>();
    config->setHTMLTitle("Sea Book");
    FlashBookOutputApp out(pages, std::make_shared<FlashTemplate>(), dir.file("shelf"), Text("Sea Book.html"));
    out.setHTMLConfig(config);
    ASSERT_TRUE(out.ouputTheBook().ok());
    const QString contents = dir.file("shelf/Sea Book.app/Contents");
    ASSERT_TRUE(QFileInfo(contents + "/Resources/index.html").isFile());

    // Started from elsewhere, through a link to the launcher, as a menu entry might.
    ASSERT_TRUE(QFile::link(contents + "/MacOS/launch", dir.file("open-sea-book")));
    const PlayerRun run = runPlayer({"--quit-after-load", "--screenshot", dir.file("shot.png")},
                                    dir.file("open-sea-book"), dir.path());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.line("title"), "Sea Book") << run.out.toStdString();
    EXPECT_EQ(run.line("focus"), "book");
    // The pictures the page shows have all arrived, the first page among them,
    // and a good part of the window has the page's colour.
    const QStringList images = run.line("images").split('/');
    ASSERT_EQ(images.size(), 2) << run.out.toStdString();
    EXPECT_GE(images[0].toInt(), 1);
    EXPECT_EQ(images[0], images[1]);
    EXPECT_GT(pageShare(QImage(dir.file("shot.png"))), 0.1);

    // The trusted desktop entry runs the launcher on the book: a stand-in
    // player records what it is asked to open.
    const QString entry = contents + "/quire-book.desktop";
    EXPECT_TRUE(QFileInfo(entry).isExecutable());
    const QString text = QString::fromUtf8(readFile(entry));
    EXPECT_TRUE(text.startsWith("[Desktop Entry]") && text.contains("\nType=Application\n") && text.contains("\nName="));
    QFile::remove(contents + "/MacOS/quire-player");
    writeFile(contents + "/MacOS/quire-player", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/asked.txt\"\n");
    QFile::setPermissions(contents + "/MacOS/quire-player", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList args = execArguments(entry);
    ASSERT_GE(args.size(), 1);
    const PlayerRun fake = runPlayer(args.mid(1), args.first(), dir.path());
    EXPECT_EQ(fake.exitCode, 0) << fake.err.toStdString();
    const QStringList asked = QString::fromUtf8(readFile(contents + "/MacOS/asked.txt")).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(QFileInfo(asked[0]).canonicalFilePath(), QFileInfo(contents + "/Resources/index.html").canonicalFilePath());
}

} // namespace
