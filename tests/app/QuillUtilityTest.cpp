#include "app/QuillUtility.h"
#include "support/TestEnv.h"
#include "util/Log.h"

#include <QDir>
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
    QDir(a).removeRecursively();
    QDir(b).removeRecursively();
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
