// \keepn and \keep: paragraphs that a page end would part are moved to the
// next page whole, read back from the printed PDF. Each sample is also
// printed without its keep marks, to show that it does hit a page end.
#include "PrintedRtf.h"
#include "RtfSamples.h"
#include "RtfTestSupport.h"
#include "import/PdfDocument.h"
#include "import/text/PageKeeping.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;
using quire::textimport::PageKeeping;

namespace {

class RtfPageKeeping : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PdfProbe::available())
            GTEST_SKIP() << "poppler-utils are needed";
    }

    Printed print(const QByteArray& body) { return printRtf(m_dir, rtfDocument(body)); }

    TempDir m_dir;
};

QByteArray without(QByteArray rtf, const char* word)
{
    return rtf.replace(word, "");
}

// Words "<prefix>1" ... "<prefix>count" as one paragraph's text.
QByteArray numberedWords(const char* prefix, int count)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += prefix + QByteArray::number(i) + ' ';
    return text;
}

// The pages that the numbered words landed on.
QSet<int> pagesOfWords(const Printed& printed, const char* prefix, int count)
{
    QSet<int> pages;
    for (int i = 1; i <= count; ++i)
        pages.insert(printed.pageOf(QString::fromLatin1(prefix) + QString::number(i)));
    return pages;
}

TEST_F(RtfPageKeeping, HeadingMovesToThePageOfItsTextWithItsBookmark)
{
    int parted = 0;
    int moved = 0;
    for (int lines = 18; lines <= 32; ++lines) {
        SCOPED_TRACE(lines);
        QByteArray body = fillerParagraphs(lines);
        body += "\\pard\\plain\\keepn\\outlinelevel0\\b\\fs36 KeptHeading\\par\n"
                "\\pard\\plain\\fs24 BodyAfterHeading starts here.\\par\n";
        body += fillerParagraphs(4, 100);

        const Printed plain = print(without(body, "\\keepn"));
        if (plain.pageOf("KeptHeading") != plain.pageOf("BodyAfterHeading"))
            ++parted;

        const Printed kept = print(body);
        const int page = kept.pageOf("KeptHeading");
        ASSERT_GE(page, 1);
        EXPECT_EQ(page, kept.pageOf("BodyAfterHeading"));
        EXPECT_EQ(PdfProbe::pageSizes(kept.pdf).size(), kept.result.pageCount);
        if (page != plain.pageOf("KeptHeading")) {
            ++moved;
            // Moved whole: the heading opens the next page.
            EXPECT_TRUE(PdfProbe::pageText(kept.pdf, page).trimmed().startsWith(QStringLiteral("KeptHeading")));
            EXPECT_EQ(page, plain.pageOf("KeptHeading") + 1);
        }
        // The bookmark leads to the page the heading is printed on.
        const auto outline = pdf::PdfDocument::open(kept.pdf)->outline();
        ASSERT_EQ(outline.size(), 1u);
        ASSERT_TRUE(outline.front().target);
        EXPECT_EQ(*outline.front().target + 1, page);
    }
    // The samples do part the heading from its text when nothing keeps them.
    EXPECT_GE(parted, 1);
    EXPECT_EQ(moved, parted);
}

TEST_F(RtfPageKeeping, AChainOfHeadingsStaysWithTheText)
{
    int parted = 0;
    for (int lines = 18; lines <= 32; ++lines) {
        SCOPED_TRACE(lines);
        QByteArray body = fillerParagraphs(lines);
        body += "\\pard\\plain\\keepn\\sb240\\b\\fs40 ChapterTitle\\par\n"
                "\\pard\\plain\\keepn\\sb120\\b\\fs28 SectionTitle\\par\n"
                "\\pard\\plain\\fs24 ChainBody follows.\\par\n";
        body += fillerParagraphs(4, 100);

        const Printed plain = print(without(body, "\\keepn"));
        const QSet<int> plainPages{plain.pageOf("ChapterTitle"), plain.pageOf("SectionTitle"),
                                   plain.pageOf("ChainBody")};
        if (plainPages.size() > 1)
            ++parted;

        const Printed kept = print(body);
        const int page = kept.pageOf("ChapterTitle");
        EXPECT_EQ(kept.pageOf("SectionTitle"), page);
        EXPECT_EQ(kept.pageOf("ChainBody"), page);
    }
    EXPECT_GE(parted, 2);
}

TEST_F(RtfPageKeeping, HeadingBeforeATableStaysWithItsFirstRow)
{
    int parted = 0;
    for (int lines = 20; lines <= 30; ++lines) {
        SCOPED_TRACE(lines);
        QByteArray body = fillerParagraphs(lines);
        body += "\\pard\\plain\\keepn\\b\\fs32 TableHeading\\par\n";
        for (int row = 1; row <= 3; ++row)
            body += "\\trowd\\trgaph108\\cellx3000\\cellx6000\\pard\\intbl Row" + QByteArray::number(row) +
                    "Left\\line second line\\cell Right\\cell\\row\n";
        body += "\\pard AfterTable\\par\n";

        const Printed plain = print(without(body, "\\keepn"));
        if (plain.pageOf("TableHeading") != plain.pageOf("Row1Left"))
            ++parted;
        const Printed kept = print(body);
        EXPECT_EQ(kept.pageOf("TableHeading"), kept.pageOf("Row1Left"));
    }
    EXPECT_GE(parted, 1);
}

TEST_F(RtfPageKeeping, KeepLinesMovesAParagraphThatWouldSplit)
{
    int split = 0;
    for (int lines = 14; lines <= 28; lines += 2) {
        SCOPED_TRACE(lines);
        QByteArray body = fillerParagraphs(lines);
        body += "\\pard\\plain\\keep\\fs24 " + numberedWords("kw", 60) + "\\par\n";
        body += fillerParagraphs(2, 100);

        if (pagesOfWords(print(without(body, "\\keep")), "kw", 60).size() > 1)
            ++split;
        const Printed kept = print(body);
        const QSet<int> pages = pagesOfWords(kept, "kw", 60);
        EXPECT_EQ(pages.size(), 1);
        EXPECT_FALSE(pages.contains(0));
    }
    EXPECT_GE(split, 2);
}

TEST_F(RtfPageKeeping, GroupsTallerThanAPageOrAtItsTopStayAsTheyAre)
{
    // Forty paragraphs that each keep with the next: more than a page.
    QByteArray chain = "\\pard Opening paragraph.\\par\n";
    for (int i = 1; i <= 40; ++i)
        chain += "\\pard\\keepn ChainLine" + QByteArray::number(i) + " of a long chain.\\par\n";
    chain += "\\pard ClosingBody\\par\n";
    // A paragraph to keep whole that is longer than a page, after another
    // paragraph, and one that opens the document.
    const QByteArray longKeep =
        "\\pard Opening paragraph.\\par\n\\pard\\keep " + numberedWords("lw", 700) + "\\par\n";
    const QByteArray firstKeep = "\\pard\\keep " + numberedWords("fw", 700) + "\\par\n\\pard Tail\\par\n";

    for (const auto& [body, word] : {std::pair{chain, "\\keepn"}, std::pair{longKeep, "\\keep"},
                                     std::pair{firstKeep, "\\keep"}}) {
        const Printed kept = print(body);
        const Printed plain = print(without(body, word));
        EXPECT_GE(kept.result.pageCount, 2);
        // Page by page the same text: nothing moved, no blank page.
        EXPECT_EQ(PdfProbe::pageTexts(kept.pdf), PdfProbe::pageTexts(plain.pdf));
    }
}

TEST_F(RtfPageKeeping, AForcedBreakOrAGroupThatCannotBeJoinedIsLeftAlone)
{
    // The heading cannot join text that a \page sends to the next page.
    const Printed broken = print("\\pard Opening\\par\n\\pard\\keepn HeadingBeforeBreak\\par\n\\page\n"
                                 "\\pard BodyAfterBreak\\par\n");
    EXPECT_EQ(broken.result.pageCount, 2);
    EXPECT_EQ(broken.pageOf("HeadingBeforeBreak"), 1);
    EXPECT_EQ(broken.pageOf("BodyAfterBreak"), 2);

    // 370 points of space after the heading: moving it would still leave
    // its text on the page after, so the break is taken back.
    const QByteArray spaced = "\\pard Opening\\par\n\\pard\\keepn\\sa7400 SpacedHeading\\par\n\\pard SpacedBody\\par\n";
    const Printed kept = print(spaced);
    const Printed plain = print(without(spaced, "\\keepn"));
    EXPECT_EQ(kept.pageOf("SpacedHeading"), 1);
    EXPECT_EQ(kept.pageOf("SpacedBody"), 2);
    EXPECT_EQ(PdfProbe::pageTexts(kept.pdf), PdfProbe::pageTexts(plain.pdf));
}

TEST(PageKeeping, ReadsTheMarksAndBreaksOnlyWhereNeeded)
{
    ReadRtf r = readRtf(rtfDocument(fillerParagraphs(25) +
                                    "\\pard\\keepn\\keep\\b\\fs40 Marked\\par\n\\pard Unmarked\\par\n"));
    ASSERT_TRUE(r.result.ok);
    const QTextBlockFormat marked = r.block(QStringLiteral("Marked")).blockFormat();
    EXPECT_TRUE(marked.boolProperty(PageKeeping::KeepWithNext));
    EXPECT_TRUE(marked.boolProperty(PageKeeping::KeepLinesTogether));
    const QTextBlockFormat unmarked = r.block(QStringLiteral("Unmarked")).blockFormat();
    EXPECT_FALSE(unmarked.hasProperty(PageKeeping::KeepWithNext));
    EXPECT_FALSE(unmarked.hasProperty(PageKeeping::KeepLinesTogether));

    // Without pages there is nothing to keep.
    EXPECT_EQ(PageKeeping::apply(*r.doc), 0);

    // On pages: the lines are counted on a 72-dpi device, as when printing.
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(72 / 0.0254));
    device.setDotsPerMeterY(qRound(72 / 0.0254));
    r.doc->documentLayout()->setPaintDevice(&device);
    int breaks = 0;
    for (double height = 300; height <= 420 && breaks == 0; height += 4) {
        r.doc->setPageSize(QSizeF(468, height));
        breaks = PageKeeping::apply(*r.doc);
    }
    ASSERT_EQ(breaks, 1);
    EXPECT_TRUE(r.block(QStringLiteral("Marked")).blockFormat().pageBreakPolicy() &
                QTextFormat::PageBreak_AlwaysBefore);
    // Once kept, the document needs nothing more.
    EXPECT_EQ(PageKeeping::apply(*r.doc), 0);
    r.doc->documentLayout()->setPaintDevice(nullptr);
}

} // namespace
