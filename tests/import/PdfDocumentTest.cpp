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
QString openFailure(const QString& path)
{
    try {
        pdf::PdfDocument::open(path);
        return {};
    } catch (const Error& e) {
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
    test::writeFile(dir.file("empty.pdf"), {});
    QByteArray noise(4096, '\0');
    QRandomGenerator generator(7);
    for (char& c : noise)
        c = char(generator.bounded(256));
    noise.replace("%PDF-", "%pdf-");
    test::writeFile(dir.file("noise.pdf"), noise);
    test::writeFile(dir.file("header.pdf"), "%PDF-1.4\n" + noise); // a header and nothing a reader could use
    // What the library makes of a truncated file: a document without pages.
    test::writeFile(dir.file("nopages.pdf"), "%PDF-1.4\n1 0 obj <</Type /Catalog /Pages 2 0 R>> endobj\n"
                                             "2 0 obj <</Type /Pages /Kids [] /Count 0>> endobj\n"
                                             "trailer <</Root 1 0 R>>\n%%EOF\n");
    const std::pair<QString, const char*> cases[] = {
        {dir.file("missing.pdf"), pdf::kNotFound},
        {dir.path(), pdf::kNotFound}, // a folder cannot be read as a file
        {dir.file("empty.pdf"), pdf::kNotPdf},
        {dir.file("noise.pdf"), pdf::kNotPdf},
        {dir.file("header.pdf"), pdf::kDamaged},
        {dir.file("nopages.pdf"), pdf::kDamaged},
        {pdfFixture("truncated.pdf"), pdf::kDamaged},
        {pdfFixture("encrypted.pdf"), pdf::kPasswordProtected},
    };
    // The reasons are checked with the import operation's messages.
    for (const auto& [path, name] : cases)
        EXPECT_EQ(openFailure(path), name) << path.toStdString();
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
    EXPECT_EQ(std::tuple(crop.x, crop.y, crop.width, crop.height), std::tuple(100.f, 50.f, 400.f, 600.f));
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
