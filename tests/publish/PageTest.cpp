// The HTML page written from a template's page.
#include "PublishFixture.h"
#include "publish/HTMLConfigInfo.h"
#include "publish/TextTemplate.h"

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

TEST(HTMLConfigInfo, ThePageIsDecodedByItsMarkAndWrittenWithItsValuesEscapedAsUtf8ByANewFile)
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
                                "<meta content='${meta.description}'><p>é</p>${other}"));
    HTMLConfigInfo info;
    info.setHTMLTitle("Tom & Jerry <3 </title><script>x()</script>");
    info.setHTMLKeywords("a\"b");
    info.setHTMLDescription("it's");
    ASSERT_TRUE(info.generateHTMLFrom(page, out).ok());
    EXPECT_EQ(readFile(out), "<title>Tom &amp; Jerry &lt;3 &lt;/title&gt;&lt;script&gt;x()&lt;/script&gt;</title>"
                             "<meta content=\"a&quot;b\"><meta content='it&#39;s'><p>\xc3\xa9</p>");
    // Written again: the page is replaced by a new file, not rewritten in place.
    ASSERT_EQ(::link(QFile::encodeName(out).constData(), QFile::encodeName(dir.file("old.html")).constData()), 0);
    info.setHTMLTitle("");
    ASSERT_TRUE(info.generateHTMLFrom(page, out).ok());
    EXPECT_TRUE(readFile(out).startsWith("<title></title><meta"));
    EXPECT_TRUE(readFile(dir.file("old.html")).contains("Jerry"));

    // A page that cannot be read or written is a failure naming the page to write.
    const std::tuple<QString, QString, QString> failures[] = {
        {dir.file("missing.html"), dir.file("index.html"), "missing.html"},
        {page, dir.file("no/folder/index.html"), "No such file"},
    };
    for (const auto& [from, to, words] : failures) {
        const PublishResult result = HTMLConfigInfo().generateHTMLFrom(from, to);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure()->file, to);
        EXPECT_TRUE(result.failure()->reason.contains(words)) << result.description().toStdString();
        EXPECT_FALSE(QFile::exists(to));
    }
}
