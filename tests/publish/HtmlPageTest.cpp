#include "PublishFixture.h"
#include "publish/HTMLConfigInfo.h"
#include "publish/TextTemplate.h"
#include "util/Error.h"

#include <QFile>
#include <QStringEncoder>
#include <unistd.h>

using namespace quire;
using namespace quire::test;

namespace {

QString parsed(const QString& text, std::initializer_list<std::pair<QString, QString>> values)
{
    TextTemplate t(text);
    for (const auto& [k, v] : values)
        t.setItem(k, v);
    return t.parse();
}

} // namespace

TEST(TextTemplate, SubstitutesUniformly)
{
    EXPECT_EQ(parsed("no placeholders here", {{"a", "1"}}), "no placeholders here");
    EXPECT_EQ(parsed("", {{"a", "1"}}), "");
    EXPECT_EQ(parsed("<t>${index.title}</t>", {{"index.title", "Book"}}), "<t>Book</t>");
    EXPECT_EQ(parsed("a${missing}b", {}), "ab");
    EXPECT_EQ(parsed("a${Index.Title}b", {{"index.title", "x"}}), "ab"); // case counts
    EXPECT_EQ(parsed("${a}${b} ${a}\n\t${b}", {{"a", "1"}, {"b", "2"}}), "12 1\n\t2");
    EXPECT_EQ(parsed("  ${a} tail", {{"a", "1"}}), "  1 tail");
    EXPECT_EQ(parsed("x ${a", {{"a", "1"}}), "x ${a");
    EXPECT_EQ(parsed("${a}} and ${ b}", {{"a", "1"}, {" b", "2"}}), "1} and 2");
    EXPECT_EQ(parsed("[${}]", {{"", "empty key"}}), "[empty key]");
    EXPECT_EQ(parsed("${a}", {{"a", "${b}"}, {"b", "no"}}), "${b}"); // values are not rescanned

    TextTemplate t("${k}");
    t.setItem("k", "first");
    t.setItem("k", "second");
    EXPECT_EQ(t.parse(), "second");
    EXPECT_EQ(t.parse(), "second");
}

TEST(HTMLConfigInfo, StartsWithTheDefaults)
{
    const HTMLConfigInfo info;
    EXPECT_EQ(info.HTMLTitle(), "PDF to Flashbook");
    EXPECT_EQ(info.HTMLKeywords(), "Quire,page flip,flashbook,flash-book");
    EXPECT_FALSE(info.HTMLDescription().isEmpty());
    EXPECT_FALSE(info.HTMLDescription().contains(' '));
}

TEST(HTMLConfigInfo, DecodesByByteOrderMarkElseUtf8)
{
    const QString text = QString::fromUtf8("<p>\xc3\xa9t\xc3\xa9 ${index.title}</p>");
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    EXPECT_EQ(decodeTemplatePage(utf16.encode(text)), text);
    QStringEncoder utf16be(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
    EXPECT_EQ(decodeTemplatePage(utf16be.encode(text)), text);
    EXPECT_EQ(decodeTemplatePage("\xef\xbb\xbf" + text.toUtf8()), text);
    EXPECT_EQ(decodeTemplatePage(text.toUtf8()), text);
    EXPECT_EQ(decodeTemplatePage("<p>\xe9t\xe9</p>"), QString::fromUtf8("<p>\xc3\xa9t\xc3\xa9</p>"));
}

TEST(HTMLConfigInfo, WritesThePageWithItsValuesAsUtf8)
{
    TempDir dir;
    const QString page = dir.file("tmpl.html");
    const QString out = dir.file("out/index.html");
    QDir().mkpath(dir.file("out"));
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    writeFile(page, utf16.encode(QString::fromUtf8(
                        "<title>${index.title}</title><meta content=\"${meta.keywords}\">"
                        "<meta content=\"${meta.description}\"><p>\xc3\xa9</p>${other}")));
    HTMLConfigInfo info;
    info.setHTMLTitle("Tom & Jerry <2>");
    info.setHTMLDescription("example.org");
    info.generateHTMLFrom(page, out);
    EXPECT_EQ(readFile(out), QByteArray("<title>Tom & Jerry <2></title>"
                                        "<meta content=\"Quire,page flip,flashbook,flash-book\">"
                                        "<meta content=\"example.org\"><p>\xc3\xa9</p>"));

    // Written again: the page is replaced, by a new file.
    const QString oldLink = dir.file("old-hard.html");
    ASSERT_EQ(::link(QFile::encodeName(out).constData(), QFile::encodeName(oldLink).constData()), 0);
    info.setHTMLTitle("");
    info.generateHTMLFrom(page, out);
    const QByteArray second = readFile(out);
    EXPECT_TRUE(second.startsWith("<title></title><meta"));
    EXPECT_FALSE(second.contains("Jerry"));
    EXPECT_TRUE(readFile(oldLink).contains("Jerry")); // the old file was not rewritten in place
}

TEST(HTMLConfigInfo, AnUnreadablePageIsAnError)
{
    TempDir dir;
    HTMLConfigInfo info;
    try {
        info.generateHTMLFrom(dir.file("missing.html"), dir.file("index.html"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.name(), "ERROR_NO_HTML_PAGE");
        EXPECT_TRUE(e.reason().contains("missing.html"));
    }
    EXPECT_FALSE(QFile::exists(dir.file("index.html")));
}
