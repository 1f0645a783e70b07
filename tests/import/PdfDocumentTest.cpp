// The PDF adapter on the fixture documents: failures by name, boxes,
// rendering, and documents used from several threads.
#include "PdfFixtures.h"
#include "import/PdfDocument.h"
#include "support/TestEnv.h"
#include "util/Error.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <thread>

using namespace quire;
using quire::test::pdfFixture;

namespace {

int grey(const pdf::Bitmap& b, int x, int y)
{
    const unsigned char* p = b.pixels.data() + size_t(y) * size_t(b.stride) + size_t(x) * 3;
    return (p[0] + p[1] + p[2]) / 3;
}

} // namespace

TEST(PdfDocument, BadFilesFailByName)
{
    test::TempDir dir;
    test::writeFile(dir.file("empty.pdf"), {});
    QByteArray noise(4096, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    noise.replace("%PDF-", "%pdf-");
    test::writeFile(dir.file("noise.pdf"), noise);
    test::writeFile(dir.file("header.pdf"), "%PDF-1.4\n" + noise); // a header and nothing a reader could use
    // What the library makes of a truncated file: a document without pages.
    test::writeFile(dir.file("nopages.pdf"), "%PDF-1.4\n1 0 obj <</Type /Catalog /Pages 2 0 R>> endobj\n"
                                             "2 0 obj <</Type /Pages /Kids [] /Count 0>> endobj\n"
                                             "trailer <</Root 1 0 R>>\n%%EOF\n");
    // The reasons are checked with the import operation's messages.
    const std::pair<QString, const char*> cases[] = {
        {dir.file("missing.pdf"), pdf::kNotFound}, {dir.path(), pdf::kNotFound}, // a folder is no file
        {dir.file("empty.pdf"), pdf::kNotPdf},      {dir.file("noise.pdf"), pdf::kNotPdf},
        {dir.file("header.pdf"), pdf::kDamaged},    {dir.file("nopages.pdf"), pdf::kDamaged},
        {pdfFixture("truncated.pdf"), pdf::kDamaged}, {pdfFixture("encrypted.pdf"), pdf::kPasswordProtected},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(test::errorOf([&] { pdf::PdfDocument::open(path); }).section(':', 0, 0), name) << path.toStdString();
    // An owner password alone does not stop reading.
    EXPECT_TRUE(pdf::PdfDocument::open(pdfFixture("ownerlocked.pdf"))->pageText(4).contains("Page 5"));
}

TEST(PdfDocument, BoxesRotationAndMissingOrDamagedPages)
{
    auto doc = pdf::PdfDocument::open(pdfFixture("links.pdf"));
    ASSERT_EQ(doc->pageCount(), 12);
    const int expectedRotation[] = {0, 0, 0, 0, 0, 90, 180, 270, 0, 0, 90, 270}; // -90 reads as 270
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(doc->rotation(i), expectedRotation[i]) << "page " << i + 1;
    const pdf::Rect crop = doc->cropBox(9);
    EXPECT_EQ(std::tuple(crop.x, crop.y, crop.width, crop.height), std::tuple(100.f, 50.f, 400.f, 600.f));
    const pdf::Rect shown = doc->displayedBounds(10); // the same crop box, turned
    EXPECT_EQ(std::pair(shown.width, shown.height), std::pair(600.f, 400.f));
    EXPECT_FLOAT_EQ(doc->cropBox(5).width, 600); // the crop box itself is not turned

    auto plain = pdf::PdfDocument::open(pdfFixture("plain.pdf"));
    const QString missing = QString(pdf::kPageMissing) + ": Page %1 is not in the document (10 pages)";
    EXPECT_EQ(test::errorOf([&] { plain->links(-1); }), missing.arg(0));
    EXPECT_EQ(test::errorOf([&] { plain->links(10); }), missing.arg(11));
    EXPECT_EQ(pdf::pageNotInDocument(2, 1), "Page 2 is not in the document (1 page)");
    // A page missing from the page tree is damage.
    auto badTree = pdf::PdfDocument::open(pdfFixture("badtree.pdf"));
    EXPECT_EQ(badTree->pageCount(), 3);
    EXPECT_TRUE(badTree->pageText(1).contains("Page 2"));
    EXPECT_TRUE(test::errorOf([&] { badTree->displayedBounds(2); })
                    .startsWith(QString(pdf::kDamaged) + ": Page 3 of \"badtree.pdf\" is damaged"));
}

TEST(PdfDocument, RendersTheWholePageOntoWhiteAndRefusesPicturesTooLargeToHold)
{
    // Page 1 is 600 x 800 with a black box at x 60..180, y 700..740 (from the bottom).
    const pdf::Bitmap b = pdf::PdfDocument::open(pdfFixture("links.pdf"))->render(0, 300, 400);
    ASSERT_EQ(std::tuple(b.width, b.height, b.stride), std::tuple(300, 400, 900));
    EXPECT_EQ(grey(b, 5, 395), 255); // unpainted corner is white
    EXPECT_LT(grey(b, 60, 40), 30);  // inside the box: (120, 80) in points
    EXPECT_GT(grey(b, 60, 25), 225); // above it
    EXPECT_GT(grey(b, 25, 40), 225); // left of it

    auto huge = pdf::PdfDocument::open(pdfFixture("hugepage.pdf"));
    const QString refused = test::errorOf([&] { huge->render(1, 28800, 28800); });
    EXPECT_TRUE(refused.startsWith(pdf::kRenderFailed) && refused.contains("too large")) << refused.toStdString();
    EXPECT_NO_THROW(huge->render(2, 100, 100));
}

TEST(PdfDocument, DocumentsWorkSideBySideOnThreads)
{
    auto shared = pdf::PdfDocument::open(pdfFixture("plain.pdf"));
    const pdf::Bitmap reference = shared->render(3, 153, 198);
    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            // Two threads share one document (calls take turns), two open their own.
            auto doc = t < 2 ? shared : pdf::PdfDocument::open(pdfFixture("plain.pdf"));
            for (int i = 0; i < 5; ++i) {
                mismatches += doc->render(3, 153, 198).pixels != reference.pixels;
                doc->pageText(i);
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}
