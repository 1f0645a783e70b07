// The PDF adapter on the fixture documents: boxes, missing and damaged
// pages, rendering; the words and labels the import reads from a document,
// and the thumbnails it makes.
#include "PdfFixtures.h"
#include "import/FlashPageSourcePDF.h"
#include "import/PageLabels.h"
#include "import/PdfDocument.h"
#include "support/TestEnv.h"
#include "util/Error.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace quire;
using quire::test::pdfFixture;

namespace {

int grey(const pdf::Bitmap& b, int x, int y)
{
    const unsigned char* p = b.pixels.data() + size_t(y) * size_t(b.stride) + size_t(x) * 3;
    return (p[0] + p[1] + p[2]) / 3;
}

const TextWord* findWord(const PageText& text, const QString& word, int* direction = nullptr)
{
    for (const TextBlock& block : text.blocks)
        for (const TextLine& line : block.lines)
            for (const TextWord& w : line.words)
                if (w.text == word) {
                    if (direction)
                        *direction = line.direction;
                    return &w;
                }
    return nullptr;
}

} // namespace

TEST(PdfDocument, BoxesRotationMissingOrDamagedPagesAndRendering)
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

    // Files that fail to open: ImportOperation's failure table. An owner
    // password alone does not stop reading.
    EXPECT_TRUE(pdf::PdfDocument::open(pdfFixture("ownerlocked.pdf"))->pageText(4).contains("Page 5"));
    auto plain = pdf::PdfDocument::open(pdfFixture("plain.pdf"));
    const QString missing = QString(pdf::kPageMissing) + ": Page %1 is not in the document (10 pages)";
    EXPECT_EQ(test::errorOf([&] { plain->links(-1); }), missing.arg(0));
    EXPECT_EQ(test::errorOf([&] { plain->links(10); }), missing.arg(11));
    // A page missing from the page tree is damage.
    auto badTree = pdf::PdfDocument::open(pdfFixture("badtree.pdf"));
    EXPECT_EQ(badTree->pageCount(), 3);
    EXPECT_TRUE(badTree->pageText(1).contains("Page 2"));
    EXPECT_TRUE(test::errorOf([&] { badTree->displayedBounds(2); })
                    .startsWith(QString(pdf::kDamaged) + ": Page 3 of \"badtree.pdf\" is damaged"));

    // Rendered whole onto white; pictures too large to hold are refused. Page 1 is 600 x 800 with a black box at x 60..180, y 700..740 (from the bottom).
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

TEST(PageText, WordsInReadingOrderAtPlacesInFractionsOfThePageAsRendered)
{
    auto doc = pdf::PdfDocument::open(pdfFixture("text.pdf"));
    const struct {
        int position;
        QString text;
    } cases[] = {
        {0, "Quick brown fox\njumps over\n\nFar away"},
        {1, "find waffle"},
        {2, "Turned"},
        {3, ""},
        {4, "Kept"}, // "Hidden" lies outside the crop box
    };
    for (const auto& c : cases)
        EXPECT_EQ(doc->words(c.position).plainText(), c.text) << "page " << c.position + 1;
    EXPECT_TRUE(doc->words(3).empty());

    // Places are fractions of the page as rendered, like link areas.
    // "Quick" starts at x 100 of 600 points, on the baseline 700 of 800.
    const PageText first = doc->words(0);
    const TextWord* quick = findWord(first, "Quick");
    ASSERT_TRUE(quick);
    EXPECT_NEAR(quick->box.x, 100.0 / 600, 0.002);
    EXPECT_LT(quick->box.y, 0.125f);
    EXPECT_GT(quick->box.y + quick->box.height, 0.125f);
    EXPECT_NEAR(quick->box.height, 24.0 / 800 * 1.1, 24.0 / 800 * 0.3); // about the font's size
    const TextWord* fox = findWord(first, "fox");
    ASSERT_TRUE(fox);
    EXPECT_GT(fox->box.x, quick->box.x + quick->box.width);

    // On the page turned a quarter the word reads downwards and lies where
    // the link drawn around it is placed.
    int direction = -1;
    const PageText turned = doc->words(2);
    const TextWord* word = findWord(turned, "Turned", &direction);
    ASSERT_TRUE(word);
    EXPECT_EQ(direction, 1);
    EXPECT_GT(word->box.height, word->box.width);
    const pdf::Rect page = doc->displayedBounds(2);
    const std::vector<pdf::Link> links = doc->links(2);
    ASSERT_EQ(links.size(), 1u);
    const pdf::Rect& area = links[0].area;
    const float cx = word->box.x + word->box.width / 2, cy = word->box.y + word->box.height / 2;
    EXPECT_TRUE(cx > (area.x - page.x) / page.width && cx < (area.x + area.width - page.x) / page.width) << cx;
    EXPECT_TRUE(cy > (area.y - page.y) / page.height && cy < (area.y + area.height - page.y) / page.height) << cy;
}

TEST(PageLabels, ReadFromTheNumberTreeInEveryStyle)
{
    EXPECT_EQ(pdf::PdfDocument::open(pdfFixture("text.pdf"))->pageLabels(),
              (std::vector<Text>{QString("i"), QString("ii"), QString("1"), QString("2"), QString("A-7")}));
    EXPECT_TRUE(pdf::PdfDocument::open(pdfFixture("plain.pdf"))->pageLabels().empty());

    const struct {
        char style;
        int value;
        const char* label;
    } numbers[] = {
        {'D', 12, "12"},   {'r', 4, "iv"},   {'r', 9, "ix"},     {'r', 14, "xiv"}, {'R', 40, "XL"},
        {'r', 1994, "mcmxciv"}, {'r', 100000, "100000"}, {'a', 1, "a"}, {'a', 26, "z"}, {'A', 27, "AA"},
        {'a', 53, "aaa"},  {'a', 100000, "100000"}, {0, 5, ""},
    };
    for (const auto& n : numbers)
        EXPECT_EQ(labelNumber(n.style, n.value), n.label) << n.style << n.value;

    // Pages before the first range have none; a later range on the same
    // first page wins; a start below 1 counts from 1.
    const std::vector<Text> labels =
        pageLabels({{2, 'D', "p", 0}, {4, 'r', "", 1}, {4, 'A', "", 3}, {9, 'D', "", 1}}, 6);
    EXPECT_EQ(labels, (std::vector<Text>{std::nullopt, std::nullopt, QString("p1"), QString("p2"), QString("C"),
                                         QString("D")}));
}

TEST(PageText, ImportKeepsWordsLabelsAndThumbnailsWithThePages)
{
    for (const int workers : {1, 2}) {
        SCOPED_TRACE(workers);
        FlashPageSourcePDF source(pdfFixture("text.pdf"), "2-5", 144, 85);
        source.setRenderWorkers(workers);
        source.generatePages();
        source.generateNormalPages();
        ASSERT_EQ(source.normalPages().size(), 4u);
        const char* labels[] = {"ii", "1", "2", "A-7"};
        const char* texts[] = {"find waffle", "Turned", nullptr, "Kept"};
        for (int i = 0; i < 4; ++i) {
            const FlashPage& page = *source.normalPages()[size_t(i)];
            EXPECT_EQ(page.pageLabel(), QString(labels[i]));
            if (texts[i])
                EXPECT_EQ(page.pageText() ? page.pageText()->plainText() : "(none)", texts[i]);
            else
                EXPECT_FALSE(page.pageText());
            // A thumbnail 160 pixels wide of the rendered page.
            const FlashPage* thumb = source.getThumbPageAtIndex(page.pageIndex());
            ASSERT_TRUE(thumb);
            const QSize full = QImage(*page.pageFilePath()).size();
            const QSize small = QImage(*thumb->pageFilePath()).size();
            EXPECT_EQ(small.width(), 160);
            EXPECT_NEAR(small.height(), 160.0 * full.height() / full.width(), 1);
        }
    }
}

TEST(PageText, BuilderSplitsAtWhiteSpaceSpellsOutLigaturesAndKeepsWordsOnThePage)
{
    // A page 200 x 100 in the library's space, its top left corner at (0, 50).
    PageTextBuilder builder(0, 50, 200, 150);
    builder.beginBlock();
    builder.beginLine(1, 0);
    const struct {
        char32_t c;
        float x0, x1;
    } chars[] = {
        {U'o', 10, 20}, {0xFB03, 20, 30}, {U'c', 30, 40}, {U'e', 40, 50}, // "office" with the ffi ligature
        {U' ', 50, 55}, {0x0007, 55, 56}, {0xFFFD, 56, 57}, {U'\u00a0', 57, 58}, // nothing a reader searches for
        {U'b', 190, 200}, {U'y', 200, 230},                                  // runs off the page's right edge
        {U'\t', 0, 0},  {U'x', -40, -30}, {U' ', -30, -25},                 // wholly off the page
        {0x1F600, 100, 110},                                                 // beyond 16 bits
    };
    for (const auto& ch : chars)
        builder.addChar(ch.c, ch.x0, 60, ch.x1, 70);
    builder.beginLine(0, -1);
    builder.beginBlock();
    const PageText text = builder.take();
    EXPECT_EQ(text.plainText(), QString::fromUcs4(U"office by \U0001F600"));
    ASSERT_EQ(text.blocks.size(), 1u); // empty lines and blocks are left out
    const std::vector<TextWord>& words = text.blocks[0].lines[0].words;
    ASSERT_EQ(words.size(), 3u);
    EXPECT_FLOAT_EQ(words[0].box.x, 0.05f);
    EXPECT_FLOAT_EQ(words[0].box.width, 0.2f);
    EXPECT_FLOAT_EQ(words[0].box.y, 0.1f);
    EXPECT_FLOAT_EQ(words[0].box.height, 0.1f);
    EXPECT_FLOAT_EQ(words[1].box.x + words[1].box.width, 1.0f);
}
