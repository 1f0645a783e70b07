// The desktop bundle skeleton the build puts into the resources: its desktop
// entry, and its launcher on hand-made bundles.
#include "PlayerRun.h"
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

// Publishes by hand what a desktop bundle holds: the skeleton copied to
// N.app/Contents and a book in Contents/Resources. Returns Contents.
QString makeBundle(const QString& folder, const QString& name, const QString& title)
{
    const QString contents = QDir(folder).filePath(name + ".app/Contents");
    EXPECT_TRUE(fs::copyFolder(skeleton(), contents));
    writeBook(contents + "/Resources", title, pictureBody());
    return contents;
}

// The Exec line of a desktop entry as an argument list, unescaped and
// unquoted as the Desktop Entry format says, with %k replaced.
QStringList execArguments(const QString& desktopFile)
{
    QString exec;
    bool inEntry = false;
    for (const QString& raw : QString::fromUtf8(readFile(desktopFile)).split('\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith('['))
            inEntry = line == "[Desktop Entry]";
        else if (inEntry && line.startsWith("Exec="))
            exec = line.mid(5);
    }
    QString value;  // string escapes first: \s \n \t \r \\ .
    for (int i = 0; i < exec.size(); ++i) {
        if (exec[i] == '\\' && i + 1 < exec.size()) {
            const QChar c = exec[++i];
            value += c == 's' ? QChar(' ') : c == 'n' ? QChar('\n') : c == 't' ? QChar('\t') : c == 'r' ? QChar('\r') : c;
        } else {
            value += exec[i];
        }
    }
    QStringList args;
    QString current;
    bool quoted = false, any = false;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (quoted && c == '\\' && i + 1 < value.size()) {
            current += value[++i];
        } else if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any || !current.isEmpty())
                args << current;
            current.clear();
            any = false;
        } else {
            current += c;
        }
    }
    if (any || !current.isEmpty())
        args << current;
    for (QString& arg : args)
        if (arg == "%k")
            arg = desktopFile;
    return args;
}

} // namespace

TEST(Bundle, SkeletonHasATrustedDesktopEntry)
{
    // The player and launcher are run by the tests below; the entry is read.
    const QString entry = skeleton() + "/quire-book.desktop";
    EXPECT_TRUE(QFileInfo(entry).isExecutable());
    const QString text = QString::fromUtf8(readFile(entry));
    EXPECT_TRUE(text.startsWith("[Desktop Entry]"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nName="));
}

TEST(Bundle, UntitledBookTakesTheBundleName)
{
    TempDir dir;
    makeBundle(dir.file("shelf"), "Quiet Harbour", QString());
    // The player also takes the bundle folder itself.
    const PlayerRun run = runProgram(playerExecutable(), {"--quit-after-load", dir.file("shelf/Quiet Harbour.app")});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.line("title"), "Quiet Harbour") << run.out.toStdString() << run.err.toStdString();
}

TEST(Bundle, LauncherWithoutBookSaysSo)
{
    TempDir dir;
    const QString contents = dir.file("Empty.app/Contents");
    ASSERT_TRUE(fs::copyFolder(skeleton(), contents));
    const PlayerRun run = runProgram(contents + "/MacOS/launch", {"--quit-after-load"});
    ASSERT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("Resources/index.html")) << run.err.toStdString();
}

TEST(Bundle, DesktopEntryRunsTheLauncherOnTheBook)
{
    // A stand-in player records what it is asked to open.
    TempDir dir;
    const QString contents = makeBundle(dir.file("shelf"), "Atlas", "Atlas");
    const QString fake = contents + "/MacOS/quire-player";
    QFile::remove(fake);
    writeFile(fake, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/asked.txt\"\n");
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QStringList args = execArguments(contents + "/quire-book.desktop");
    ASSERT_GE(args.size(), 1);
    const PlayerRun run = runProgram(args.first(), args.mid(1), dir.path());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList asked = QString::fromUtf8(readFile(contents + "/MacOS/asked.txt")).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(asked.size(), 1) << run.err.toStdString();
    EXPECT_EQ(QFileInfo(asked.first()).canonicalFilePath(), QFileInfo(contents + "/Resources/index.html").canonicalFilePath());
}

TEST(Bundle, WithoutADisplayTheLoadCheckRunsOffscreenAndAWindowIsRefused)
{
    TempDir dir;
    const QString contents = makeBundle(dir.file("shelf"), "Lantern", "Lantern");
    const struct {
        QString program;
        QStringList book;
    } cases[] = {{contents + "/MacOS/launch", {}}, {playerExecutable(), {contents + "/Resources/index.html"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program.toStdString());
        const PlayerRun check = runWithoutDisplay(c.program, QStringList{"--quit-after-load"} + c.book);
        ASSERT_TRUE(check.finished);
        EXPECT_EQ(check.exitCode, 0) << check.err.toStdString();
        EXPECT_EQ(check.line("title"), "Lantern") << check.out.toStdString();
        const PlayerRun open = runWithoutDisplay(c.program, c.book);
        ASSERT_TRUE(open.finished);
        EXPECT_EQ(open.exitCode, 1) << open.err.toStdString();
        EXPECT_TRUE(open.err.contains("no display")) << open.err.toStdString();
    }
}
