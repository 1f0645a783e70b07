// RTF laid out and printed: tab stops measured from the margin, paragraphs
// kept together (\keepn, \keep) and breaks after tables, read back from the
// printed PDF. Each keeping sample is also printed without its keep marks,
// to show that it does hit a page end.
#include "TextImportSupport.h"
#include "import/PdfDocument.h"
#include "import/text/PageKeeping.h"

#include <QAbstractTextDocumentLayout>
#include <QTextLayout>
#include <cmath>

using namespace quire;
using namespace quire::test;
using quire::textimport::PageKeeping;

namespace {

// Where `text` starts (line -1), or where that line of its paragraph starts,
// in points from the text area's left edge.
double xOf(const QTextDocument& doc, const QString& text, int line)
{
    const QTextCursor found = doc.find(text);
    const QTextLayout* layout = found.block().layout();
    if (found.isNull() || (line >= 0 && !layout->lineAt(line).isValid()))
        return NAN;
    const int position = line < 0 ? found.selectionStart() - found.block().position() : layout->lineAt(line).textStart();
    return layout->position().x() + layout->lineForTextPosition(position).cursorToX(position);
}

TEST(RtfTabStops, StopsAreMeasuredFromTheMarginAndHangingIndentsLineUp)
{
    const QByteArray lines = "words enough to run over the end of the opening line and wrap onto the next one, "
                             "and a few more words to be sure that they really do\\par";
    // A bullet list as word processors write it: the text after the tab and
    // the wrapped lines start at the left indent (24 points). Then labels
    // before the tabs that are narrower than the gaps they stand in.
    ReadRtf r = readBody("\\pard\\fi-240\\li480\\tx480\\f0\\fs24 \\bullet\\tab explicit " + lines +
                         "\\pard\\fi-240\\li480 \\bullet\\tab implicit " + lines +
                         "\\pard\\tx1440\\tx2880 a\\tab first\\tab second\\par"
                         "\\pard\\li720\\tx1440\\tx2880 b\\tab third\\tab fourth\\par"
                         "\\pard\\li720\\fi720\\tx2880 c\\tab fifth\\par"
                         "\\pard\\fi-720\\li1440\\tx1080 1.\\tab sixth " + lines);
    ASSERT_TRUE(r.result.ok);
    QImage device = printerDevice();
    r.doc->documentLayout()->setPaintDevice(&device);
    r.doc->setDocumentMargin(0);
    r.doc->setTextWidth(textimport::PageSetup::textAreaWidth);
    const std::tuple<const char*, int, double> probes[] = {
        {"\u2022\texplicit", -1, 12}, {"explicit", -1, 24}, {"explicit", 1, 24},
        // Without a stop of its own the hanging indent is the stop.
        {"implicit", -1, 24}, {"implicit", 1, 24},
        {"first", -1, 72}, {"second", -1, 144}, {"b\tthird", -1, 36}, {"third", -1, 72}, {"fourth", -1, 144},
        // A first-line indent of its own does not move the stops either.
        {"c\tfifth", -1, 72}, {"fifth", -1, 144},
        // A stop of the paragraph's before the hanging indent wins over it.
        {"sixth", -1, 54}, {"sixth", 1, 72},
    };
    for (const auto& [text, line, x] : probes)
        EXPECT_NEAR(xOf(*r.doc, text, line), x, 0.5) << text << " line " << line;
    r.doc->documentLayout()->setPaintDevice(nullptr);
}

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

using RtfPages = PrintingTest;

TEST_F(RtfPages, KeptGroupsMoveWholeToTheNextPageAndOnlyWhenParted)
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
        {"heading before a table", "\\pard\\plain\\keepn\\b\\fs32 TableHeading\\par\n" + rows + "\\pard AfterTable\\par\n",
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
            auto pagesOf = [&](const Printed& p) {
                QSet<int> pages;
                for (const QString& word : c.together)
                    pages.insert(p.pageOf(word));
                return pages;
            };
            const QString& first = c.together.front();
            const int page = kept.pageOf(first);
            ASSERT_GE(page, 1);
            EXPECT_EQ(pagesOf(kept), QSet<int>{page});
            EXPECT_EQ(PdfProbe::pageSizes(kept.pdf).size(), kept.result.pageCount);
            if (pagesOf(plain).size() > 1) {
                ++parted;
                // Moved whole: the group opens the next page.
                EXPECT_EQ(page, plain.pageOf(first) + 1);
                EXPECT_TRUE(kept.pageText(page).trimmed().startsWith(first));
            } else {
                EXPECT_EQ(page, plain.pageOf(first)); // nothing to move
            }
            if (c.bookmarked) { // the bookmark leads to the page the heading is printed on
                const auto outline = pdf::PdfDocument::open(kept.pdf)->outline();
                ASSERT_EQ(outline.size(), 1u);
                EXPECT_EQ(outline.front().target.value_or(-1) + 1, page);
            }
        }
        EXPECT_GE(parted, c.minParted) << c.name;
    }
}

TEST_F(RtfPages, GroupsThatCannotMoveStayAsTheyAre)
{
    // Forty paragraphs that each keep with the next: more than a page.
    QByteArray chain = "\\pard Opening paragraph.\\par\n";
    for (int i = 1; i <= 40; ++i)
        chain += "\\pard\\keepn ChainLine" + QByteArray::number(i) + " of a long chain.\\par\n";
    chain += "\\pard ClosingBody\\par\n";
    // A paragraph to keep whole that is longer than a page, after another
    // paragraph, and one that opens the document; 370 points of space after
    // a heading, so that moving it would still leave its text on the page after.
    const QByteArray samples[] = {
        chain, "\\pard Opening paragraph.\\par\n\\pard\\keep " + numberedWords("lw", 700) + "\\par\n",
        "\\pard\\keep " + numberedWords("fw", 700) + "\\par\n\\pard Tail\\par\n",
        "\\pard Opening\\par\n\\pard\\keepn\\sa7400 SpacedHeading\\par\n\\pard SpacedBody\\par\n"};
    for (const QByteArray& body : samples) {
        const Printed kept = print(body);
        EXPECT_GE(kept.result.pageCount, 2);
        // Page by page the same text: nothing moved, no blank page.
        EXPECT_EQ(PdfProbe::pageTexts(kept.pdf), PdfProbe::pageTexts(print(withoutMarks(body)).pdf));
    }
    // The heading cannot join text that a \page sends to the next page.
    const Printed broken = print("\\pard Opening\\par\n\\pard\\keepn HeadingBeforeBreak\\par\n\\page\n"
                                 "\\pard BodyAfterBreak\\par\n");
    EXPECT_EQ(broken.result.pageCount, 2);
    EXPECT_EQ(broken.pageOf("HeadingBeforeBreak"), 1);
    EXPECT_EQ(broken.pageOf("BodyAfterBreak"), 2);
}

TEST(PageKeeping, ReadsTheMarksAndBreaksOnlyWhereNeeded)
{
    ReadRtf r = readBody(fillerParagraphs(25) + "\\pard\\keepn\\keep\\b\\fs40 Marked\\par\n\\pard Unmarked\\par\n");
    const QTextBlockFormat marked = r.block("Marked").blockFormat();
    EXPECT_TRUE(marked.boolProperty(PageKeeping::KeepWithNext));
    EXPECT_TRUE(marked.boolProperty(PageKeeping::KeepLinesTogether));
    const QTextBlockFormat unmarked = r.block("Unmarked").blockFormat();
    EXPECT_FALSE(unmarked.hasProperty(PageKeeping::KeepWithNext) || unmarked.hasProperty(PageKeeping::KeepLinesTogether));
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
    EXPECT_EQ(describe(r.block("Marked").blockFormat()), "brk");
    // Once kept, the document needs nothing more.
    EXPECT_EQ(PageKeeping::apply(*r.doc), 0);
    r.doc->documentLayout()->setPaintDevice(nullptr);
}

TEST_F(RtfPages, APageAfterATableRowStartsTheNextPageButNotInsideOrAtTheEnd)
{
    const QByteArray row = "\\trowd\\trgaph108\\cellx3000\\cellx6000\\pard\\intbl RowLeft\\cell RowRight\\cell\\row\n";
    const Printed paragraph = print("\\pard Before\\par\n" + row + row + "\\page\n\\pard AfterBreak text\\par\n");
    ASSERT_EQ(paragraph.result.pageCount, 2);
    EXPECT_EQ(paragraph.pageOf("RowLeft"), 1);
    EXPECT_EQ(paragraph.pageText(2).trimmed(), "AfterBreak text");

    const Printed table =
        print(row + "\\page\n\\trowd\\trgaph108\\cellx4000\\pard\\intbl SecondTable\\cell\\row\n\\pard Tail\\par\n");
    ASSERT_EQ(table.result.pageCount, 2);
    EXPECT_EQ(table.pageOf("RowLeft"), 1);
    EXPECT_EQ(table.pageOf("SecondTable"), 2);
    EXPECT_EQ(table.pageOf("Tail"), 2);

    // Inside a row a break has no place; after the document's last row it
    // would only add a blank page.
    const Printed inside = print("\\trowd\\cellx3000\\cellx6000\\pard\\intbl CellOne\\cell\\page CellTwo\\cell\\row\n"
                                 "\\pard After\\par\n");
    EXPECT_EQ(inside.result.pageCount, 1);
    EXPECT_EQ(inside.pageOf("After"), 1);
    const Printed last = print("\\pard Before\\par\n" + row + "\\page\n");
    EXPECT_EQ(last.result.pageCount, 1);
    EXPECT_EQ(PdfProbe::pageSizes(last.pdf).size(), 1);
}

} // namespace
