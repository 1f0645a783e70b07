#include "app/QuillUtility.h"
#include "support/TestEnv.h"
#include "util/Log.h"

#include <QDir>
#include <QProcess>
#include <QThread>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quire;
using quire::test::readFile;
using quire::test::writeFile;

namespace {

QByteArray utf16le(const QString& text)
{
    QByteArray out("\xFF\xFE", 2);
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xff));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

class TrustTest : public ::testing::Test {
protected:
    void SetUp() override { QuillUtility::setFlashTrustFolder(dir.file("trust/FlashPlayerTrust")); }
    void TearDown() override { QuillUtility::setFlashTrustFolder(QString()); }
    QString trustFile() const { return dir.file("trust/FlashPlayerTrust/PT.cfg"); }
    test::TempDir dir;
};

} // namespace

TEST(QuillUtility, WorkingFoldersAreFreshAndSideBySide)
{
    const QString a = QuillUtility::forceTmpDiractory("Sheaf");
    const QString b = QuillUtility::forceTmpDiractory("Sheaf");
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.startsWith("/tmp/Sheaf/temp."));
    EXPECT_EQ(QFileInfo(a).absolutePath(), QFileInfo(b).absolutePath());
    EXPECT_TRUE(QFileInfo(a).isDir());
    EXPECT_TRUE(QDir(a).isEmpty());
    QuillUtility::removeTmpDiractory(a);
    QuillUtility::removeTmpDiractory(b);
}

namespace {

// Waits until another process holds the flock on path.
bool heldElsewhere(const QString& path)
{
    for (int i = 0; i < 500; ++i) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        const bool free = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!free)
            return true;
        QThread::msleep(10);
    }
    return false;
}

} // namespace

TEST(QuillUtility, SweepRemovesOnlyFoldersWhoseProcessEnded)
{
    test::TempDir dir;
    QuillUtility::setTmpBaseFolder(dir.path());
    const QString own = QuillUtility::forceTmpDiractory("Sheaf");
    writeFile(own + "/1.jpg", "x");
    const QString other = dir.file("Sheaf/temp.other");   // another process's, killed below
    const QString foreign = dir.file("Sheaf/temp.foreign"); // made by some other program: no lock
    QDir().mkpath(other);
    QDir().mkpath(foreign);
    writeFile(other + "/2.jpg", "x");
    writeFile(other + ".lock", "");

    QProcess holder;
    // One process that takes the lock and then sleeps, holding it.
    holder.start("sh", {"-c", "exec 9<\"$0\" && flock 9 && exec sleep 60", other + ".lock"});
    ASSERT_TRUE(heldElsewhere(other + ".lock"));
    EXPECT_EQ(QuillUtility::sweepTmpDiractories("Sheaf"), 0);
    holder.kill();
    holder.waitForFinished();
    writeFile(dir.file("Sheaf/temp.gone.lock"), ""); // its folder was removed by someone else
    EXPECT_EQ(QuillUtility::sweepTmpDiractories("Sheaf"), 2);

    EXPECT_FALSE(QFileInfo::exists(other));
    EXPECT_FALSE(QFileInfo::exists(other + ".lock"));
    EXPECT_FALSE(QFileInfo::exists(dir.file("Sheaf/temp.gone.lock")));
    EXPECT_TRUE(QFileInfo::exists(own + "/1.jpg"));
    EXPECT_TRUE(QFileInfo(foreign).isDir());
    QuillUtility::removeTmpDiractory(own);
    EXPECT_FALSE(QFileInfo::exists(own));
    EXPECT_FALSE(QFileInfo::exists(own + ".lock"));
    QuillUtility::setTmpBaseFolder(QString());
}

TEST(QuillUtility, FolderWalkIsDepthFirstByName)
{
    test::TempDir dir;
    QDir().mkpath(dir.file("B"));
    QDir().mkpath(dir.file("A/C"));
    writeFile(dir.file("A/file.txt"), "x");
    QFile::link(dir.file("A"), dir.file("Link"));
    EXPECT_EQ(QuillUtility::subFolderOfFolder(dir.path()),
              (QStringList{dir.file("A"), dir.file("A/C"), dir.file("B")}));
    EXPECT_TRUE(QuillUtility::subFolderOfFolder(dir.file("missing")).isEmpty());
    EXPECT_TRUE(QuillUtility::subFolderOfFolder(dir.file("B")).isEmpty());
}

TEST_F(TrustTest, NewFileHoldsThePathAlone)
{
    QuillUtility::makeDiractoryTrustByFlash("/a");
    EXPECT_EQ(readFile(trustFile()), utf16le("/a"));
}

TEST_F(TrustTest, AppendsOnceAndKeepsOtherLines)
{
    writeFile(trustFile(), utf16le("/a\n/b"));
    QuillUtility::makeDiractoryTrustByFlash("/b");
    EXPECT_EQ(readFile(trustFile()), utf16le("/a\n/b"));
    QuillUtility::makeDiractoryTrustByFlash("/c");
    EXPECT_EQ(readFile(trustFile()), utf16le("/a\n/b\n/c"));
    QuillUtility::makeDiractoryTrustByFlash("/b/"); // exact comparison
    EXPECT_EQ(readFile(trustFile()), utf16le("/a\n/b\n/c\n/b/"));
    QuillUtility::makeDiractoryTrustByFlash(QString::fromUtf8("/ünï"));
    EXPECT_EQ(readFile(trustFile()), utf16le(QString::fromUtf8("/a\n/b\n/c\n/b/\n/ünï")));
}

TEST_F(TrustTest, BigEndianFileIsReadAndForeignEncodingsLeftAlone)
{
    QByteArray be("\xFE\xFF\x00/\x00x", 6);
    writeFile(trustFile(), be);
    QuillUtility::makeDiractoryTrustByFlash("/x");
    EXPECT_EQ(readFile(trustFile()), be);

    writeFile(trustFile(), "/plain\n/ascii");
    QuillUtility::makeDiractoryTrustByFlash("/y");
    EXPECT_EQ(readFile(trustFile()), "/plain\n/ascii");
}

TEST_F(TrustTest, UnwritableFolderIsReportedOnlyInTheDebugLog)
{
    QuillUtility::setFlashTrustFolder("/proc/quire-cannot-exist");
    log::Capture capture;
    QuillUtility::makeDiractoryTrustByFlash("/a");
    EXPECT_TRUE(capture.contains("file doest not exits!!!!!!!!!"));
    EXPECT_TRUE(capture.contains("trust folder is:/proc/quire-cannot-exist/PT.cfg"));
}
