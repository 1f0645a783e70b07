// The application's log file, working folders, folder walk and trust file.
#include "app/AppLog.h"
#include "app/QuillUtility.h"
#include "support/TestEnv.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

using namespace quire;
using test::readFile;
using test::writeFile;

TEST(AppLog, ShippedConfigurationWritesTheLogFileInTheUsersDataFolder)
{
    EXPECT_TRUE(logFilePath().startsWith(test::testHome() + "/.local/share/")) << logFilePath().toStdString();
    prepaireTheLog();
    QLOG_INFO("version is:%@", "test");
    QLOG_DEBUG("below the shipped threshold");
    const QByteArray text = readFile(logFilePath());
    EXPECT_TRUE(text.contains("version is:test"));
    EXPECT_FALSE(text.contains("below the shipped threshold"));
}

TEST(QuillUtility, WorkingFoldersAreFreshAndSideBySideAndTheWalkIsDepthFirstByName)
{
    const QString a = QuillUtility::forceTmpDiractory("Sheaf"), b = QuillUtility::forceTmpDiractory("Sheaf");
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.startsWith("/tmp/Sheaf/temp."));
    EXPECT_EQ(QFileInfo(a).absolutePath(), QFileInfo(b).absolutePath());
    EXPECT_TRUE(QFileInfo(a).isDir() && QDir(a).isEmpty());
    QuillUtility::removeTmpDiractory(a);
    QuillUtility::removeTmpDiractory(b);

    test::TempDir dir;
    QDir().mkpath(dir.file("B"));
    QDir().mkpath(dir.file("A/C"));
    writeFile(dir.file("A/file.txt"), "x");
    QFile::link(dir.file("A"), dir.file("Link"));
    EXPECT_EQ(QuillUtility::subFolderOfFolder(dir.path()), (QStringList{dir.file("A"), dir.file("A/C"), dir.file("B")}));
    EXPECT_TRUE(QuillUtility::subFolderOfFolder(dir.file("missing")).isEmpty());
    EXPECT_TRUE(QuillUtility::subFolderOfFolder(dir.file("B")).isEmpty());
}

TEST(QuillUtility, SweepRemovesOnlyFoldersWhoseProcessEnded)
{
    test::TempDir dir;
    QuillUtility::setTmpBaseFolder(dir.path());
    const QString own = QuillUtility::forceTmpDiractory("Sheaf");
    writeFile(own + "/1.jpg", "x");
    const QString other = dir.file("Sheaf/temp.other");     // another process's, killed below
    const QString foreign = dir.file("Sheaf/temp.foreign"); // made by some other program: no lock
    QDir().mkpath(foreign);
    writeFile(other + "/2.jpg", "x");
    writeFile(other + ".lock", "");
    // One process that takes the lock and then sleeps, holding it.
    QProcess holder;
    holder.start("sh", {"-c", "exec 9<\"$0\" && flock 9 && exec sleep 60", other + ".lock"});
    bool held = false;
    for (int i = 0; i < 500 && !held; ++i) {
        const int fd = ::open(QFile::encodeName(other + ".lock").constData(), O_RDONLY | O_CLOEXEC);
        held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        ::close(fd);
        QThread::msleep(held ? 0 : 10);
    }
    ASSERT_TRUE(held);
    EXPECT_EQ(QuillUtility::sweepTmpDiractories("Sheaf"), 0);
    holder.kill();
    holder.waitForFinished();
    writeFile(dir.file("Sheaf/temp.gone.lock"), ""); // its folder was removed by someone else
    EXPECT_EQ(QuillUtility::sweepTmpDiractories("Sheaf"), 2);
    EXPECT_FALSE(QFileInfo::exists(other) || QFileInfo::exists(other + ".lock"));
    EXPECT_FALSE(QFileInfo::exists(dir.file("Sheaf/temp.gone.lock")));
    EXPECT_TRUE(QFileInfo::exists(own + "/1.jpg"));
    EXPECT_TRUE(QFileInfo(foreign).isDir());
    QuillUtility::removeTmpDiractory(own);
    EXPECT_FALSE(QFileInfo::exists(own) || QFileInfo::exists(own + ".lock"));
    QuillUtility::setTmpBaseFolder(QString());
}

TEST(QuillUtility, TrustFileGetsEachFolderOnceAsUtf16AndForeignFilesAreLeftAlone)
{
    auto utf16le = [](const QString& text) {
        QByteArray out("\xFF\xFE", 2);
        for (QChar c : text)
            out.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
        return out;
    };
    test::TempDir dir;
    QuillUtility::setFlashTrustFolder(dir.file("trust"));
    const QString file = dir.file("trust/PT.cfg");
    const QByteArray bigEndian("\xFE\xFF\x00/\x00x", 6);
    // The file before (none when empty), the folder added, the file after.
    const std::tuple<QByteArray, QString, QByteArray> cases[] = {
        {{}, "/a", utf16le("/a")},
        {utf16le("/a\n/b"), "/b", utf16le("/a\n/b")},
        {utf16le("/a\n/b"), "/c", utf16le("/a\n/b\n/c")},
        {utf16le("/b"), "/b/", utf16le("/b\n/b/")}, // compared exactly
        {utf16le("/a"), "/ünï", utf16le("/a\n/ünï")},
        {bigEndian, "/x", bigEndian},
        {"/plain\n/ascii", "/y", "/plain\n/ascii"},
    };
    for (const auto& [before, folder, after] : cases) {
        QFile::remove(file);
        if (!before.isEmpty())
            writeFile(file, before);
        QuillUtility::makeDiractoryTrustByFlash(folder);
        EXPECT_EQ(readFile(file), after) << folder.toStdString();
    }

    // A folder that cannot be made is only noted in the debug log.
    QuillUtility::setFlashTrustFolder("/proc/quire-cannot-exist");
    log::Capture capture;
    QuillUtility::makeDiractoryTrustByFlash("/a");
    EXPECT_FALSE(capture.messages(log::Level::Debug).isEmpty());
    EXPECT_EQ(capture.messages().size(), capture.messages(log::Level::Debug).size());
    QuillUtility::setFlashTrustFolder(QString());
}
