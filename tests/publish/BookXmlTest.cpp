#include "PublishFixture.h"
#include "publish/FlashBookOutput.h"
#include "util/Log.h"

using namespace quire;
using namespace quire::test;

namespace {

QStringList attributeNames(const xmlNode* node)
{
    QStringList names;
    for (const xmlAttr* a = node->properties; a; a = a->next)
        names << QString::fromUtf8(reinterpret_cast<const char*>(a->name));
    return names;
}

QStringList childNames(const xmlNode* node)
{
    QStringList names;
    for (const xmlNode* c : xml::children(node))
        names << xml::name(c);
    return names;
}

class BookXml : public PublishFixture {
protected:
    xml::DocPtr build(const std::shared_ptr<FlashTemplate>& tmpl, const std::shared_ptr<FlashPageSource>& pages)
    {
        FlashBookOutput out(pages, tmpl, dir.file("book"), std::nullopt);
        return out.bookXML();
    }
    static xmlNode* root(const xml::DocPtr& doc) { return xmlDocGetRootElement(doc.get()); }
    static std::vector<xmlNode*> items(const xml::DocPtr& doc)
    {
        return xml::children(xml::firstChild(root(doc), "extConfig"), "item");
    }
    static QStringList hardFlags(const xml::DocPtr& doc)
    {
        QStringList flags;
        for (xmlNode* page : xml::children(xml::firstChild(root(doc), "pages"), "page"))
            flags << xml::attribute(page, "isHardPage").value_or("?");
        return flags;
    }
};

} // namespace

TEST_F(BookXml, RootCarriesItsAttributesAndTwoChildrenInOrder)
{
    const auto doc = build(makeTemplate(propertyXml("pt_text", "a", QString("1"))), makePages(2));
    xmlNode* r = root(doc);
    EXPECT_EQ(xml::name(r), "flipbook");
    EXPECT_EQ(attributeNames(r),
              QStringList({"count", "appAppShortName", "appAppName", "appAppVersion", "appWebsite", "e"}));
    EXPECT_EQ(xml::attribute(r, "count"), "2");
    EXPECT_EQ(xml::attribute(r, "appAppShortName"), "pt");
    EXPECT_EQ(xml::attribute(r, "appAppName"), "Quire for Mac");
    EXPECT_EQ(xml::attribute(r, "appAppVersion"), "1.0.0");
    EXPECT_TRUE(xml::attribute(r, "appWebsite").value_or("").startsWith("https://"));
    EXPECT_EQ(xml::attribute(r, "e"), "noext");
    EXPECT_EQ(childNames(r), QStringList({"extConfig", "pages"}));
}

TEST_F(BookXml, PropertyTreeIsFlattenedDepthFirst)
{
    const QString tree = propertyXml("pt_text", "A", QString("a"),
                                     propertyXml("pt_text", "A1", QString("a1"), propertyXml("pt_color", "A1a", QString("0x00ff00")))
                                         + propertyXml("pt_text", "A2", std::nullopt))
        + propertyXml("pt_text", "B", QString(""))
        + propertyXml("pt_number", "A1", QString("dup"));
    const auto doc = build(makeTemplate(tree), makePages(1));
    QStringList names, texts;
    for (xmlNode* item : items(doc)) {
        names << xml::attribute(item, "name").value_or("?");
        texts << xml::text(item);
        EXPECT_EQ(attributeNames(item), QStringList({"name"}));
        EXPECT_TRUE(xml::children(item).empty());
    }
    EXPECT_EQ(names, QStringList({"A", "A1", "A1a", "A2", "B", "A1"}));
    EXPECT_EQ(texts, QStringList({"a", "a1", "0x00ff00", "", "", "dup"}));
    // Absent and empty values leave the element without any text node.
    EXPECT_EQ(items(doc)[3]->children, nullptr);
    EXPECT_EQ(items(doc)[4]->children, nullptr);
}

TEST_F(BookXml, FilePropertiesNameTheirCopies)
{
    const QString deep = propertyXml("pt_file", "deep", QString("/x/y/z.Tiff"));
    const QString tree = propertyXml("pt_file", "bgImage", QString("/Users/a/pics/cover.PNG"))
        + propertyXml("pt_file", "empty", QString(""))
        + propertyXml("pt_file", "none", std::nullopt)
        + propertyXml("pt_file", "noext", QString("/a.b/README"))
        + propertyXml("pt_text", "l1", QString("1"), propertyXml("pt_text", "l2", QString("2"), propertyXml("pt_text", "l3", QString("3"), deep)));
    const auto doc = build(makeTemplate(tree), makePages(1));
    QStringList texts;
    for (xmlNode* item : items(doc))
        texts << xml::text(item);
    EXPECT_EQ(texts, QStringList({"./files/extfiles/bgImage.PNG", "./files/extfiles/empty.", "./files/extfiles/none.",
                                  "./files/extfiles/noext.", "1", "2", "3", "./files/extfiles/deep.Tiff"}));
}

TEST_F(BookXml, HardCoversMarkOnlyTheFirstAndLastPage)
{
    for (const QString value : {"yes", "Yes", "YES"}) {
        const auto tmpl = makeTemplate(propertyXml("pt_bool", "isHardCover", value));
        EXPECT_EQ(hardFlags(build(tmpl, makePages(1))), QStringList({"true"})) << value.toStdString();
        EXPECT_EQ(hardFlags(build(tmpl, makePages(2))), QStringList({"true", "true"}));
        EXPECT_EQ(hardFlags(build(tmpl, makePages(5))), QStringList({"true", "false", "false", "false", "true"}));
    }
    // Found anywhere in the tree.
    const auto nested = makeTemplate(propertyXml("pt_text", "p", QString(""), propertyXml("pt_bool", "isHardCover", QString("yes"))));
    EXPECT_EQ(hardFlags(build(nested, makePages(3))), QStringList({"true", "false", "true"}));

    const QStringList soft({"false", "false", "false"});
    for (const Text& value : {Text("no"), Text("true"), Text("YES "), Text("1"), Text(std::nullopt)}) {
        const auto tmpl = makeTemplate(propertyXml("pt_bool", "isHardCover", value));
        EXPECT_EQ(hardFlags(build(tmpl, makePages(3))), soft) << value.value_or("(absent)").toStdString();
    }
    EXPECT_EQ(hardFlags(build(makeTemplate(propertyXml("pt_text", "x", QString("yes"))), makePages(3))), soft);
}

TEST_F(BookXml, PagesUseTheirDocumentNumbers)
{
    const auto doc = build(makeTemplate(""), makePages(3, 3));
    EXPECT_EQ(xml::attribute(root(doc), "count"), "3");
    QStringList urls;
    for (xmlNode* page : xml::children(xml::firstChild(root(doc), "pages"), "page")) {
        EXPECT_EQ(attributeNames(page), QStringList({"isHardPage", "isEncrypted"}));
        EXPECT_EQ(xml::attribute(page, "isEncrypted"), "false");
        EXPECT_EQ(childNames(page), QStringList({"normalUrl", "largeUrl", "thumbUrl"}));
        const QString url = xml::text(xml::firstChild(page, "normalUrl"));
        EXPECT_EQ(xml::text(xml::firstChild(page, "largeUrl")), url);
        EXPECT_EQ(xml::text(xml::firstChild(page, "thumbUrl")), url);
        urls << url;
    }
    EXPECT_EQ(urls, QStringList({"./files/page/3.jpg", "./files/page/4.jpg", "./files/page/5.jpg"}));
}

TEST_F(BookXml, PageUrlOperationsAgree)
{
    FlashBookOutput out(makePages(1), makeTemplate(""), dir.file("book"), std::nullopt);
    const FlashPage page(QString("/tmp/Sheaf/x/7.jpg"), 7);
    EXPECT_EQ(out.getNormalPageURL(page), "./files/page/7.jpg");
    EXPECT_EQ(out.getZoomedPageURL(page), "./files/page/7.jpg");
    EXPECT_EQ(out.getThumbPageURL(page), "./files/page/7.jpg");
    EXPECT_EQ(out.getNormalPageURL(FlashPage(QString("/a/b.c/pic"), 12)), "./files/page/12.");
    EXPECT_EQ(out.getNormalPageURL(FlashPage(QString("/a/12.JPEG"), 12)), "./files/page/12.JPEG");
}

TEST_F(BookXml, EmptyPageSourceStillGivesTheWholeConfiguration)
{
    const auto doc = build(makeTemplate(propertyXml("pt_text", "a", QString("1")) + propertyXml("pt_text", "b", QString("2"))),
                           std::make_shared<FlashPageSourceImg>());
    EXPECT_EQ(xml::attribute(root(doc), "count"), "0");
    EXPECT_TRUE(xml::children(xml::firstChild(root(doc), "pages")).empty());
    EXPECT_EQ(items(doc).size(), 2u);
}

TEST_F(BookXml, OutlineIsMadeFreshAndAnnotationsAreCopied)
{
    auto outline = std::make_shared<FlashOutline>();
    auto chapter = std::make_unique<FlashOutlineItem>();
    chapter->setCaption(QString("Chapter 1"));
    chapter->setPageIndex(1);
    chapter->setLevel(1);
    outline->items().push_back(std::move(chapter));

    auto annotations = std::make_shared<FlashPagesAnnotations>();
    xml::NodePtr annos = xml::newElement("pagesAnnos");
    xml::setAttribute(xml::appendElement(annos.get(), "pageAnnos"), "pageIndex", "1");
    annotations->setPagesAnnotationsNode(std::move(annos));
    const xmlNode* owned = annotations->pagesAnnotationsNode();

    FlashBookOutput out(makePages(2), makeTemplate(""), dir.file("book"), std::nullopt);
    out.setFlashOutline(outline);
    out.setFlashPagesAnnotations(annotations);
    log::Capture capture;
    const auto first = out.bookXML();
    const auto second = out.bookXML();
    EXPECT_EQ(childNames(root(first)), QStringList({"extConfig", "pages", "ols", "pagesAnnos"}));
    EXPECT_EQ(childNames(root(second)), QStringList({"extConfig", "pages", "ols", "pagesAnnos"}));
    EXPECT_EQ(xml::serialize(first.get()), xml::serialize(second.get()));
    EXPECT_NE(xml::firstChild(root(first), "pagesAnnos"), owned);
    EXPECT_EQ(annotations->pagesAnnotationsNode(), owned);
    EXPECT_EQ(owned->parent, nullptr);
    EXPECT_EQ(xml::text(xml::firstChild(xml::firstChild(xml::firstChild(root(first), "ols"), "o"), "c")), "Chapter 1");
    EXPECT_TRUE(capture.contains("XML:"));
    EXPECT_TRUE(capture.contains("Chapter 1"));
}

TEST_F(BookXml, APageWithoutANormalPageKeepsTheDocumentWhole)
{
    auto source = makePages(2);
    source->normalPages().pop_back();
    const auto doc = build(makeTemplate(""), source);
    const auto pages = xml::children(xml::firstChild(root(doc), "pages"), "page");
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(xml::text(xml::firstChild(pages[1], "normalUrl")), "./files/page/2.jpg");
    EXPECT_TRUE(xml::parseMemory(xml::serialize(doc.get())).doc != nullptr);
}
