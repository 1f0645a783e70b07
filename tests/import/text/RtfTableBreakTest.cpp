// A \page right after a table's \row ends the table there: what follows,
// a paragraph or another table, starts the next page.
#include "PrintedRtf.h"
#include "RtfTestSupport.h"

#include <QTextTable>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

namespace {

const QByteArray kRow = "\\trowd\\trgaph108\\cellx3000\\cellx6000\\pard\\intbl RowLeft\\cell RowRight\\cell\\row\n";

using RtfTableBreak = PrintingTest;

TEST_F(RtfTableBreak, ParagraphOrTableAfterTheRowStartsTheNextPage)
{
    const Printed paragraph = print("\\pard Before\\par\n" + kRow + kRow + "\\page\n\\pard AfterBreak text\\par\n");
    ASSERT_EQ(paragraph.result.pageCount, 2);
    EXPECT_EQ(paragraph.pageOf("RowLeft"), 1);
    EXPECT_EQ(paragraph.pageText(2).trimmed(), "AfterBreak text");
    EXPECT_FALSE(paragraph.pageText(1).contains("AfterBreak"));

    const Printed table =
        print(kRow + "\\page\n\\trowd\\trgaph108\\cellx4000\\pard\\intbl SecondTable\\cell\\row\n\\pard Tail\\par\n");
    ASSERT_EQ(table.result.pageCount, 2);
    EXPECT_EQ(table.pageOf("RowLeft"), 1);
    EXPECT_EQ(table.pageOf("SecondTable"), 2);
    EXPECT_EQ(table.pageOf("Tail"), 2);
}

TEST_F(RtfTableBreak, NoBreakInsideARowOrAfterTheLastOne)
{
    // Inside a row a break has no place; after the document's last row it
    // would only add a blank page.
    const Printed inside = print("\\trowd\\cellx3000\\cellx6000\\pard\\intbl CellOne\\cell\\page CellTwo\\cell\\row\n"
                                 "\\pard After\\par\n");
    EXPECT_EQ(inside.result.pageCount, 1);
    EXPECT_EQ(inside.pageOf("CellTwo"), 1);
    EXPECT_EQ(inside.pageOf("After"), 1);

    const Printed last = print("\\pard Before\\par\n" + kRow + "\\page\n");
    EXPECT_EQ(last.result.pageCount, 1);
    EXPECT_EQ(PdfProbe::pageSizes(last.pdf).size(), 1);
}

TEST(RtfTableBreakReading, TheBreakBelongsToTheParagraphAfterTheTable)
{
    const ReadRtf r = readBody(kRow + "\\page\n\\pard AfterBreak\\par\n");
    ASSERT_TRUE(r.result.ok);
    const QTextBlock after = r.block("AfterBreak");
    EXPECT_EQ(QTextCursor(after).currentTable(), nullptr);
    EXPECT_TRUE(after.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    // Qt keeps an empty paragraph before a table; the break adds none.
    EXPECT_EQ(r.blockTexts(), (QStringList{"", "RowLeft", "RowRight", "AfterBreak"}));
}

} // namespace
