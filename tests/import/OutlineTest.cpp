// The book's outline: its XML, and the outline read from a PDF's bookmarks;
// a PDF's links as the viewer's link areas ("pagesAnnos").
#include "PdfFixtures.h"
#include "import/FlashOutlinePDF.h"
#include "import/FlashPageSourcePDF.h"
#include "import/FlashPagesAnnotationsPDF.h"
#include "support/TestEnv.h"
#include "util/Log.h"

#include <QImage>
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

// The element on one line, without the XML declaration.
QByteArray compact(const xmlNode* node)
{
    QByteArray text = xml::serialize(node, false);
    return (text.startsWith("<?xml") ? text.mid(text.indexOf('\n') + 1) : text).trimmed();
}

// Per page, "pageIndex: target target ..." with a URL or "#page" for each link.
QStringList summary(const FlashPagesAnnotations& annotations)
{
    QStringList out;
    for (const xmlNode* page : xml::children(annotations.pagesAnnotationsNode(), "pageAnnos")) {
        QString line = xml::attribute(page, "pageIndex").value_or("?") + ":";
        for (const xmlNode* anno : xml::children(page, "anno")) {
            const xmlNode* action = xml::firstChild(anno, "action");
            line += xml::firstChild(action, "url") ? " " + xml::text(xml::firstChild(action, "url"))
                                                   : " #" + xml::text(xml::firstChild(action, "pageIndex"));
        }
        out << line;
    }
    return out;
}

} // namespace

// (Reading the XML back is no part of the program: books are only written.)
TEST(OutlineXml, HasTheDocumentedShape)
{
    FlashOutline outline;
    FlashOutlineItem* one = add(outline, nullptr, "Chapter 1", 1);
    add(outline, add(outline, one, "Section 1.1", 2), "Deep & <é>", 9);
    add(outline, nullptr, "", 12); // empty, not absent
    EXPECT_EQ(xmlOf(outline), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ols><o><c>Chapter 1</c><p>1</p><l>1</l><ci>"
                              "<o><c>Section 1.1</c><p>2</p><l>2</l><ci><o><c>Deep &amp; &lt;\xc3\xa9&gt;</c><p>9</p>"
                              "<l>3</l><ci/></o></ci></o></ci></o><o><c/><p>12</p><l>1</l><ci/></o></ols>\n");
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

TEST(LinkAnnotations, PagesInTheViewersVocabularyByBookPosition)
{
    const auto links = pdf::PdfDocument::open(pdfFixture("links.pdf"));
    FlashPagesAnnotationsPDF annotations;
    annotations.loadLinksFromPDF(links, "1");
    EXPECT_TRUE(annotations.needFiles().isEmpty());
    const QByteArray anno = "<anno annotype=\"com.tessel.flipbook.pageeditor.TAnnoLink\"><action triggerEventType="
                            "\"mouseDown\" actionType=\"com.tessel.flipbook.pageeditor.TAnnoAction";
    EXPECT_EQ(compact(annotations.pagesAnnotationsNode()),
              "<pagesAnnos><pageAnnos pageIndex=\"1\">" + anno + "OpenURL\"><url>https://example.com/one</url></action>"
              "<location x=\"0.100000\" y=\"0.075000\" width=\"0.200000\" height=\"0.050000\"/></anno>" + anno +
              "GotoPage\"><pageIndex>9</pageIndex></action>"
              "<location x=\"0.500000\" y=\"0.825000\" width=\"0.166667\" height=\"0.050000\"/></anno>" + anno +
              "GotoPage\"><pageIndex>9</pageIndex></action>"
              "<location x=\"0.500000\" y=\"0.700000\" width=\"0.166667\" height=\"0.050000\"/></anno>"
              "</pageAnnos></pagesAnnos>");

    // Book positions count from one, targets keep document numbers, every page has an entry.
    annotations.loadLinksFromPDF(links, "4-5");
    EXPECT_EQ(summary(annotations), (QStringList{"1:", "2: #9"}));
    // Pages without links, or outside the document, or without one.
    annotations.loadLinksFromPDF(pdf::PdfDocument::open(pdfFixture("plain.pdf")), "1-3");
    EXPECT_EQ(summary(annotations), (QStringList{"1:", "2:", "3:"}));
    annotations.needFiles() << "/stale";
    annotations.loadLinksFromPDF(links, "0,1,99"); // loading again starts afresh
    EXPECT_TRUE(annotations.needFiles().isEmpty());
    EXPECT_EQ(summary(annotations), (QStringList{"1:", "2: https://example.com/one #9 #9", "3:"}));
    annotations.loadLinksFromPDF(nullptr, "2,5");
    EXPECT_EQ(summary(annotations), (QStringList{"1:", "2:"}));
    annotations.loadLinksFromPDF(nullptr, "ALL");
    EXPECT_EQ(compact(annotations.pagesAnnotationsNode()), "<pagesAnnos/>");

    // A web address wins over a page; a link with neither is skipped.
    const pdf::Rect page{0, 0, 600, 800};
    const pdf::Link link{{60, 60, 120, 40}, QString("https://example.com/"), 3};
    xml::NodePtr both = FlashPagesAnnotationsPDF::annoForLink(link, page);
    ASSERT_TRUE(both);
    EXPECT_TRUE(xml::attribute(xml::firstChild(both.get(), "action"), "actionType")->endsWith("TAnnoActionOpenURL"));
    EXPECT_EQ(FlashPagesAnnotationsPDF::annoForLink({{1, 1, 1, 1}, std::nullopt, std::nullopt}, page), nullptr);
}

TEST(LinkAnnotations, AreasCoverTheirLinksOnTheRenderedPicture)
{
    FlashPageSourcePDF source(pdfFixture("links.pdf"), "ALL", 144, 85);
    source.generatePages();
    FlashPagesAnnotationsPDF annotations;
    annotations.loadLinksFromPDF(source.PDFDoc(), "ALL");
    const auto pages = xml::children(annotations.pagesAnnotationsNode(), "pageAnnos");
    ASSERT_EQ(pages.size(), 12u);
    for (int n : {1, 5, 6, 7, 8, 10, 11, 12}) {
        SCOPED_TRACE(testing::Message() << "page " << n);
        const QImage picture(*source.pages()[size_t(n - 1)]->pageFilePath());
        ASSERT_FALSE(picture.isNull());
        const xmlNode* where = xml::firstChild(xml::children(pages[size_t(n - 1)], "anno").at(0), "location");
        auto at = [&](const char* name) { return xml::attribute(where, name).value_or("nan").toDouble(); };
        const double x = at("x"), y = at("y"), w = at("width"), h = at("height");
        auto greyAt = [&](double fx, double fy) {
            return qGray(picture.pixel(int(fx * picture.width()), int(fy * picture.height())));
        };
        for (double fx : {0.1, 0.5, 0.9})
            for (double fy : {0.1, 0.5, 0.9})
                EXPECT_LT(greyAt(x + fx * w, y + fy * h), 60);
        EXPECT_GT(std::min({greyAt(x - 0.02, y + h / 2), greyAt(x + w + 0.02, y + h / 2), greyAt(x + w / 2, y - 0.02),
                            greyAt(x + w / 2, y + h + 0.02)}), 200);
    }
}

TEST(LinkAnnotations, LinksTheViewerCannotFollowAreLeftOutAndLogged)
{
    log::Capture capture(log::Level::Warn);
    FlashPagesAnnotationsPDF annotations;
    annotations.loadLinksFromPDF(pdf::PdfDocument::open(pdfFixture("oddities.pdf")), "1");
    EXPECT_EQ(summary(annotations), QStringList{"1: https://example.com/a%01b%20c mailto:someone@example.com #2"});
    const QStringList logged = capture.messages(log::Level::Warn);
    ASSERT_EQ(logged.size(), 4) << logged.join('\n').toStdString();
    for (const char* target : {"other-manual.pdf", "setup.sh", "javascript:alert(1)", "other.html"})
        EXPECT_EQ(logged.filter(target).size(), 1) << target;
}
