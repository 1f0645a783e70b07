// Which paragraphs the RTF reader marks as headings, and at what level.
#include "RtfTestSupport.h"
#include "import/text/RtfStyleSheet.h"

#include <QTextTable>
#include <gtest/gtest.h>

using namespace quire::test;
using namespace quire::textimport;

namespace {

// Style sheet as Word writes it: Normal, three headings under different
// spellings, a character style and a table style with heading-like names,
// and a paragraph style that is not a heading.
const QByteArray kStyleSheet =
    "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\f0\\fs24 \\snext0 Normal;}\n"
    "{\\s1\\ql \\keepn\\outlinelevel0\\b\\fs32 \\sbasedon0 \\snext0 \\slink15 \\sqformat heading 1;}\n"
    "{\\s2\\ql \\keepn\\b\\fs28 \\sbasedon0 \\snext0 Heading 2;}\n"
    "{\\s3\\ql {\\*\\keycode \\shift\\ctrl 3}\\b \\sbasedon0 \\snext0 HEADING 3,H3;}\n"
    "{\\*\\cs10 \\additive \\ssemihidden heading 4;}\n"
    "{\\*\\ts11\\tsrowd\\trftsWidthB3 \\snext11 heading 5;}\n"
    "{\\s12\\ql \\sbasedon0 \\snext12 Body heading 1;}\n"
    "{\\s13\\ql \\sbasedon0 \\snext13 heading 10;}}\n";

ReadRtf readStyled(const QByteArray& body)
{
    return readRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\n" + kStyleSheet + body + "}");
}

int level(const ReadRtf& r, const char* word)
{
    return r.block(QString::fromLatin1(word)).blockFormat().headingLevel();
}

TEST(RtfHeadings, OutlineLevelsGiveLevelsOneToNine)
{
    const ReadRtf r = readBody("\\pard\\outlinelevel0 Alpha\\par\n"
                               "\\pard\\outlinelevel1 Bravo\\par\n"
                               "\\pard\\outlinelevel8 Charlie\\par\n"
                               "\\pard\\outlinelevel9 Delta\\par\n"
                               "\\pard\\outlinelevel12 Echo\\par\n"
                               "\\pard Foxtrot\\par\n"
                               "\\outlinelevel2 Golf\\par\n"
                               "Hotel\\par\n"
                               "\\pard India\\par\n");
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(level(r, "Alpha"), 1);
    EXPECT_EQ(level(r, "Bravo"), 2);
    EXPECT_EQ(level(r, "Charlie"), 9);
    EXPECT_EQ(level(r, "Delta"), 0); // 9 is body text
    EXPECT_EQ(level(r, "Echo"), 0);
    EXPECT_EQ(level(r, "Foxtrot"), 0); // \pard ends the outline level
    EXPECT_EQ(level(r, "Golf"), 3);
    EXPECT_EQ(level(r, "Hotel"), 3); // paragraph properties carry on until \pard
    EXPECT_EQ(level(r, "India"), 0);
}

TEST(RtfHeadings, HeadingStylesByNameOnly)
{
    const ReadRtf r = readStyled("\\pard\\plain\\s1\\b\\fs32 First\\par\n"
                                 "\\pard\\plain\\s2 Second\\par\n"
                                 "\\pard\\plain\\s3 Third\\par\n"
                                 "\\pard\\plain\\s10 Character\\par\n"
                                 "\\pard\\plain\\s11 Table\\par\n"
                                 "\\pard\\plain\\s12 Body\\par\n"
                                 "\\pard\\plain\\s13 Tenth\\par\n"
                                 "\\pard\\plain\\s99 Unknown\\par\n"
                                 "\\pard\\plain Normal\\par\n");
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(level(r, "First"), 1);
    EXPECT_EQ(level(r, "Second"), 2);
    EXPECT_EQ(level(r, "Third"), 3);
    EXPECT_EQ(level(r, "Character"), 0);
    EXPECT_EQ(level(r, "Table"), 0);
    EXPECT_EQ(level(r, "Body"), 0);
    EXPECT_EQ(level(r, "Tenth"), 0);
    EXPECT_EQ(level(r, "Unknown"), 0);
    EXPECT_EQ(level(r, "Normal"), 0);
    // The style sheet's names are not text, and the styles' formatting is
    // not applied: Second has no \b of its own.
    EXPECT_EQ(r.blockTexts().first(), QStringLiteral("First"));
    EXPECT_FALSE(r.text().contains(QStringLiteral("heading"), Qt::CaseInsensitive));
    EXPECT_NE(r.format("Second").fontWeight(), QFont::Bold);
}

TEST(RtfHeadings, ExplicitOutlineLevelWinsOverTheStyle)
{
    const ReadRtf r = readStyled("\\pard\\s1\\outlinelevel9 Demoted\\par\n"
                                 "\\pard\\s2\\outlinelevel0 Promoted\\par\n"
                                 "\\pard\\s12\\outlinelevel2 Outlined\\par\n");
    EXPECT_EQ(level(r, "Demoted"), 0);
    EXPECT_EQ(level(r, "Promoted"), 1);
    EXPECT_EQ(level(r, "Outlined"), 3);
}

TEST(RtfHeadings, LastParagraphAndTableCellsKeepTheirLevel)
{
    // The closing \par leaves an empty paragraph that the reader removes.
    const ReadRtf closed = readStyled("\\pard Text\\par\\pard\\s2 Closing\\par\n");
    EXPECT_EQ(level(closed, "Closing"), 2);
    EXPECT_EQ(level(closed, "Text"), 0);
    EXPECT_EQ(closed.blockTexts().size(), 2);

    const ReadRtf open = readStyled("\\pard Text\\par\\pard\\s3 Unclosed");
    EXPECT_EQ(level(open, "Unclosed"), 3);

    const ReadRtf table = readStyled("\\trowd\\cellx2000\\cellx4000\\pard\\intbl\\s1 Cell\\cell"
                                     "\\pard\\intbl Plain\\cell\\row\\pard After\\par\n");
    EXPECT_TRUE(QTextCursor(table.block("Cell")).currentTable());
    EXPECT_EQ(level(table, "Cell"), 1);
    EXPECT_EQ(level(table, "Plain"), 0);
    EXPECT_EQ(level(table, "After"), 0);
}

TEST(RtfHeadings, StyleNamesWithEscapesAndRedefinitions)
{
    // A name spelt with escapes; a later entry for the same number replaces
    // the earlier; an entry without \s is style 0.
    const ReadRtf r = readRtf("{\\rtf1\\ansi{\\stylesheet{Normal;}{\\s4 h\\'65ading\\~4;}{\\s5 heading 5;}"
                              "{\\s5 Quote;}{\\s6 heading 6}}\n"
                              "\\pard\\s4 Four\\par\\pard\\s5 Five\\par\\pard\\s6 Six\\par\\pard Zero\\par}");
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(level(r, "Four"), 4);
    EXPECT_EQ(level(r, "Five"), 0);
    EXPECT_EQ(level(r, "Six"), 6); // the group's end also ends a name without ';'
    EXPECT_EQ(level(r, "Zero"), 0);
}

TEST(RtfHeadings, NamesOfHeadingStyles)
{
    EXPECT_EQ(RtfStyleSheet::headingLevelOfName(QStringLiteral("heading 1")), 1);
    EXPECT_EQ(RtfStyleSheet::headingLevelOfName(QStringLiteral("Heading 9")), 9);
    EXPECT_EQ(RtfStyleSheet::headingLevelOfName(QStringLiteral(" HEADING  2 ")), 2);
    EXPECT_EQ(RtfStyleSheet::headingLevelOfName(QStringLiteral("Berschrift,heading 3")), 3);
    EXPECT_EQ(RtfStyleSheet::headingLevelOfName(QStringLiteral("heading 0")), 0);
    EXPECT_EQ(RtfStyleSheet::headingLevelOfName(QStringLiteral("heading 10")), 0);
    EXPECT_EQ(RtfStyleSheet::headingLevelOfName(QStringLiteral("heading")), 0);
    EXPECT_EQ(RtfStyleSheet::headingLevelOfName(QStringLiteral("heading 1 Char")), 0);
    EXPECT_EQ(RtfStyleSheet::headingLevelOfName(QString()), 0);
}

} // namespace
