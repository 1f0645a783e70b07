#include "util/FileUtil.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

TEST(FileWrite, CopiesBytesAndPermissionsOfAnySize)
{
    TempDir dir;
    QByteArray bytes(3 * 1024 * 1024 + 17, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    writeFile(dir.file("src.bin"), bytes);
    QFile::setPermissions(dir.file("src.bin"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(fs::copyFile(dir.file("src.bin"), dir.file("dst.bin")));
    EXPECT_EQ(readFile(dir.file("dst.bin")), bytes);
    EXPECT_TRUE(QFileInfo(dir.file("dst.bin")).isExecutable());

    writeFile(dir.file("empty"), QByteArray());
    ASSERT_TRUE(fs::copyFile(dir.file("empty"), dir.file("empty-copy")));
    EXPECT_TRUE(QFileInfo(dir.file("empty-copy")).isFile());
    EXPECT_EQ(QFileInfo(dir.file("empty-copy")).size(), 0);

    // Kernel files report a size of 0 and cannot be copied in the kernel.
    ASSERT_TRUE(fs::copyFile("/proc/self/status", dir.file("status")));
    EXPECT_TRUE(readFile(dir.file("status")).contains("Name:"));
}

TEST(FileWrite, CopyRefusesWithoutHarm)
{
    TempDir dir;
    writeFile(dir.file("src"), "new");
    writeFile(dir.file("there"), "old");
    EXPECT_FALSE(fs::copyFile(dir.file("src"), dir.file("there")));
    EXPECT_EQ(readFile(dir.file("there")), "old");
    EXPECT_FALSE(fs::copyFile(dir.file("missing"), dir.file("out")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("out")));
    EXPECT_FALSE(fs::copyFile(dir.path(), dir.file("folder-copy")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("folder-copy")));
    EXPECT_FALSE(fs::copyFile(dir.file("src"), dir.file("no/such/folder/out")));
}

TEST(FileWrite, AFullDiskIsReportedAndLeavesTheOldFile)
{
    SmallDisk disk(64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    TempDir dir;
    writeFile(dir.file("big"), QByteArray(100 * 1024, 'b'));
    writeFile(disk.file("settings.txt"), "old");
    QString error;
    EXPECT_FALSE(fs::copyFile(dir.file("big"), disk.file("copy"), &error));
    EXPECT_EQ(error, "No space left on device");
    disk.fill();
    // A write small enough to sit in a buffer until the end fails all the same.
    error.clear();
    EXPECT_FALSE(fs::writeAtomically(disk.file("settings.txt"), "new settings", &error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_FALSE(fs::writeAtomically(disk.file("other.txt"), "x"));
    EXPECT_EQ(QDir(disk.file("")).entryList(QDir::Files | QDir::Hidden), QStringList({"filler", "settings.txt"}));
    EXPECT_EQ(readFile(disk.file("settings.txt")), "old");
}
