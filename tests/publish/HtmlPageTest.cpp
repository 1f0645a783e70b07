#include "PublishFixture.h"
#include "publish/HTMLConfigInfo.h"
#include "publish/TextTemplate.h"

#include <QFile>
#include <QStringEncoder>
#include <unistd.h>

using namespace quire;
using namespace quire::test;

TEST(TextTemplate, SubstitutesUniformly)
{
    const QList<std::pair<QString, QString>> values = {{"index.title", "Book"}, {"a", "1"}, {"b", "2"},
                                                       {" b", "spaced"}, {"", "empty key"}, {"v", "${a}"}};
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"<t>${index.title}</t>", "<t>Book</t>"},
        {"a${missing}b", "ab"},
        {"a${Index.Title}b", "ab"}, // case counts
        {"${a}${b} ${a}\n\t${b}", "12 1\n\t2"},
        {"  ${a} tail", "  1 tail"}, // blanks around a placeholder stay
        {"x ${a", "x ${a"},
        {"${a}} and ${ b}", "1} and spaced"},
        {"[${}]", "[empty key]"},
        {"${v}", "${a}"}, // values are not scanned again
    };
    for (const auto& c : cases) {
        TextTemplate t(QString::fromUtf8(c.text));
        for (const auto& [key, value] : values)
            t.setItem(key, value);
        EXPECT_EQ(t.parse(), QString::fromUtf8(c.expected)) << c.text;
    }
    TextTemplate t("${k}");
    t.setItem("k", "first");
    t.setItem("k", "second");
    EXPECT_EQ(t.parse(), "second");
    EXPECT_EQ(t.parse(), "second");
}

TEST(HTMLConfigInfo, DecodesByByteOrderMarkElseUtf8ElseLatin1)
{
    const QString text = QString::fromUtf8("<p>\xc3\xa9t\xc3\xa9 ${index.title}</p>");
    EXPECT_EQ(decodeTemplatePage(QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom).encode(text)), text);
    EXPECT_EQ(decodeTemplatePage(QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom).encode(text)), text);
    EXPECT_EQ(decodeTemplatePage("\xef\xbb\xbf" + text.toUtf8()), text);
    EXPECT_EQ(decodeTemplatePage(text.toUtf8()), text);
    EXPECT_EQ(decodeTemplatePage("<p>\xe9t\xe9</p>"), QString::fromUtf8("<p>\xc3\xa9t\xc3\xa9</p>"));
}

TEST(HTMLConfigInfo, WritesThePageWithItsValuesEscapedAsUtf8ByANewFile)
{
    TempDir dir;
    const QString page = dir.file("tmpl.html");
    const QString out = dir.file("out/index.html");
    QDir().mkpath(dir.file("out"));
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    writeFile(page, utf16.encode(QString::fromUtf8("<title>${index.title}</title><meta content=\"${meta.keywords}\">"
                                                   "<meta content='${meta.description}'><p>\xc3\xa9</p>${other}")));
    HTMLConfigInfo info;
    info.setHTMLTitle("Tom & Jerry <3 </title><script>x()</script>");
    info.setHTMLKeywords("a\"b");
    info.setHTMLDescription("it's");
    ASSERT_TRUE(info.generateHTMLFrom(page, out).ok());
    EXPECT_EQ(readFile(out), QByteArray("<title>Tom &amp; Jerry &lt;3 &lt;/title&gt;&lt;script&gt;x()&lt;/script&gt;</title>"
                                        "<meta content=\"a&quot;b\"><meta content='it&#39;s'><p>\xc3\xa9</p>"));

    // Written again: the page is replaced by a new file, not rewritten in place.
    const QString oldLink = dir.file("old-hard.html");
    ASSERT_EQ(::link(QFile::encodeName(out).constData(), QFile::encodeName(oldLink).constData()), 0);
    info.setHTMLTitle("");
    ASSERT_TRUE(info.generateHTMLFrom(page, out).ok());
    EXPECT_TRUE(readFile(out).startsWith("<title></title><meta"));
    EXPECT_TRUE(readFile(oldLink).contains("Jerry"));
}

TEST(HTMLConfigInfo, APageThatCannotBeReadOrWrittenIsAFailure)
{
    TempDir dir;
    writeFile(dir.file("tmpl.html"), "<title>${index.title}</title>");
    const struct {
        QString page, destination, words;
    } cases[] = {
        {dir.file("missing.html"), dir.file("index.html"), "missing.html"},
        {dir.file("tmpl.html"), dir.file("no/folder/index.html"), "No such file"},
    };
    for (const auto& c : cases) {
        const PublishResult result = HTMLConfigInfo().generateHTMLFrom(c.page, c.destination);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure()->file, c.destination);
        EXPECT_TRUE(result.failure()->reason.contains(c.words)) << result.description().toStdString();
        EXPECT_FALSE(QFile::exists(c.destination));
    }
}
