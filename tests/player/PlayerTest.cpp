// The book player, run as its own process the way a reader's desktop runs it,
// on hand-made book folders and bundles, and on a book published as a
// desktop bundle, opened through the bundle's own launcher and desktop entry.
#include "publish/FlashBookOutputApp.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"
#include "util/FileUtil.h"
#include "util/Resources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

namespace {

const QColor kPage(0x2e, 0x8b, 0x57);

// Runs the player (or a bundle's launcher) without WebEngine's sandbox, on
// the offscreen platform or, as a login without a desktop, without a display
// or a Qt platform chosen.
ToolRun runPlayer(const QStringList& arguments, const QString& program = QUIRE_PLAYER_EXE,
                  const QString& workingFolder = {}, bool offscreen = true)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(name);
    if (offscreen)
        env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    return runTool(program, arguments, env, workingFolder);
}

// The values of the player's output lines "key: value".
QStringList lines(const ToolRun& run, const QString& key)
{
    QStringList found;
    for (const QString& l : run.out.split('\n'))
        if (l.startsWith(key + ": "))
            found << l.mid(key.size() + 2);
    return found;
}
QString line(const ToolRun& run, const QString& key)
{
    return lines(run, key).value(0);
}

// A small book: "index.html" with the given title (none when empty) and
// extra body, showing a picture of the page colour over the whole window.
void writeBook(const QString& folder, const QString& title, const QString& body = {})
{
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(kPage);
    QDir().mkpath(folder);
    ASSERT_TRUE(picture.save(folder + "/page1.png"));
    writeFile(folder + "/index.html",
              QString("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">%1</head>\n<body style=\"margin:0\">"
                      "<img src=\"page1.png\" style=\"position:fixed;left:0;top:0;width:100%;height:100%\">%2"
                      "</body></html>\n")
                  .arg(title.isEmpty() ? QString() : "<title>" + title + "</title>", body)
                  .toUtf8());
}

QString skeleton()
{
    return resourcePath("AppFiles/TmplData/mac.app/Contents");
}

} // namespace

TEST(Player, ReadsFilesBesideThePageAndHandsWebLinksToTheDesktop)
{
    // The page reads a file of the book folder and makes it its title, as a
    // viewer reads its configuration. A new window asked for by the page, and
    // a web link followed in place, are both handed out; neither replaces the
    // book. Each first-page mark is reported (a book loaded again in place).
    TempDir dir;
    writeFile(dir.file("book/files/chapter.txt"), "Chapter Two");
    writeBook(dir.file("book"), "Loading",
              "<a id=\"web\" href=\"https://example.invalid/site\">site</a><script>var r = new XMLHttpRequest();"
              "r.onload = function () { document.title = r.responseText; };"
              "r.open('GET', 'files/chapter.txt'); r.send(); window.addEventListener('load', function () {"
              "window.open('https://example.invalid/popup'); document.getElementById('web').click();"
              "performance.mark('quire-first-page'); performance.clearMarks('quire-first-page');"
              "performance.mark('quire-first-page'); });</script>");
    const ToolRun run = runPlayer({"--quit-after-load", dir.file("book/index.html")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(line(run, "title"), "Chapter Two") << run.out.toStdString();
    EXPECT_EQ(line(run, "images"), "1/1");
    EXPECT_EQ(lines(run, "first page"), QStringList({"shown", "shown"}));
    QStringList outside = lines(run, "outside");
    outside.sort();
    EXPECT_EQ(outside, (QStringList{"https://example.invalid/popup", "https://example.invalid/site"}));
}

TEST(Player, UntitledBooksTakeTheirFolderOrBundleNameWithOrWithoutADisplayMissingOnesAreReported)
{
    // The folder, or the bundle folder, stands for its page.
    TempDir dir;
    writeBook(dir.file("Sea Stories"), {});
    const QString contents = dir.file("shelf/Quiet Harbour.app/Contents");
    ASSERT_TRUE(QDir().mkpath(dir.file("shelf")) && fs::copyFolder(skeleton(), contents));
    writeBook(contents + "/Resources", {});
    ASSERT_TRUE(fs::copyFolder(skeleton(), dir.file("Empty.app/Contents")));
    const struct {
        QString program;
        QStringList arguments;
        bool display;
        int status;
        QString title, says;
    } cases[] = {
        {QUIRE_PLAYER_EXE, {dir.file("Sea Stories")}, true, 0, "Sea Stories", ""},
        {QUIRE_PLAYER_EXE, {dir.file("shelf/Quiet Harbour.app")}, true, 0, "Quiet Harbour", ""},
        {QUIRE_PLAYER_EXE, {dir.file("gone/index.html")}, true, 1, "", "gone/index.html\" does not exist"},
        {dir.file("Empty.app/Contents/MacOS/launch"), {}, true, 1, "", "Resources/index.html"},
        // Without a display the load check runs offscreen and a window is refused.
        {contents + "/MacOS/launch", {}, false, 0, "Quiet Harbour", ""},
        {QUIRE_PLAYER_EXE, {contents + "/Resources/index.html"}, false, 0, "Quiet Harbour", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.program + " " + c.arguments.join(' ')).toStdString());
        const ToolRun run = runPlayer(QStringList{"--quit-after-load"} + c.arguments, c.program, {}, c.display);
        EXPECT_EQ(run.status == 0, c.status == 0) << run.err.toStdString();
        EXPECT_EQ(line(run, "title"), c.title) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
        if (!c.display) {
            const ToolRun window = runPlayer(c.arguments, c.program, {}, false);
            EXPECT_EQ(window.status, 1);
            EXPECT_TRUE(window.err.contains("no display")) << window.err.toStdString();
        } else if (c.status == 0) {
            EXPECT_EQ(line(run, "images"), "1/1");
        }
    }
}

TEST(PublishedBundle, OpensThroughItsLauncherAndItsDesktopEntry)
{
    TempDir dir;
    auto pages = std::make_shared<FlashPageSourceImg>();
    QImage picture(300, 400, QImage::Format_RGB32);
    picture.fill(kPage);
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

    // Started from elsewhere, through a link to the launcher, as a menu entry might.
    ASSERT_TRUE(QFile::link(contents + "/MacOS/launch", dir.file("open-sea-book")));
    const ToolRun run = runPlayer({"--quit-after-load", "--screenshot", dir.file("shot.png")},
                                  dir.file("open-sea-book"), dir.path());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(line(run, "title"), "Sea Book") << run.out.toStdString();
    EXPECT_EQ(line(run, "focus"), "book");
    // The pictures the page shows have all arrived, the first page among
    // them, and a good part of the window has the page's colour.
    const QStringList images = line(run, "images").split('/');
    ASSERT_EQ(images.size(), 2) << run.out.toStdString();
    EXPECT_GE(images[0].toInt(), 1);
    EXPECT_EQ(images[0], images[1]);
    const QImage shot(dir.file("shot.png"));
    int matching = 0, all = 0;
    for (int y = 0; y < shot.height(); y += 4)
        for (int x = 0; x < shot.width(); x += 4, ++all) {
            const QColor c = shot.pixelColor(x, y);
            matching += std::abs(c.red() - kPage.red()) <= 16 && std::abs(c.green() - kPage.green()) <= 16 &&
                        std::abs(c.blue() - kPage.blue()) <= 16;
        }
    EXPECT_GT(matching, all / 10);

    // The trusted desktop entry runs the launcher on the book: a stand-in
    // player records what it is asked to open.
    const QString entry = contents + "/quire-book.desktop";
    EXPECT_TRUE(QFileInfo(entry).isExecutable());
    const QString text = QString::fromUtf8(readFile(entry));
    EXPECT_TRUE(text.startsWith("[Desktop Entry]") && text.contains("\nType=Application\n") && text.contains("\nName="));
    QFile::remove(contents + "/MacOS/quire-player");
    writeFile(contents + "/MacOS/quire-player", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/asked.txt\"\n");
    QFile::setPermissions(contents + "/MacOS/quire-player", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Its Exec line as the desktop runs it: the string escapes undone, then
    // the quotes read as the shell reads double quotes; %k is the entry itself.
    QString exec = text.section("\nExec=", 1).section('\n', 0, 0).replace("\\\\", "\\");
    exec.replace("%k", "'" + entry + "'");
    EXPECT_EQ(runPlayer({"-c", "exec " + exec}, "/bin/sh", dir.path()).status, 0);
    const QStringList asked = QString::fromUtf8(readFile(contents + "/MacOS/asked.txt")).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(QFileInfo(asked[0]).canonicalFilePath(), QFileInfo(contents + "/Resources/index.html").canonicalFilePath());
}

