#include "support/TestEnv.h"
#include "util/FileUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace fs = quire::fs;

TEST(FileUtil, JoinUsesExactlyOneSeparator)
{
    EXPECT_EQ(fs::join("/a/", "b"), "/a/b");
    EXPECT_EQ(fs::join("/a", "/b"), "/a/b");
    EXPECT_EQ(fs::join("/a//", "b/c"), "/a/b/c");
    EXPECT_EQ(fs::join("/", "tmp"), "/tmp");
    EXPECT_EQ(fs::join("", "x"), "x");
    EXPECT_EQ(fs::join("/a", "b", "c.txt"), "/a/b/c.txt");
}

TEST(FileUtil, PathComponents)
{
    EXPECT_EQ(fs::pathExtension("/Users/a/pics/cover.PNG"), "PNG");
    EXPECT_EQ(fs::pathExtension("/x/archive.tar.gz"), "gz");
    EXPECT_EQ(fs::pathExtension("/x.d/noext"), "");
    EXPECT_EQ(fs::pathExtension(""), "");
    EXPECT_EQ(fs::pathExtension("/x/.hidden"), "");
    EXPECT_EQ(fs::lastPathComponent("/a/b/Blank/"), "Blank");
    EXPECT_EQ(fs::deletingLastPathComponent("/a/b/shot.jpg"), "/a/b");
    EXPECT_EQ(fs::deletingPathExtension("/a/mybook.html"), "/a/mybook");
    EXPECT_EQ(fs::deletingPathExtension("/a/mybook"), "/a/mybook");
}

TEST(FileUtil, AtomicWriteReplacesWholeFile)
{
    quire::test::TempDir dir;
    const QString path = dir.file("out.bin");
    ASSERT_TRUE(fs::writeAtomically(path, QByteArray(1000, 'a')));
    ASSERT_TRUE(fs::writeAtomically(path, "short"));
    EXPECT_EQ(quire::test::readFile(path), "short");
    // No temporary files are left beside the target.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.bin"});

    QString error;
    EXPECT_FALSE(fs::writeAtomically(dir.file("missing/folder/x"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(FileUtil, CopyAndRemoveFolders)
{
    quire::test::TempDir dir;
    quire::test::writeFile(dir.file("src/a/b.txt"), "b");
    quire::test::writeFile(dir.file("src/c.txt"), "c");
    ASSERT_TRUE(fs::copyFolder(dir.file("src"), dir.file("dst/inner")));
    EXPECT_EQ(quire::test::readFile(dir.file("dst/inner/a/b.txt")), "b");
    EXPECT_EQ(quire::test::readFile(dir.file("dst/inner/c.txt")), "c");
    EXPECT_TRUE(fs::removeAll(dir.file("dst")));
    EXPECT_FALSE(fs::exists(dir.file("dst")));
    EXPECT_FALSE(fs::copyFolder(dir.file("nothing"), dir.file("dst")));
}
