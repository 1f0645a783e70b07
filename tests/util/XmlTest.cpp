#include "support/TestEnv.h"
#include "util/Xml.h"

#include <gtest/gtest.h>

namespace xml = quire::xml;

TEST(Xml, TextIsVerbatimWithCdataAndEntities)
{
    auto parsed = xml::parseMemory("<r><v> 12 </v><c><![CDATA[<b>&]]> tail</c><e>a&amp;b&lt;</e><empty/></r>");
    ASSERT_TRUE(parsed.doc);
    EXPECT_FALSE(parsed.recovered);
    const xmlNode* root = xmlDocGetRootElement(parsed.doc.get());
    EXPECT_EQ(xml::text(xml::firstChild(root, "v")), " 12 ");
    EXPECT_EQ(xml::text(xml::firstChild(root, "c")), "<b>& tail");
    EXPECT_EQ(xml::text(xml::firstChild(root, "e")), "a&b<");
    const QString empty = xml::text(xml::firstChild(root, "empty"));
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.isNull());
}

TEST(Xml, DirectChildrenOnlyInDocumentOrder)
{
    auto parsed = xml::parseMemory("<r><a>1</a><x><a>deep</a></x><a>2</a></r>");
    ASSERT_TRUE(parsed.doc);
    const xmlNode* root = xmlDocGetRootElement(parsed.doc.get());
    auto as = xml::children(root, "a");
    ASSERT_EQ(as.size(), 2u);
    EXPECT_EQ(xml::text(as[0]), "1");
    EXPECT_EQ(xml::text(as[1]), "2");
    EXPECT_EQ(xml::children(root).size(), 3u);
    EXPECT_EQ(xml::firstChild(root, "missing"), nullptr);
}

TEST(Xml, RecoversMalformedMarkupAndReportsHopelessInput)
{
    auto recovered = xml::parseMemory("<r><a>1</a><b>unclosed</r>");
    ASSERT_TRUE(recovered.doc);
    EXPECT_TRUE(recovered.recovered);
    EXPECT_EQ(xml::text(xml::firstChild(xmlDocGetRootElement(recovered.doc.get()), "a")), "1");

    auto hopeless = xml::parseMemory("");
    EXPECT_FALSE(hopeless.doc);
    EXPECT_FALSE(hopeless.error.isEmpty());

    auto missing = xml::parseFile("/nonexistent/file.xml");
    EXPECT_FALSE(missing.doc);
    EXPECT_TRUE(missing.error.contains("cannot open"));
}

TEST(Xml, ExternalEntitiesAreNeverLoaded)
{
    quire::test::TempDir dir;
    quire::test::writeFile(dir.file("secret.txt"), "SECRET");
    const QByteArray doc = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"file://"
        + dir.file("secret.txt").toUtf8() + "\">]><r>&x;</r>";
    auto parsed = xml::parseMemory(doc);
    ASSERT_TRUE(parsed.doc);
    EXPECT_FALSE(xml::text(xmlDocGetRootElement(parsed.doc.get())).contains("SECRET"));
}

TEST(Xml, BuildAndSerialize)
{
    auto root = xml::newElement("flipbook");
    xml::setAttribute(root.get(), "count", "2");
    xml::setAttribute(root.get(), "e", "noext");
    xmlNode* item = xml::appendTextElement(root.get(), "item", "a & <b> ü");
    xml::setAttribute(item, "name", "k");
    xml::appendElement(root.get(), "pages");
    auto doc = xml::newDocument(std::move(root));
    const QByteArray out = xml::serialize(doc.get(), true);
    EXPECT_TRUE(out.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"));
    EXPECT_TRUE(out.contains("<flipbook count=\"2\" e=\"noext\">\n"));
    EXPECT_TRUE(out.contains("  <item name=\"k\">a &amp; &lt;b&gt; \xC3\xBC</item>\n"));

    auto reparsed = xml::parseMemory(out);
    ASSERT_TRUE(reparsed.doc);
    const xmlNode* r = xmlDocGetRootElement(reparsed.doc.get());
    EXPECT_EQ(xml::text(xml::firstChild(r, "item")), QString::fromUtf8("a & <b> ü"));
    EXPECT_EQ(xml::attribute(r, "count"), QString("2"));
    EXPECT_EQ(xml::attribute(r, "nothing"), std::nullopt);
}

TEST(Xml, CopyIsIndependent)
{
    auto original = xml::newElement("pagesAnnos");
    xml::appendElement(original.get(), "pageAnnos");
    auto copy = xml::copy(original.get());
    xml::appendElement(original.get(), "pageAnnos");
    EXPECT_EQ(xml::children(copy.get()).size(), 1u);
    EXPECT_EQ(xml::children(original.get()).size(), 2u);
}

TEST(Xml, CharactersXmlForbidsNeverReachTheDocument)
{
    const QChar lone[] = {QChar(0xD800), QChar(0xDC00)};
    const struct {
        QString in;
        QString kept;
    } cases[] = {
        {QString::fromUtf8("a\x01" "b\x08" "c\x0B" "d\x0C" "e\x0E" "f\x1F" "g"), "abcdefg"},
        {QString("x") + QChar(0) + "y\tz\n\r", "xy\tz\n\r"},
        {QString("a") + lone[0] + "b" + lone[1], QString::fromUtf8("a\uFFFDb\uFFFD")},
        {QString("a") + QChar(0xFFFE) + QChar(0xFFFF), QString::fromUtf8("a\uFFFD\uFFFD")},
        {QString::fromUtf8("\U0001F600 ü \uE000"), QString::fromUtf8("\U0001F600 ü \uE000")},
    };
    for (const auto& c : cases) {
        auto root = xml::newElement("r");
        xml::setAttribute(root.get(), "a", c.in);
        xml::appendTextElement(root.get(), "t", c.in);
        auto doc = xml::newDocument(std::move(root));
        auto parsed = xml::parseMemory(xml::serialize(doc.get()));
        ASSERT_TRUE(parsed.doc) << parsed.error.toStdString();
        EXPECT_FALSE(parsed.recovered) << c.kept.toStdString();
        const xmlNode* r = xmlDocGetRootElement(parsed.doc.get());
        EXPECT_EQ(xml::attribute(r, "a"), c.kept);
        EXPECT_EQ(xml::text(xml::firstChild(r, "t")), c.kept);
    }
}
