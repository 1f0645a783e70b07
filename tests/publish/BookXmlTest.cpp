// The book configuration document a publish seals into its container, RC4
// over a ZIP archive that unzip opens (the archive's own tests read it with
// Python's zipfile too), with its script form for viewers opened from disk.
#include "PublishFixture.h"

using namespace quire;
using namespace quire::test;

namespace {

// "name=value" of every attribute, in document order.
QStringList attributes(const xmlNode* node)
{
    QStringList out;
    for (const xmlAttr* a = node->properties; a; a = a->next)
        out << QString::fromUtf8(reinterpret_cast<const char*>(a->name)) + "=" +
                   xml::attribute(node, reinterpret_cast<const char*>(a->name)).value_or("?");
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
    xml::DocPtr build(const QString& properties, std::shared_ptr<FlashPageSource> pages)
    {
        return FlashBookOutput(pages, makeTemplate(properties), folder, std::nullopt).bookXML();
    }
    static xmlNode* root(const xml::DocPtr& doc) { return xmlDocGetRootElement(doc.get()); }
    static std::vector<xmlNode*> children(const xml::DocPtr& doc, const char* list, const char* each)
    {
        return xml::children(xml::firstChild(root(doc), list), each);
    }
};

} // namespace

TEST_F(BookXml, RootAndPagesInTheirOrderWithUrlsFromDocumentNumbers)
{
    const auto doc = build(propertyXml("pt_text", "a", "1"), makePages(3, 3));
    EXPECT_EQ(attributes(root(doc)), QStringList({"count=3", "appAppShortName=pt", "appAppName=Quire for Mac",
                                                  "appAppVersion=1.0.0", QString("appWebsite=") + publish::kAppWebsite,
                                                  "e=noext"}));
    EXPECT_EQ(childNames(root(doc)), QStringList({"extConfig", "pages"}));
    QStringList urls;
    for (xmlNode* page : children(doc, "pages", "page")) {
        EXPECT_EQ(attributes(page), QStringList({"isHardPage=false", "isEncrypted=false"}));
        EXPECT_EQ(childNames(page), QStringList({"normalUrl", "largeUrl", "thumbUrl"}));
        for (xmlNode* url : xml::children(page))
            urls << xml::text(url);
    }
    EXPECT_EQ(urls, QStringList({"./files/page/3.jpg", "./files/page/3.jpg", "./files/page/3.jpg", "./files/page/4.jpg",
                                 "./files/page/4.jpg", "./files/page/4.jpg", "./files/page/5.jpg", "./files/page/5.jpg",
                                 "./files/page/5.jpg"}));
    // The extension is the picture's own, whatever it is.
    FlashBookOutput out(makePages(1), makeTemplate(""), folder, std::nullopt);
    EXPECT_EQ(out.getNormalPageURL(FlashPage(QString("/a/b.c/pic"), 12)), "./files/page/12.");
    EXPECT_EQ(out.getNormalPageURL(FlashPage(QString("/a/12.JPEG"), 12)), "./files/page/12.JPEG");

    // No pages at all, or a page without its normal page, keep the document whole.
    EXPECT_EQ(attributes(root(build("", std::make_shared<FlashPageSourceImg>()))).value(0), "count=0");
    auto source = makePages(2);
    source->normalPages().pop_back();
    const auto partial = build("", source);
    ASSERT_EQ(children(partial, "pages", "page").size(), 2u);
    EXPECT_EQ(xml::text(xml::firstChild(children(partial, "pages", "page")[1], "normalUrl")), "./files/page/2.jpg");
}

TEST_F(BookXml, PropertyTreeIsFlattenedDepthFirstAndFilesNameTheirCopies)
{
    const QString tree =
        propertyXml("pt_text", "A", "a",
                    propertyXml("pt_text", "A1", "a1", propertyXml("pt_color", "A1a", "0x00ff00") +
                                                           propertyXml("pt_file", "deep", "/x/y/z.Tiff")) +
                        propertyXml("pt_text", "A2", "absent")) +
        propertyXml("pt_text", "B", "") + propertyXml("pt_number", "A1", "dup") +
        propertyXml("pt_file", "bgImage", "/Users/a/pics/cover.PNG") + propertyXml("pt_file", "empty", "") +
        propertyXml("pt_file", "none", "absent") + propertyXml("pt_file", "noext", "/a.b/README");
    const auto tmpl = makeTemplate(tree);
    // Absent values cannot be written in a definition: they come from code.
    tmpl->findProperty("A2")->setValue(std::nullopt);
    tmpl->findProperty("none")->setValue(std::nullopt);
    const auto doc = FlashBookOutput(makePages(1), tmpl, folder, std::nullopt).bookXML();
    QStringList items;
    for (xmlNode* item : children(doc, "extConfig", "item")) {
        items << attributes(item).join(' ') + " " + xml::text(item);
        EXPECT_TRUE(xml::children(item).empty());
    }
    EXPECT_EQ(items, QStringList({"name=A a", "name=A1 a1", "name=A1a 0x00ff00", "name=deep ./files/extfiles/deep.Tiff",
                                  "name=A2 ", "name=B ", "name=A1 dup", "name=bgImage ./files/extfiles/bgImage.PNG",
                                  "name=empty ./files/extfiles/empty.", "name=none ./files/extfiles/none.",
                                  "name=noext ./files/extfiles/noext."}));
    // Absent and empty values leave the element without any text node.
    EXPECT_EQ(children(doc, "extConfig", "item")[4]->children, nullptr);
    EXPECT_EQ(children(doc, "extConfig", "item")[5]->children, nullptr);
}

TEST_F(BookXml, HardCoversMarkOnlyTheFirstAndLastPage)
{
    auto flags = [&](const QString& properties, int pageCount) {
        QStringList out;
        const auto doc = build(properties, makePages(pageCount));
        for (xmlNode* page : children(doc, "pages", "page"))
            out << xml::attribute(page, "isHardPage").value_or("?");
        return out.join(' ');
    };
    const auto cover = [](const QString& value) { return propertyXml("pt_bool", "isHardCover", value); };
    EXPECT_EQ(QStringList({flags(cover("yes"), 1), flags(cover("Yes"), 2), flags(cover("YES"), 5)}),
              QStringList({"true", "true true", "true false false false true"}));
    EXPECT_EQ(flags(propertyXml("pt_text", "p", "", cover("yes")), 3), "true false true"); // found anywhere
    for (const char* value : {"no", "true", "YES ", "1", ""})
        EXPECT_EQ(flags(cover(value), 3), "false false false") << value;
}

TEST_F(BookXml, OutlineIsMadeFreshAndAnnotationsAreCopied)
{
    auto outline = std::make_shared<FlashOutline>();
    outline->items().push_back(std::make_unique<FlashOutlineItem>());
    outline->items()[0]->setCaption(QString("Chapter 1"));
    auto annotations = std::make_shared<FlashPagesAnnotations>();
    xml::NodePtr annos = xml::newElement("pagesAnnos");
    xml::setAttribute(xml::appendElement(annos.get(), "pageAnnos"), "pageIndex", "1");
    annotations->setPagesAnnotationsNode(std::move(annos));
    const xmlNode* owned = annotations->pagesAnnotationsNode();

    FlashBookOutput out(makePages(2), makeTemplate(""), folder, std::nullopt);
    out.setFlashOutline(outline);
    out.setFlashPagesAnnotations(annotations);
    const auto first = out.bookXML(), second = out.bookXML();
    EXPECT_EQ(childNames(root(first)), QStringList({"extConfig", "pages", "ols", "pagesAnnos"}));
    EXPECT_EQ(xml::serialize(first.get()), xml::serialize(second.get()));
    // The annotation set keeps its own element; the document has a copy.
    EXPECT_NE(xml::firstChild(root(first), "pagesAnnos"), owned);
    EXPECT_EQ(annotations->pagesAnnotationsNode(), owned);
    EXPECT_EQ(owned->parent, nullptr);
    EXPECT_EQ(xml::text(xml::firstChild(xml::firstChild(xml::firstChild(root(first), "ols"), "o"), "c")), "Chapter 1");
}

// (A second publish replacing the container: the republish tests.)
TEST_F(BookXml, TheContainerOpensInUnzipBesideItsScriptAndAFailedWriteIsReported)
{
    // The cipher matches known vectors, the published one's key "Key" of a length other than 16.
    EXPECT_EQ(publish::rc4("hello", "leafcase-key-01").value_or("").toHex(' '), "83 b2 65 3f 59");
    EXPECT_EQ(publish::rc4("Plaintext", "Key").value_or("").toHex(), "bbf316e8d940af0ad3");
    FlashBookOutput out(makePages(3), makeTemplate(propertyXml("pt_text", "bookTitle", "Fleurs &amp; &lt;épines&gt;")),
                        folder, std::nullopt);
    ASSERT_TRUE(out.ouputTheBook().ok());
    const QByteArray archive = decipher(readFile(at("files/book.bin")));
    ASSERT_TRUE(archive.startsWith("PK\x03\x04"));
    writeFile(dir.file("plain.zip"), archive);
    const QByteArray expected = xml::serialize(out.bookXML().get(), true);
    EXPECT_TRUE(expected.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<flipbook"));
    EXPECT_TRUE(
        expected.contains("\n  <extConfig>\n    <item name=\"bookTitle\">Fleurs &amp; &lt;\xc3\xa9pines&gt;</item>"));
    EXPECT_EQ(runTool("unzip", {"-tq", dir.file("plain.zip")}).status, 0);
    EXPECT_EQ(runTool("unzip", {"-Z1", dir.file("plain.zip")}).out, "book.xml\n");
    EXPECT_EQ(unzippedConfiguration(at("files/book.bin")), expected);
    EXPECT_EQ(readFile(at("files/book.js")),
              "window.quireBookContainer = \"" + readFile(at("files/book.bin")).toBase64() + "\";\n");

    // A folder in the container's place cannot be replaced by a file.
    const QString bin = dir.file("other/book.bin");
    writeFile(bin + "/blocker", "x");
    const PublishResult result = out.ouputBookXML(bin);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.failure()->file, bin);
    EXPECT_FALSE(QFile::exists(dir.file("other/book.js")));
}
