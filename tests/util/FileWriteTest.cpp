#include "publish/FileCopy.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

TEST(FileCopy, CopiesBytesAndPermissionsOfAnySize)
{
    TempDir dir;
    QByteArray bytes(3 * 1024 * 1024 + 17, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    writeFile(dir.file("src.bin"), bytes);
    QFile::setPermissions(dir.file("src.bin"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(publish::copyFile(dir.file("src.bin"), dir.file("dst.bin")));
    EXPECT_EQ(readFile(dir.file("dst.bin")), bytes);
    EXPECT_TRUE(QFileInfo(dir.file("dst.bin")).isExecutable());

    writeFile(dir.file("empty"), QByteArray());
    ASSERT_TRUE(publish::copyFile(dir.file("empty"), dir.file("empty-copy")));
    EXPECT_TRUE(QFileInfo(dir.file("empty-copy")).isFile());
    EXPECT_EQ(QFileInfo(dir.file("empty-copy")).size(), 0);

    // Kernel files report a size of 0 and cannot be copied in the kernel.
    ASSERT_TRUE(publish::copyFile("/proc/self/status", dir.file("status")));
    EXPECT_TRUE(readFile(dir.file("status")).contains("Name:"));
}

TEST(FileCopy, RefusesWithoutHarm)
{
    TempDir dir;
    writeFile(dir.file("src"), "new");
    writeFile(dir.file("there"), "old");
    EXPECT_FALSE(publish::copyFile(dir.file("src"), dir.file("there")));
    EXPECT_EQ(readFile(dir.file("there")), "old");
    EXPECT_FALSE(publish::copyFile(dir.file("missing"), dir.file("out")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("out")));
    EXPECT_FALSE(publish::copyFile(dir.path(), dir.file("folder-copy")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("folder-copy")));
    EXPECT_FALSE(publish::copyFile(dir.file("src"), dir.file("no/such/folder/out")));
}
