// \keepn and \keep: paragraphs that a page end would part are moved to the
// next page whole, read back from the printed PDF. Each sample is also
// printed without its keep marks, to show that it does hit a page end.
#include "PrintedRtf.h"
#include "RtfSamples.h"
#include "RtfTestSupport.h"
#include "import/PdfDocument.h"
#include "import/text/PageKeeping.h"

#include <QAbstractTextDocumentLayout>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;
using quire::textimport::PageKeeping;

namespace {

using RtfPageKeeping = PrintingTest;

QByteArray withoutMarks(QByteArray rtf)
{
    return rtf.replace("\\keepn", "").replace("\\keep", "");
}

// Words "<prefix>1" ... "<prefix>count", as text and as a list.
QByteArray numberedWords(const char* prefix, int count, QStringList* list = nullptr)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i) {
        text += prefix + QByteArray::number(i) + ' ';
        if (list)
            *list << QString(prefix) + QString::number(i);
    }
    return text;
}

QSet<int> pagesOf(const Printed& printed, const QStringList& words)
{
    QSet<int> pages;
    for (const QString& word : words)
        pages.insert(printed.pageOf(word));
    return pages;
}

TEST_F(RtfPageKeeping, KeptGroupsMoveWholeToTheNextPageAndOnlyWhenParted)
{
    struct Case {
        const char* name;
        QByteArray tail;      // after the filler paragraphs
        QStringList together; // the group's words, the first opening it
        int from, to, step;   // numbers of filler paragraphs to try
        int minParted;        // samples that part the group without the marks
        bool bookmarked;
    };
    QByteArray rows;
    for (int row = 1; row <= 3; ++row)
        rows += "\\trowd\\trgaph108\\cellx3000\\cellx6000\\pard\\intbl Row" + QByteArray::number(row) +
                "Left\\line second line\\cell Right\\cell\\row\n";
    QStringList kept60;
    const QByteArray keepLines = "\\pard\\plain\\keep\\fs24 " + numberedWords("kw", 60, &kept60) + "\\par\n";
    const Case cases[] = {
        {"heading", "\\pard\\plain\\keepn\\outlinelevel0\\b\\fs36 KeptHeading\\par\n"
                    "\\pard\\plain\\fs24 BodyAfterHeading starts here.\\par\n" + fillerParagraphs(4, 100),
         {"KeptHeading", "BodyAfterHeading"}, 18, 32, 1, 1, true},
        {"chain of headings", "\\pard\\plain\\keepn\\sb240\\b\\fs40 ChapterTitle\\par\n"
                              "\\pard\\plain\\keepn\\sb120\\b\\fs28 SectionTitle\\par\n"
                              "\\pard\\plain\\fs24 ChainBody follows.\\par\n" + fillerParagraphs(4, 100),
         {"ChapterTitle", "SectionTitle", "ChainBody"}, 18, 32, 1, 2, false},
        {"heading before a table",
         "\\pard\\plain\\keepn\\b\\fs32 TableHeading\\par\n" + rows + "\\pard AfterTable\\par\n",
         {"TableHeading", "Row1Left"}, 20, 30, 1, 1, false},
        {"lines kept together", keepLines + fillerParagraphs(2, 100), kept60, 14, 28, 2, 2, false},
    };
    for (const Case& c : cases) {
        int parted = 0;
        for (int lines = c.from; lines <= c.to; lines += c.step) {
            SCOPED_TRACE(testing::Message() << c.name << " after " << lines << " paragraphs");
            const QByteArray body = fillerParagraphs(lines) + c.tail;
            const Printed plain = print(withoutMarks(body));
            const Printed kept = print(body);
            const QString& first = c.together.front();
            const int page = kept.pageOf(first);
            ASSERT_GE(page, 1);
            EXPECT_EQ(pagesOf(kept, c.together), QSet<int>{page});
            EXPECT_EQ(PdfProbe::pageSizes(kept.pdf).size(), kept.result.pageCount);
            if (pagesOf(plain, c.together).size() > 1) {
                ++parted;
                // Moved whole: the group opens the next page.
                EXPECT_EQ(page, plain.pageOf(first) + 1);
                EXPECT_TRUE(kept.pageText(page).trimmed().startsWith(first));
            } else {
                EXPECT_EQ(page, plain.pageOf(first)); // nothing to move
            }
            if (c.bookmarked) {
                // The bookmark leads to the page the heading is printed on.
                const auto outline = pdf::PdfDocument::open(kept.pdf)->outline();
                ASSERT_EQ(outline.size(), 1u);
                ASSERT_TRUE(outline.front().target);
                EXPECT_EQ(*outline.front().target + 1, page);
            }
        }
        EXPECT_GE(parted, c.minParted) << c.name;
    }
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
    const QByteArray longKeep = "\\pard Opening paragraph.\\par\n\\pard\\keep " + numberedWords("lw", 700) + "\\par\n";
    const QByteArray firstKeep = "\\pard\\keep " + numberedWords("fw", 700) + "\\par\n\\pard Tail\\par\n";

    for (const QByteArray& body : {chain, longKeep, firstKeep}) {
        const Printed kept = print(body);
        EXPECT_GE(kept.result.pageCount, 2);
        // Page by page the same text: nothing moved, no blank page.
        EXPECT_EQ(PdfProbe::pageTexts(kept.pdf), PdfProbe::pageTexts(print(withoutMarks(body)).pdf));
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
    EXPECT_EQ(kept.pageOf("SpacedHeading"), 1);
    EXPECT_EQ(kept.pageOf("SpacedBody"), 2);
    EXPECT_EQ(PdfProbe::pageTexts(kept.pdf), PdfProbe::pageTexts(print(withoutMarks(spaced)).pdf));
}

TEST(PageKeeping, ReadsTheMarksAndBreaksOnlyWhereNeeded)
{
    ReadRtf r = readRtf(rtfDocument(fillerParagraphs(25) +
                                    "\\pard\\keepn\\keep\\b\\fs40 Marked\\par\n\\pard Unmarked\\par\n"));
    ASSERT_TRUE(r.result.ok);
    const QTextBlockFormat marked = r.block("Marked").blockFormat();
    EXPECT_TRUE(marked.boolProperty(PageKeeping::KeepWithNext));
    EXPECT_TRUE(marked.boolProperty(PageKeeping::KeepLinesTogether));
    const QTextBlockFormat unmarked = r.block("Unmarked").blockFormat();
    EXPECT_FALSE(unmarked.hasProperty(PageKeeping::KeepWithNext));
    EXPECT_FALSE(unmarked.hasProperty(PageKeeping::KeepLinesTogether));

    // Without pages there is nothing to keep.
    EXPECT_EQ(PageKeeping::apply(*r.doc), 0);

    // On pages: the lines are counted on a 72-dpi device, as when printing.
    QImage device = printerDevice();
    r.doc->documentLayout()->setPaintDevice(&device);
    int breaks = 0;
    for (double height = 300; height <= 420 && breaks == 0; height += 4) {
        r.doc->setPageSize(QSizeF(468, height));
        breaks = PageKeeping::apply(*r.doc);
    }
    ASSERT_EQ(breaks, 1);
    EXPECT_TRUE(r.block("Marked").blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    // Once kept, the document needs nothing more.
    EXPECT_EQ(PageKeeping::apply(*r.doc), 0);
    r.doc->documentLayout()->setPaintDevice(nullptr);
}

} // namespace
