#include "PdfFixtures.h"
#include "import/PdfDocument.h"
#include "support/TestEnv.h"
#include "util/Error.h"

#include <QDir>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <thread>

using namespace quire;
using quire::test::pdfFixture;

namespace {

// The name of the error that opening path raises, or "" when it opens.
QString openFailure(const QString& path, QString* reason = nullptr)
{
    try {
        pdf::PdfDocument::open(path);
        return {};
    } catch (const Error& e) {
        if (reason)
            *reason = e.reason();
        return e.name();
    }
}

int grey(const pdf::Bitmap& b, int x, int y)
{
    const unsigned char* p = b.pixels.data() + size_t(y) * size_t(b.stride) + size_t(x) * 3;
    return (p[0] + p[1] + p[2]) / 3;
}

} // namespace

TEST(PdfDocument, BadFilesFailWithTheReason)
{
    test::TempDir dir;
    QString reason;
    EXPECT_EQ(openFailure(dir.file("missing.pdf"), &reason), pdf::kNotFound);
    EXPECT_TRUE(reason.contains("was not found")) << reason.toStdString();

    test::writeFile(dir.file("empty.pdf"), {});
    EXPECT_EQ(openFailure(dir.file("empty.pdf"), &reason), pdf::kNotPdf);
    EXPECT_EQ(reason, "The file \"empty.pdf\" is not a PDF document");

    QByteArray noise(4096, '\0');
    QRandomGenerator generator(7);
    for (char& c : noise)
        c = char(generator.bounded(256));
    noise.replace("%PDF-", "%pdf-");
    test::writeFile(dir.file("noise.pdf"), noise);
    EXPECT_EQ(openFailure(dir.file("noise.pdf")), pdf::kNotPdf);

    // A header and nothing a reader could use.
    test::writeFile(dir.file("header.pdf"), "%PDF-1.4\n" + noise);
    EXPECT_EQ(openFailure(dir.file("header.pdf"), &reason), pdf::kDamaged);

    EXPECT_EQ(openFailure(pdfFixture("truncated.pdf"), &reason), pdf::kDamaged);
    EXPECT_TRUE(reason.contains("is damaged")) << reason.toStdString();
    EXPECT_EQ(openFailure(pdfFixture("encrypted.pdf"), &reason), pdf::kPasswordProtected);
    EXPECT_EQ(reason, "The PDF document \"encrypted.pdf\" is password-protected");
    EXPECT_EQ(openFailure(dir.path()), pdf::kNotFound); // a folder cannot be read as a file
}

TEST(PdfDocument, OwnerPasswordAloneDoesNotStopReading)
{
    auto doc = pdf::PdfDocument::open(pdfFixture("ownerlocked.pdf"));
    EXPECT_EQ(doc->pageCount(), 10);
    EXPECT_TRUE(doc->pageText(4).contains("Page 5"));
}

TEST(PdfDocument, BoxesRotationAndDisplayedSize)
{
    auto doc = pdf::PdfDocument::open(pdfFixture("links.pdf"));
    ASSERT_EQ(doc->pageCount(), 12);
    const int expectedRotation[] = {0, 0, 0, 0, 0, 90, 180, 270, 0, 0, 90, 270}; // -90 reads as 270
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(doc->rotation(i), expectedRotation[i]) << "page " << i + 1;

    const pdf::Rect crop = doc->cropBox(9);
    EXPECT_FLOAT_EQ(crop.x, 100);
    EXPECT_FLOAT_EQ(crop.y, 50);
    EXPECT_FLOAT_EQ(crop.width, 400);
    EXPECT_FLOAT_EQ(crop.height, 600);
    const pdf::Rect shown = doc->displayedBounds(10); // the same crop box, turned
    EXPECT_FLOAT_EQ(shown.width, 600);
    EXPECT_FLOAT_EQ(shown.height, 400);
    EXPECT_FLOAT_EQ(doc->cropBox(5).width, 600); // the crop box itself is not turned
}

TEST(PdfDocument, PagesTheDocumentLacksAreRefusedByNumber)
{
    auto doc = pdf::PdfDocument::open(pdfFixture("plain.pdf"));
    for (int position : {-1, 10}) {
        try {
            doc->links(position);
            FAIL() << "no error for " << position;
        } catch (const Error& e) {
            EXPECT_EQ(e.name(), pdf::kPageMissing);
            EXPECT_EQ(e.reason(), pdf::pageNotInDocument(position + 1, 10));
        }
    }
    EXPECT_EQ(pdf::pageNotInDocument(200, 113), "Page 200 is not in the document (113 pages)");
    EXPECT_EQ(pdf::pageNotInDocument(2, 1), "Page 2 is not in the document (1 page)");
}

TEST(PdfDocument, PageMissingFromThePageTreeIsDamage)
{
    auto doc = pdf::PdfDocument::open(pdfFixture("badtree.pdf"));
    EXPECT_EQ(doc->pageCount(), 3);
    EXPECT_TRUE(doc->pageText(1).contains("Page 2"));
    try {
        doc->displayedBounds(2);
        FAIL() << "page 3 loaded";
    } catch (const Error& e) {
        EXPECT_EQ(e.name(), pdf::kDamaged);
        EXPECT_TRUE(e.reason().startsWith("Page 3 of \"badtree.pdf\" is damaged")) << e.reason().toStdString();
    }
}

TEST(PdfDocument, RendersTheWholePageOntoWhite)
{
    auto doc = pdf::PdfDocument::open(pdfFixture("links.pdf"));
    // Page 1 is 600 x 800 with a black box at x 60..180, y 700..740 (from the bottom).
    const pdf::Bitmap b = doc->render(0, 300, 400);
    ASSERT_EQ(b.width, 300);
    ASSERT_EQ(b.height, 400);
    EXPECT_EQ(b.stride, 900);
    EXPECT_EQ(grey(b, 5, 395), 255);   // unpainted corner is white
    EXPECT_LT(grey(b, 60, 40), 30);    // inside the box: (120, 80) in points
    EXPECT_GT(grey(b, 60, 25), 225);   // above it
    EXPECT_GT(grey(b, 25, 40), 225);   // left of it
}

TEST(PdfDocument, RefusesPicturesTooLargeToHold)
{
    auto doc = pdf::PdfDocument::open(pdfFixture("hugepage.pdf"));
    try {
        doc->render(1, 28800, 28800);
        FAIL() << "rendered";
    } catch (const Error& e) {
        EXPECT_EQ(e.name(), pdf::kRenderFailed);
        EXPECT_TRUE(e.reason().contains("too large")) << e.reason().toStdString();
    }
    EXPECT_NO_THROW(doc->render(2, 100, 100));
}

TEST(PdfDocument, ReadsLinksOutlineAndText)
{
    auto doc = pdf::PdfDocument::open(pdfFixture("links.pdf"));
    const auto links = doc->links(0); // the note and the link without action are not links
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0].url, Text("https://example.com/one"));
    EXPECT_FALSE(links[0].target);
    EXPECT_FLOAT_EQ(links[0].area.x, 60);
    EXPECT_FLOAT_EQ(links[0].area.y, 60); // top-left origin
    EXPECT_FLOAT_EQ(links[0].area.width, 120);
    EXPECT_FLOAT_EQ(links[0].area.height, 40);
    EXPECT_EQ(links[1].target, 8);
    EXPECT_FALSE(links[1].url);
    EXPECT_EQ(links[2].target, 8); // by name
    EXPECT_TRUE(doc->outline().empty());
    EXPECT_EQ(doc->pageText(6).trimmed(), "Page 7");
}

TEST(PdfDocument, DocumentsWorkSideBySideOnThreads)
{
    auto shared = pdf::PdfDocument::open(pdfFixture("plain.pdf"));
    const pdf::Bitmap reference = shared->render(3, 153, 198);
    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            // Two threads share one document (calls take turns), two open their own.
            auto doc = t < 2 ? shared : pdf::PdfDocument::open(pdfFixture("plain.pdf"));
            for (int i = 0; i < 5; ++i) {
                if (doc->render(3, 153, 198).pixels != reference.pixels)
                    ++mismatches;
                doc->pageText(i);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}
