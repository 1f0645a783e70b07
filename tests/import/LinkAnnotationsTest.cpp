#include "PdfFixtures.h"
#include "import/FlashPageSourcePDF.h"
#include "import/FlashPagesAnnotationsPDF.h"
#include "util/Log.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace quire;
using quire::test::pdfFixture;

namespace {

std::shared_ptr<pdf::PdfDocument> linksDoc()
{
    return pdf::PdfDocument::open(pdfFixture("links.pdf"));
}

// The element alone on one line, without the XML declaration.
QByteArray compact(const xmlNode* node)
{
    QByteArray text = xml::serialize(node, false);
    if (text.startsWith("<?xml"))
        text = text.mid(text.indexOf('\n') + 1);
    return text.trimmed();
}

std::vector<xmlNode*> pageAnnos(const FlashPagesAnnotations& annotations)
{
    return xml::children(annotations.pagesAnnotationsNode(), "pageAnnos");
}

double attr(const xmlNode* node, const char* name)
{
    return xml::attribute(node, name).value_or("nan").toDouble();
}

} // namespace

TEST(LinkAnnotations, FirstPageInTheViewersVocabulary)
{
    FlashPagesAnnotationsPDF annotations;
    annotations.loadLinksFromPDF(linksDoc(), "1");
    EXPECT_TRUE(annotations.needFiles().isEmpty());
    EXPECT_EQ(compact(annotations.pagesAnnotationsNode()),
              "<pagesAnnos><pageAnnos pageIndex=\"1\">"
              "<anno annotype=\"com.tessel.flipbook.pageeditor.TAnnoLink\">"
              "<action triggerEventType=\"mouseDown\" actionType=\"com.tessel.flipbook.pageeditor.TAnnoActionOpenURL\">"
              "<url>https://example.com/one</url></action>"
              "<location x=\"0.100000\" y=\"0.075000\" width=\"0.200000\" height=\"0.050000\"/></anno>"
              "<anno annotype=\"com.tessel.flipbook.pageeditor.TAnnoLink\">"
              "<action triggerEventType=\"mouseDown\" actionType=\"com.tessel.flipbook.pageeditor.TAnnoActionGotoPage\">"
              "<pageIndex>9</pageIndex></action>"
              "<location x=\"0.500000\" y=\"0.825000\" width=\"0.166667\" height=\"0.050000\"/></anno>"
              "<anno annotype=\"com.tessel.flipbook.pageeditor.TAnnoLink\">"
              "<action triggerEventType=\"mouseDown\" actionType=\"com.tessel.flipbook.pageeditor.TAnnoActionGotoPage\">"
              "<pageIndex>9</pageIndex></action>"
              "<location x=\"0.500000\" y=\"0.700000\" width=\"0.166667\" height=\"0.050000\"/></anno>"
              "</pageAnnos></pagesAnnos>");
}

TEST(LinkAnnotations, BookPositionsCountFromOneWhileTargetsKeepDocumentNumbers)
{
    FlashPagesAnnotationsPDF annotations;
    annotations.loadLinksFromPDF(linksDoc(), "4-5");
    const auto pages = pageAnnos(annotations);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(xml::attribute(pages[0], "pageIndex"), QString("1"));
    EXPECT_TRUE(xml::children(pages[0]).empty());
    EXPECT_EQ(xml::attribute(pages[1], "pageIndex"), QString("2"));
    const auto annos = xml::children(pages[1], "anno");
    ASSERT_EQ(annos.size(), 1u);
    EXPECT_EQ(xml::text(xml::firstChild(xml::firstChild(annos[0], "action"), "pageIndex")), "9");
}

TEST(LinkAnnotations, PagesWithoutLinksOrOutsideTheDocumentGiveEmptyEntries)
{
    FlashPagesAnnotationsPDF annotations;
    annotations.loadLinksFromPDF(pdf::PdfDocument::open(pdfFixture("plain.pdf")), "1-3");
    EXPECT_EQ(compact(annotations.pagesAnnotationsNode()),
              "<pagesAnnos><pageAnnos pageIndex=\"1\"/><pageAnnos pageIndex=\"2\"/><pageAnnos pageIndex=\"3\"/></pagesAnnos>");

    annotations.needFiles() << "/stale";
    annotations.loadLinksFromPDF(linksDoc(), "0,1,99"); // loading again starts afresh
    EXPECT_TRUE(annotations.needFiles().isEmpty());
    const auto pages = pageAnnos(annotations);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_TRUE(xml::children(pages[0]).empty());
    EXPECT_EQ(xml::children(pages[1]).size(), 3u);
    EXPECT_TRUE(xml::children(pages[2]).empty());

    annotations.loadLinksFromPDF(nullptr, "2,5");
    EXPECT_EQ(compact(annotations.pagesAnnotationsNode()),
              "<pagesAnnos><pageAnnos pageIndex=\"1\"/><pageAnnos pageIndex=\"2\"/></pagesAnnos>");
    annotations.loadLinksFromPDF(nullptr, "ALL");
    EXPECT_EQ(compact(annotations.pagesAnnotationsNode()), "<pagesAnnos/>");
}

TEST(LinkAnnotations, WebAddressWinsAndEmptyLinksAreSkipped)
{
    const pdf::Rect page{0, 0, 600, 800};
    pdf::Link both{{60, 60, 120, 40}, QString("https://example.com/"), 3};
    xml::NodePtr anno = FlashPagesAnnotationsPDF::annoForLink(both, page);
    ASSERT_TRUE(anno);
    EXPECT_TRUE(xml::attribute(xml::firstChild(anno.get(), "action"), "actionType")->endsWith("TAnnoActionOpenURL"));
    EXPECT_EQ(FlashPagesAnnotationsPDF::annoForLink(pdf::Link{{1, 1, 1, 1}, std::nullopt, std::nullopt}, page), nullptr);
}

TEST(LinkAnnotations, AreasCoverTheirLinksOnTheRenderedPicture)
{
    FlashPageSourcePDF source(pdfFixture("links.pdf"), "ALL", 144, 85);
    source.generatePages();
    FlashPagesAnnotationsPDF annotations;
    annotations.loadLinksFromPDF(source.PDFDoc(), "ALL");
    const auto pages = pageAnnos(annotations);
    ASSERT_EQ(pages.size(), 12u);

    for (int n : {1, 5, 6, 7, 8, 10, 11, 12}) {
        const QImage picture(*source.pages()[size_t(n - 1)]->pageFilePath());
        ASSERT_FALSE(picture.isNull());
        const xmlNode* anno = xml::children(pages[size_t(n - 1)], "anno").at(0);
        const xmlNode* where = xml::firstChild(anno, "location");
        const double x = attr(where, "x"), y = attr(where, "y"), w = attr(where, "width"), h = attr(where, "height");
        auto greyAt = [&](double fx, double fy) {
            return qGray(picture.pixel(int(fx * picture.width()), int(fy * picture.height())));
        };
        SCOPED_TRACE(testing::Message() << "page " << n);
        for (double fx : {0.1, 0.5, 0.9})
            for (double fy : {0.1, 0.5, 0.9})
                EXPECT_LT(greyAt(x + fx * w, y + fy * h), 60);
        EXPECT_GT(greyAt(x - 0.02, y + h / 2), 200);
        EXPECT_GT(greyAt(x + w + 0.02, y + h / 2), 200);
        EXPECT_GT(greyAt(x + w / 2, y - 0.02), 200);
        EXPECT_GT(greyAt(x + w / 2, y + h + 0.02), 200);
    }
}

TEST(LinkAnnotations, LinksTheViewerCannotFollowAreLeftOutAndLogged)
{
    log::Capture capture(log::Level::Warn);
    FlashPagesAnnotationsPDF annotations;
    annotations.loadLinksFromPDF(pdf::PdfDocument::open(pdfFixture("oddities.pdf")), "1");
    QStringList actions;
    for (const xmlNode* anno : xml::children(pageAnnos(annotations).at(0), "anno")) {
        const xmlNode* action = xml::firstChild(anno, "action");
        actions << xml::text(xml::firstChild(action, "url")) + xml::text(xml::firstChild(action, "pageIndex"));
    }
    EXPECT_EQ(actions, (QStringList{"https://example.com/a%01b%20c", "mailto:someone@example.com", "2"}));
    const QStringList logged = capture.messages(log::Level::Warn);
    ASSERT_EQ(logged.size(), 4) << logged.join('\n').toStdString();
    for (const char* target : {"other-manual.pdf", "setup.sh", "javascript:alert(1)", "other.html"})
        EXPECT_EQ(logged.filter(target).size(), 1) << target;
}
