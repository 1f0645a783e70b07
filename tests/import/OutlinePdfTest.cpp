#include "PdfFixtures.h"
#include "import/FlashOutlinePDF.h"
#include "util/Log.h"

#include <gtest/gtest.h>

using namespace quire;
using quire::test::pdfFixture;

namespace {

struct Expected {
    const char* caption;
    int page;
    int level;
    size_t children;
};

void expectItem(const FlashOutlineItem& item, const Expected& e, const FlashOutlineItem* parent)
{
    SCOPED_TRACE(e.caption);
    EXPECT_EQ(item.caption(), Text(QString::fromUtf8(e.caption)));
    EXPECT_EQ(item.pageIndex(), e.page);
    EXPECT_EQ(item.level(), e.level);
    EXPECT_EQ(item.childItems().size(), e.children);
    EXPECT_EQ(item.parent(), parent);
}

} // namespace

TEST(OutlinePdf, BookmarksBecomeTheTreeWithDocumentPageNumbers)
{
    log::Capture capture(log::Level::Debug);
    auto doc = pdf::PdfDocument::open(pdfFixture("outline.pdf"));
    FlashOutlinePDF outline;
    outline.loadOutlineFromPDF(doc.get());

    const auto& items = outline.items();
    ASSERT_EQ(items.size(), 4u);
    expectItem(*items[0], {"Chapter 1", 1, 1, 2}, nullptr);
    const FlashOutlineItem& s11 = *items[0]->childItems()[0];
    expectItem(s11, {"Section 1.1", 2, 2, 2}, items[0].get());
    expectItem(*s11.childItems()[0], {"Sub 1.1.1", 3, 3, 0}, &s11);
    expectItem(*s11.childItems()[1], {"Sub 1.1.2", 4, 3, 0}, &s11); // by a go-to action
    expectItem(*items[0]->childItems()[1], {"Section 1.2", 4, 2, 0}, items[0].get());

    // Entries without a page of their own take their parent's.
    expectItem(*items[1], {"Chapter 2", 7, 1, 2}, nullptr);
    expectItem(*items[1]->childItems()[0], {"Web", 7, 2, 0}, items[1].get());
    expectItem(*items[1]->childItems()[1], {"No target", 7, 2, 0}, items[1].get());

    expectItem(*items[2], {"\xC3\x9C" "ber the ninth", 9, 1, 0}, nullptr); // UTF-16 title, named target
    expectItem(*items[3], {"", 10, 1, 0}, nullptr);                       // no title at all

    EXPECT_TRUE(capture.contains("Chapter 1"));
    EXPECT_TRUE(capture.contains("Chapter 2"));
}

TEST(OutlinePdf, TopLevelEntryWithoutTargetPointsAtTheFirstPage)
{
    pdf::OutlineNode web;
    web.url = QString("https://example.com/");
    web.target = 4; // an address wins over a page
    EXPECT_EQ(FlashOutlinePDF::pageNumberFor(web, nullptr), 1);
    pdf::OutlineNode page;
    page.target = 4;
    EXPECT_EQ(FlashOutlinePDF::pageNumberFor(page, nullptr), 5);
}

TEST(OutlinePdf, NoBookmarksOrNoDocumentGiveAnEmptyOutline)
{
    FlashOutlinePDF outline;
    outline.loadOutlineFromPDF(pdf::PdfDocument::open(pdfFixture("plain.pdf")).get());
    EXPECT_TRUE(outline.items().empty());
    EXPECT_TRUE(xml::serialize(outline.outlineAsXMLNode().get(), false).trimmed().endsWith("\n<ols/>"));
    outline.loadOutlineFromPDF(nullptr);
    EXPECT_TRUE(outline.items().empty());
}
