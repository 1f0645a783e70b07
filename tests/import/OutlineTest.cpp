// The book's outline: its XML, written and read back, and the outline read
// from a PDF's bookmarks.
#include "PdfFixtures.h"
#include "import/FlashOutlinePDF.h"
#include "support/TestEnv.h"
#include "util/Error.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace quire;
using quire::test::pdfFixture;

namespace {

// A new entry one level below `parent`, or at level 1 in `outline`.
FlashOutlineItem* add(FlashOutline& outline, FlashOutlineItem* parent, const QString& caption, int page)
{
    auto item = std::make_unique<FlashOutlineItem>();
    item->setCaption(caption);
    item->setPageIndex(page);
    item->setLevel(parent ? parent->level() + 1 : 1);
    item->setParent(parent);
    if (parent)
        return parent->addChild(std::move(item));
    outline.items().push_back(std::move(item));
    return outline.items().back().get();
}

QByteArray xmlOf(const FlashOutline& outline)
{
    return xml::serialize(xml::newDocument(outline.outlineAsXMLNode()).get(), false);
}

// "caption @page Llevel", indented two spaces a level; "!" marks an entry
// whose parent is not the one it is listed under.
QStringList lines(const FlashOutlineItem::ItemList& items, const FlashOutlineItem* parent = nullptr, QString indent = {})
{
    QStringList out;
    for (const auto& item : items)
        out << indent + item->caption().value_or("(none)") + QString(" @%1 L%2").arg(item->pageIndex()).arg(item->level()) +
                   (item->parent() == parent ? "" : "!")
            << lines(item->childItems(), item.get(), indent + "  ");
    return out;
}

void load(FlashOutline& outline, const char* text)
{
    auto parsed = xml::parseMemory(QByteArray(text));
    ASSERT_TRUE(parsed.doc) << parsed.error.toStdString();
    outline.loadFromXMLNode(xmlDocGetRootElement(parsed.doc.get()));
}

} // namespace

TEST(OutlineXml, HasTheDocumentedShapeAndRoundTripsWithItsParents)
{
    FlashOutline outline;
    FlashOutlineItem* one = add(outline, nullptr, "Chapter 1", 1);
    add(outline, add(outline, one, "Section 1.1", 2), "Deep & <é>", 9);
    add(outline, nullptr, "", 12); // empty, not absent
    EXPECT_EQ(xmlOf(outline), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ols><o><c>Chapter 1</c><p>1</p><l>1</l><ci>"
                              "<o><c>Section 1.1</c><p>2</p><l>2</l><ci><o><c>Deep &amp; &lt;\xc3\xa9&gt;</c><p>9</p>"
                              "<l>3</l><ci/></o></ci></o></ci></o><o><c/><p>12</p><l>1</l><ci/></o></ols>\n");

    FlashOutline back;
    back.items().push_back(std::make_unique<FlashOutlineItem>()); // replaced by the load
    load(back, xmlOf(outline).constData());
    EXPECT_EQ(lines(back.items()),
              (QStringList{"Chapter 1 @1 L1", "  Section 1.1 @2 L2", "    Deep & <é> @9 L3", " @12 L1"}));
}

TEST(OutlineXml, NumbersAreReadLikeScanfMissingFieldsStayAndWrongElementsFail)
{
    FlashOutline outline;
    load(outline, "<ols><o><c>A</c><p>12abc</p><l> 2</l></o><o><c>B</c></o><x/>"
                  "<o><p>-4</p><ci><o><c>C</c></o><q/></ci></o></ols>");
    // The "x" and "q" elements are no entries.
    EXPECT_EQ(lines(outline.items()), (QStringList{"A @12 L2", "B @0 L0", "(none) @-4 L0", "  C @0 L0"}));

    auto o = xml::parseMemory("<o><c>X</c></o>");
    EXPECT_EQ(test::errorOf([&] { outline.loadFromXMLNode(xmlDocGetRootElement(o.doc.get())); }),
              "ERROR_INIT_OUTLINES: Not a flash outline");
    EXPECT_EQ(outline.items().size(), 3u); // the tree stays
    FlashOutlineItem item;
    item.setCaption(QString("Mine"));
    auto ols = xml::parseMemory("<ols/>");
    EXPECT_EQ(test::errorOf([&] { item.loadItemFromXMLNode(xmlDocGetRootElement(ols.doc.get())); }),
              "ERROR_INIT_OUTLINE_ITEM: Not a flash outline item");
    EXPECT_EQ(item.caption(), Text("Mine"));
}

TEST(OutlinePdf, BookmarksBecomeTheTreeWithDocumentPageNumbers)
{
    FlashOutlinePDF outline;
    outline.loadOutlineFromPDF(pdf::PdfDocument::open(pdfFixture("outline.pdf")).get());
    // Sub 1.1.2 leads by a go-to action; entries without a page of their own
    // take their parent's; the ninth has a UTF-16 title and a named target;
    // the last no title at all.
    EXPECT_EQ(lines(outline.items()),
              (QStringList{"Chapter 1 @1 L1", "  Section 1.1 @2 L2", "    Sub 1.1.1 @3 L3", "    Sub 1.1.2 @4 L3",
                           "  Section 1.2 @4 L2", "Chapter 2 @7 L1", "  Web @7 L2", "  No target @7 L2",
                           "Über the ninth @9 L1", " @10 L1"}));
    // A top-level entry without a page points at the first; an address wins over a page.
    pdf::OutlineNode node;
    node.target = 4;
    EXPECT_EQ(FlashOutlinePDF::pageNumberFor(node, nullptr), 5);
    node.url = QString("https://example.com/");
    EXPECT_EQ(FlashOutlinePDF::pageNumberFor(node, nullptr), 1);

    // No bookmarks, or no document: an empty outline.
    FlashOutlinePDF none;
    none.loadOutlineFromPDF(pdf::PdfDocument::open(pdfFixture("plain.pdf")).get());
    none.loadOutlineFromPDF(nullptr);
    EXPECT_TRUE(none.items().empty());
    EXPECT_TRUE(xml::serialize(none.outlineAsXMLNode().get(), false).trimmed().endsWith("\n<ols/>"));
}
