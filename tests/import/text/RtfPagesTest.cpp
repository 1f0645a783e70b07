// RTF printed on pages: paragraphs kept together (\keepn, \keep) and breaks
// after tables, read back from the printed PDF. Each keeping sample is also
// printed without its keep marks, to show that it does hit a page end.
#include "TextImportSupport.h"
#include "import/PdfDocument.h"

using namespace quire;
using namespace quire::test;

namespace {

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
    EXPECT_EQ(std::tuple(broken.result.pageCount, broken.pageOf("HeadingBeforeBreak"), broken.pageOf("BodyAfterBreak")),
              std::tuple(2, 1, 2));
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
    EXPECT_EQ(std::tuple(table.result.pageCount, table.pageOf("RowLeft"), table.pageOf("SecondTable"), table.pageOf("Tail")),
              std::tuple(2, 1, 2, 2));

    // Inside a row a break has no place; after the document's last row it
    // would only add a blank page.
    const Printed inside = print("\\trowd\\cellx3000\\cellx6000\\pard\\intbl CellOne\\cell\\page CellTwo\\cell\\row\n"
                                 "\\pard After\\par\n");
    EXPECT_EQ(std::pair(inside.result.pageCount, inside.pageOf("After")), std::pair(1, 1));
    const Printed last = print("\\pard Before\\par\n" + row + "\\page\n");
    EXPECT_EQ(last.result.pageCount, 1);
    EXPECT_EQ(PdfProbe::pageSizes(last.pdf).size(), 1);
}

} // namespace
