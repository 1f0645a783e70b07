// A PDF's links as the viewer's link areas ("pagesAnnos").
#include "PdfFixtures.h"
#include "import/FlashPageSourcePDF.h"
#include "import/FlashPagesAnnotationsPDF.h"
#include "support/TestEnv.h"
#include "util/Log.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace quire;
using quire::test::pdfFixture;

namespace {

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

TEST(LinkAnnotations, FirstPageInTheViewersVocabulary)
{
    FlashPagesAnnotationsPDF annotations;
    annotations.loadLinksFromPDF(pdf::PdfDocument::open(pdfFixture("links.pdf")), "1");
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
}

TEST(LinkAnnotations, BookPositionsCountFromOneTargetsKeepDocumentNumbersAndEveryPageHasAnEntry)
{
    const auto links = pdf::PdfDocument::open(pdfFixture("links.pdf"));
    FlashPagesAnnotationsPDF annotations;
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
    xml::NodePtr both = FlashPagesAnnotationsPDF::annoForLink({{60, 60, 120, 40}, QString("https://example.com/"), 3}, page);
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
