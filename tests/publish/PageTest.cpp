// The HTML page written from a template's page, and the file copy the
// publisher uses.
#include "PublishFixture.h"
#include "publish/FileCopy.h"
#include "publish/HTMLConfigInfo.h"
#include "publish/TextTemplate.h"
#include "util/Error.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <unistd.h>

using namespace quire;
using namespace quire::test;

TEST(TextTemplate, SubstitutesUniformly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"<t>${index.title}</t>", "<t>Book</t>"}, {"a${missing}b", "ab"}, {"a${Index.Title}b", "ab"}, // case counts
        {"${a}${b} ${a}\n\t${b}", "12 1\n\t2"}, {"  ${a} tail", "  1 tail"}, {"x ${a", "x ${a"},
        {"${a}} and ${ b}", "1} and spaced"}, {"[${}]", "[empty key]"},
        {"${v}", "${a}"}, // values are not scanned again
    };
    for (const auto& [text, expected] : cases) {
        TextTemplate t(QString::fromUtf8(text));
        for (const auto& [key, value] : {std::pair{"index.title", "Book"}, {"a", "1"}, {"b", "2"}, {" b", "spaced"},
                                         {"", "empty key"}, {"v", "${a}"}})
            t.setItem(key, value);
        EXPECT_EQ(t.parse(), QString::fromUtf8(expected)) << text;
    }
    TextTemplate t("${k}");
    t.setItem("k", "first");
    t.setItem("k", "second"); // the last value counts
    EXPECT_EQ(t.parse(), "second");
    EXPECT_EQ(t.parse(), "second");
}

TEST(HTMLConfigInfo, ThePageIsDecodedByItsMarkAndWrittenAsUtf8ByANewFile)
{
    const QString text = "<p>été ${index.title}</p>";
    for (auto encoding : {QStringEncoder::Utf16LE, QStringEncoder::Utf16BE})
        EXPECT_EQ(decodeTemplatePage(QStringEncoder(encoding, QStringEncoder::Flag::WriteBom).encode(text)), text);
    EXPECT_EQ(decodeTemplatePage("\xef\xbb\xbf" + text.toUtf8()), text);
    EXPECT_EQ(decodeTemplatePage(text.toUtf8()), text);
    EXPECT_EQ(decodeTemplatePage("<p>\xe9t\xe9</p>"), "<p>été</p>");

    TempDir dir;
    const QString page = dir.file("tmpl.html"), out = dir.file("out/index.html");
    QDir().mkpath(dir.file("out"));
    writeFile(page, QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom)
                        .encode("<title>${index.title}</title><meta content=\"${meta.keywords}\">"
                                "<meta content=\"${meta.description}\"><p>é</p>${other}"));
    HTMLConfigInfo info;
    info.setHTMLTitle("Tom & Jerry <2>");
    info.setHTMLDescription("example.org");
    info.generateHTMLFrom(page, out);
    EXPECT_EQ(readFile(out), "<title>Tom & Jerry <2></title><meta content=\"Quire,page flip,flashbook,flash-book\">"
                             "<meta content=\"example.org\"><p>\xc3\xa9</p>");
    // Written again: the page is replaced by a new file, not rewritten in place.
    ASSERT_EQ(::link(QFile::encodeName(out).constData(), QFile::encodeName(dir.file("old.html")).constData()), 0);
    info.setHTMLTitle("");
    info.generateHTMLFrom(page, out);
    EXPECT_TRUE(readFile(out).startsWith("<title></title><meta"));
    EXPECT_TRUE(readFile(dir.file("old.html")).contains("Jerry"));
    // An unreadable page is an error, and nothing is written.
    const QString error = errorOf([&] { info.generateHTMLFrom(dir.file("missing.html"), dir.file("index.html")); });
    EXPECT_TRUE(error.startsWith("ERROR_NO_HTML_PAGE: ") && error.contains("missing.html")) << error.toStdString();
    EXPECT_FALSE(QFile::exists(dir.file("index.html")));
}

TEST(FileCopy, CopiesBytesAndPermissionsOfAnySizeAndRefusesWithoutHarm)
{
    TempDir dir;
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
        EXPECT_EQ(publish::copyFile(from, to), copied) << from.toStdString() << " -> " << to.toStdString();
    EXPECT_EQ(readFile(dir.file("dst.bin")), bytes);
    EXPECT_TRUE(QFileInfo(dir.file("dst.bin")).isExecutable());
    EXPECT_TRUE(QFileInfo(dir.file("empty-copy")).isFile());
    EXPECT_TRUE(readFile(dir.file("status")).contains("Name:"));
    EXPECT_EQ(readFile(dir.file("there")), "old");
    EXPECT_FALSE(QFileInfo::exists(dir.file("out")) || QFileInfo::exists(dir.file("folder-copy")));
}
