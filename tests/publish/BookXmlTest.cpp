#include "PublishFixture.h"
#include "publish/FlashBookOutput.h"
#include "publish/PublishConstants.h"
#include "util/Log.h"

using namespace quire;
using namespace quire::test;

namespace {

// "name=value" of every attribute, in document order.
QStringList attributes(const xmlNode* node)
{
    QStringList out;
    for (const xmlAttr* a = node->properties; a; a = a->next) {
        const char* name = reinterpret_cast<const char*>(a->name);
        out << QString::fromUtf8(name) + "=" + xml::attribute(node, name).value_or("?");
    }
    return out;
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
        return FlashBookOutput(pages, tmpl, folder, std::nullopt).bookXML();
    }
    static xmlNode* root(const xml::DocPtr& doc) { return xmlDocGetRootElement(doc.get()); }
    static std::vector<xmlNode*> items(const xml::DocPtr& doc)
    {
        return xml::children(xml::firstChild(root(doc), "extConfig"), "item");
    }
    static std::vector<xmlNode*> pages(const xml::DocPtr& doc)
    {
        return xml::children(xml::firstChild(root(doc), "pages"), "page");
    }
    QStringList hardFlags(const QString& properties, int pageCount)
    {
        QStringList flags;
        const auto doc = build(makeTemplate(properties), makePages(pageCount));
        for (xmlNode* page : pages(doc))
            flags << xml::attribute(page, "isHardPage").value_or("?");
        return flags;
    }
};

} // namespace

TEST_F(BookXml, RootAndPagesInTheirOrderWithUrlsFromDocumentNumbers)
{
    const auto doc = build(makeTemplate(propertyXml("pt_text", "a", QString("1"))), makePages(3, 3));
    EXPECT_EQ(xml::name(root(doc)), "flipbook");
    EXPECT_EQ(attributes(root(doc)),
              QStringList({"count=3", "appAppShortName=pt", "appAppName=Quire for Mac", "appAppVersion=1.0.0",
                           QString("appWebsite=") + publish::kAppWebsite, "e=noext"}));
    EXPECT_EQ(childNames(root(doc)), QStringList({"extConfig", "pages"}));
    QStringList urls;
    for (xmlNode* page : pages(doc)) {
        EXPECT_EQ(attributes(page), QStringList({"isHardPage=false", "isEncrypted=false"}));
        EXPECT_EQ(childNames(page), QStringList({"normalUrl", "largeUrl", "thumbUrl"}));
        const QString url = xml::text(xml::firstChild(page, "normalUrl"));
        EXPECT_EQ(xml::text(xml::firstChild(page, "largeUrl")), url);
        EXPECT_EQ(xml::text(xml::firstChild(page, "thumbUrl")), url);
        urls << url;
    }
    EXPECT_EQ(urls, QStringList({"./files/page/3.jpg", "./files/page/4.jpg", "./files/page/5.jpg"}));

    // The extension is the picture's own, whatever it is.
    FlashBookOutput out(makePages(1), makeTemplate(""), folder, std::nullopt);
    EXPECT_EQ(out.getNormalPageURL(FlashPage(QString("/a/b.c/pic"), 12)), "./files/page/12.");
    EXPECT_EQ(out.getNormalPageURL(FlashPage(QString("/a/12.JPEG"), 12)), "./files/page/12.JPEG");
}

TEST_F(BookXml, PropertyTreeIsFlattenedDepthFirstAndFilesNameTheirCopies)
{
    const QString tree =
        propertyXml("pt_text", "A", QString("a"),
                    propertyXml("pt_text", "A1", QString("a1"),
                                propertyXml("pt_color", "A1a", QString("0x00ff00"))
                                    + propertyXml("pt_file", "deep", QString("/x/y/z.Tiff")))
                        + propertyXml("pt_text", "A2", "absent"))
        + propertyXml("pt_text", "B", QString("")) + propertyXml("pt_number", "A1", QString("dup"))
        + propertyXml("pt_file", "bgImage", QString("/Users/a/pics/cover.PNG"))
        + propertyXml("pt_file", "empty", QString("")) + propertyXml("pt_file", "none", "absent")
        + propertyXml("pt_file", "noext", QString("/a.b/README"));
    const auto tmpl = makeTemplate(tree);
    // Absent values cannot be written in a definition: they come from code.
    tmpl->findProperty("A2")->setValue(std::nullopt);
    tmpl->findProperty("none")->setValue(std::nullopt);
    const auto doc = build(tmpl, makePages(1));
    QStringList names, texts;
    for (xmlNode* item : items(doc)) {
        names << xml::attribute(item, "name").value_or("?");
        texts << xml::text(item);
        EXPECT_EQ(attributes(item).size(), 1);
        EXPECT_TRUE(xml::children(item).empty());
    }
    EXPECT_EQ(names, QStringList({"A", "A1", "A1a", "deep", "A2", "B", "A1", "bgImage", "empty", "none", "noext"}));
    EXPECT_EQ(texts, QStringList({"a", "a1", "0x00ff00", "./files/extfiles/deep.Tiff", "", "", "dup",
                                  "./files/extfiles/bgImage.PNG", "./files/extfiles/empty.", "./files/extfiles/none.",
                                  "./files/extfiles/noext."}));
    // Absent and empty values leave the element without any text node.
    EXPECT_EQ(items(doc)[4]->children, nullptr);
    EXPECT_EQ(items(doc)[5]->children, nullptr);
}

TEST_F(BookXml, HardCoversMarkOnlyTheFirstAndLastPage)
{
    const auto cover = [](const QString& value) { return propertyXml("pt_bool", "isHardCover", value); };
    EXPECT_EQ(hardFlags(cover("yes"), 1), QStringList({"true"}));
    EXPECT_EQ(hardFlags(cover("Yes"), 2), QStringList({"true", "true"}));
    EXPECT_EQ(hardFlags(cover("YES"), 5), QStringList({"true", "false", "false", "false", "true"}));
    // Found anywhere in the tree.
    EXPECT_EQ(hardFlags(propertyXml("pt_text", "p", "", cover("yes")), 3),
              QStringList({"true", "false", "true"}));
    for (const char* value : {"no", "true", "YES ", "1", ""})
        EXPECT_EQ(hardFlags(cover(value), 3), QStringList({"false", "false", "false"})) << value;
}

TEST_F(BookXml, EmptyPageSourceStillGivesTheWholeConfiguration)
{
    const auto doc = build(makeTemplate(propertyXml("pt_text", "a", QString("1")) + propertyXml("pt_text", "b", QString("2"))),
                           std::make_shared<FlashPageSourceImg>());
    EXPECT_EQ(xml::attribute(root(doc), "count"), "0");
    EXPECT_TRUE(pages(doc).empty());
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

    FlashBookOutput out(makePages(2), makeTemplate(""), folder, std::nullopt);
    out.setFlashOutline(outline);
    out.setFlashPagesAnnotations(annotations);
    log::Capture capture;
    const auto first = out.bookXML();
    const auto second = out.bookXML();
    EXPECT_EQ(childNames(root(first)), QStringList({"extConfig", "pages", "ols", "pagesAnnos"}));
    EXPECT_EQ(xml::serialize(first.get()), xml::serialize(second.get()));
    // The annotation set keeps its own element; the document has a copy.
    EXPECT_NE(xml::firstChild(root(first), "pagesAnnos"), owned);
    EXPECT_EQ(annotations->pagesAnnotationsNode(), owned);
    EXPECT_EQ(owned->parent, nullptr);
    EXPECT_EQ(xml::text(xml::firstChild(xml::firstChild(xml::firstChild(root(first), "ols"), "o"), "c")), "Chapter 1");
    EXPECT_TRUE(capture.contains("XML:") && capture.contains("Chapter 1")); // the outline is logged
}

TEST_F(BookXml, APageWithoutANormalPageKeepsTheDocumentWhole)
{
    auto source = makePages(2);
    source->normalPages().pop_back();
    const auto doc = build(makeTemplate(""), source);
    const auto list = pages(doc);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(xml::text(xml::firstChild(list[1], "normalUrl")), "./files/page/2.jpg");
}
