// Paths and files, message formatting, the log and XML.
#include "support/TestEnv.h"
#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/Log.h"
#include "util/Xml.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace quire;
using test::readFile;
using test::snapshot;
using test::writeFile;

TEST(FileUtil, PathsJoinWithOneSeparatorAndSplitAtTheLastComponent)
{
    const std::pair<QString, QString> cases[] = {
        {fs::join("/a/", "b"), "/a/b"}, {fs::join("/a", "/b"), "/a/b"}, {fs::join("/a//", "b/c"), "/a/b/c"},
        {fs::join("/", "tmp"), "/tmp"}, {fs::join("", "x"), "x"}, {fs::join("/a", "b", "c.txt"), "/a/b/c.txt"},
        {fs::pathExtension("/Users/a/pics/cover.PNG"), "PNG"}, {fs::pathExtension("/x/archive.tar.gz"), "gz"},
        {fs::pathExtension("/x.d/noext"), ""}, {fs::pathExtension(""), ""}, {fs::pathExtension("/x/.hidden"), ""},
        {fs::lastPathComponent("/a/b/Blank/"), "Blank"}, {fs::deletingLastPathComponent("/a/b/shot.jpg"), "/a/b"},
        {fs::deletingPathExtension("/a/mybook.html"), "/a/mybook"}, {fs::deletingPathExtension("/a/mybook"), "/a/mybook"},
    };
    for (const auto& [made, expected] : cases)
        EXPECT_EQ(made, expected);
}

TEST(FileUtil, WritesWholeFilesCopiesFilesAndFoldersAndRemovesThem)
{
    test::TempDir dir;
    const QString path = dir.file("out.bin");
    ASSERT_TRUE(fs::writeAtomically(path, QByteArray(1000, 'a')));
    ASSERT_TRUE(fs::writeAtomically(path, "short"));
    EXPECT_EQ(readFile(path), "short");
    // No temporary files are left beside the target.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.bin"});
    QString error;
    EXPECT_TRUE(!fs::writeAtomically(dir.file("missing/folder/x"), "x", &error) && !error.isEmpty());

    writeFile(dir.file("src/a/b.txt"), "b");
    writeFile(dir.file("src/c.txt"), "c");
    ASSERT_TRUE(fs::copyFolder(dir.file("src"), dir.file("dst/inner")));
    EXPECT_EQ(snapshot(dir.file("dst/inner")), (QMap<QString, QByteArray>{{"a/b.txt", "b"}, {"c.txt", "c"}}));
    EXPECT_TRUE(fs::removeAll(dir.file("dst")) && !fs::exists(dir.file("dst")));
    EXPECT_FALSE(fs::copyFolder(dir.file("nothing"), dir.file("dst")));

    // Files of any size keep their bytes and permissions; refusals do no harm.
    QByteArray bytes(3 * 1024 * 1024 + 17, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    writeFile(dir.file("src.bin"), bytes);
    QFile::setPermissions(dir.file("src.bin"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeFile(dir.file("empty"), {});
    writeFile(dir.file("there"), "old");
    const std::tuple<QString, QString, bool> copies[] = {
        {dir.file("src.bin"), dir.file("dst.bin"), true},
        {dir.file("empty"), dir.file("empty-copy"), true},
        {"/proc/self/status", dir.file("status"), true}, // size 0, cannot be copied in the kernel
        {dir.file("src.bin"), dir.file("there"), false},
        {dir.file("missing"), dir.file("out"), false},
        {dir.path(), dir.file("folder-copy"), false},
        {dir.file("src.bin"), dir.file("no/such/folder/out"), false},
    };
    for (const auto& [from, to, copied] : copies)
        EXPECT_EQ(fs::copyFile(from, to), copied) << from.toStdString() << " -> " << to.toStdString();
    EXPECT_EQ(readFile(dir.file("dst.bin")), bytes);
    EXPECT_TRUE(QFileInfo(dir.file("dst.bin")).isExecutable() && QFileInfo(dir.file("empty-copy")).isFile());
    EXPECT_TRUE(readFile(dir.file("status")).contains("Name:"));
    EXPECT_EQ(readFile(dir.file("there")), "old");
    EXPECT_FALSE(QFileInfo::exists(dir.file("out")) || QFileInfo::exists(dir.file("folder-copy")));
}

TEST(FileUtil, AFullDiskIsReportedAndLeavesTheOldFile)
{
    test::SmallDisk disk(64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    test::TempDir dir;
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

TEST(Format, SystemNotationAcrossTypesAndMissingArguments)
{
    const std::pair<QString, QString> cases[] = {
        {formatMessage("range[%d]=%@", {3, 7}), "range[3]=7"},
        {formatMessage("%f", {0.075}), "0.075000"},
        {formatMessage("%f", {2.0f / 3.0f}), "0.666667"},
        {formatMessage("%s and %@", {"text", QStringLiteral("Ünïcödé")}), "text and Ünïcödé"},
        {formatMessage("100%% done"), "100% done"},
        {formatMessage("./%@/%@/%d.%@", {"files", "page", 12, "jpg"}), "./files/page/12.jpg"},
        // A text argument under %d reads its number; a real under %d truncates.
        {formatMessage("%d", {QStringLiteral("42")}), "42"},
        {formatMessage("%d", {3.9}), "3"},
        {formatMessage("%@ %d", {12, -5}), "12 -5"},
        {formatMessage("a %@ b"), "a (null) b"},
        {formatMessage("%d"), "0"},
        {formatMessage("%x %"), "%x %"},
        {formatMessage("héllo %d", {1}), "héllo 1"},
    };
    for (const auto& [made, expected] : cases)
        EXPECT_EQ(made, expected);
}

TEST(Log, ArgumentsAreOnlyEvaluatedWhenTheLevelIsEnabled)
{
    log::setConsoleThreshold(log::Level::Warn);
    int evaluated = 0;
    QLOG_DEBUG("value %d", ++evaluated);
    QLOG_INFO("value %d", ++evaluated);
    QLOG_WARN("value %d", ++evaluated);
    EXPECT_EQ(evaluated, 1);
    {
        log::Capture capture; // enables debug while alive
        QLOG_DEBUG("range[%d]", 0);
        QLOG_ERROR("broken");
        EXPECT_EQ(capture.messages(log::Level::Debug), QStringList{"range[0]"});
    }
    // (A properties file read into the log file: AppLog's test, over the shipped one.)
    EXPECT_FALSE(log::configure("/nonexistent/logging.properties", "/nonexistent/app.log"));
    log::setConsoleThreshold(log::Level::Warn);
}

TEST(Xml, TextIsVerbatimChildrenDirectAndBadInputRecoveredOrReported)
{
    auto parsed = xml::parseMemory("<r><v> 12 </v><c><![CDATA[<b>&]]> tail</c><e>a&amp;b&lt;</e><empty/>"
                                   "<a>1</a><x><a>deep</a></x><a>2</a></r>");
    ASSERT_TRUE(parsed.doc);
    EXPECT_FALSE(parsed.recovered);
    const xmlNode* root = xmlDocGetRootElement(parsed.doc.get());
    EXPECT_EQ(QStringList({xml::text(xml::firstChild(root, "v")), xml::text(xml::firstChild(root, "c")),
                           xml::text(xml::firstChild(root, "e"))}), QStringList({" 12 ", "<b>& tail", "a&b<"}));
    const QString empty = xml::text(xml::firstChild(root, "empty"));
    EXPECT_TRUE(empty.isEmpty() && !empty.isNull()); // empty, not absent
    const auto as = xml::children(root, "a");
    ASSERT_EQ(as.size(), 2u);
    EXPECT_EQ(xml::text(as[0]) + xml::text(as[1]), "12");
    EXPECT_EQ(xml::children(root).size(), 7u);
    EXPECT_TRUE(!xml::firstChild(root, "missing") && !xml::attribute(root, "missing"));

    auto recovered = xml::parseMemory("<r><a>1</a><b>unclosed</r>");
    ASSERT_TRUE(recovered.doc);
    EXPECT_TRUE(recovered.recovered);
    EXPECT_EQ(xml::text(xml::firstChild(xmlDocGetRootElement(recovered.doc.get()), "a")), "1");
    EXPECT_TRUE(!xml::parseMemory("").doc && !xml::parseMemory("").error.isEmpty());
    EXPECT_TRUE(xml::parseFile("/nonexistent/file.xml").error.contains("cannot open"));

    // External entities are never loaded.
    test::TempDir dir;
    writeFile(dir.file("secret.txt"), "SECRET");
    auto entity = xml::parseMemory("<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"file://" +
                                   dir.file("secret.txt").toUtf8() + "\">]><r>&x;</r>");
    ASSERT_TRUE(entity.doc);
    EXPECT_FALSE(xml::text(xmlDocGetRootElement(entity.doc.get())).contains("SECRET"));
}

// (Trees serialized with declaration, indentation and escapes: the book
// configuration's and the outline's exact texts in BookXml and OutlineXml.)
TEST(Xml, BuiltTreesSerializeAndReadBack)
{
    // Characters XML forbids never reach the document, which always parses;
    // markup characters come back as they went in.
    const QChar lone[] = {QChar(0xD800), QChar(0xDC00)};
    const std::pair<QString, QString> cases[] = {
        {QString::fromUtf8("a\x01" "b\x08" "c\x0B" "d\x0C" "e\x0E" "f\x1F" "g"), "abcdefg"},
        {QString("x") + QChar(0) + "y\tz\n\r", "xy\tz\n\r"},
        {QString("a") + lone[0] + "b" + lone[1], "a\uFFFDb\uFFFD"},
        {QString("a") + QChar(0xFFFE) + QChar(0xFFFF), "a\uFFFD\uFFFD"},
        {"\U0001F600 ü \uE000 &<>\"'", "\U0001F600 ü \uE000 &<>\"'"},
    };
    for (const auto& [in, kept] : cases) {
        auto element = xml::newElement("r");
        xml::setAttribute(element.get(), "a", in);
        xml::appendTextElement(element.get(), "t", in);
        auto back = xml::parseMemory(xml::serialize(xml::newDocument(std::move(element)).get()));
        ASSERT_TRUE(back.doc) << back.error.toStdString();
        EXPECT_FALSE(back.recovered) << kept.toStdString();
        const xmlNode* e = xmlDocGetRootElement(back.doc.get());
        EXPECT_EQ(xml::attribute(e, "a"), kept);
        EXPECT_EQ(xml::text(xml::firstChild(e, "t")), kept);
    }
}
