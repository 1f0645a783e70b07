// Which paragraphs the RTF reader marks as headings, and at what level.
#include "TextImportSupport.h"
#include "import/text/RtfStyleSheet.h"

#include <QTextTable>

using namespace quire::test;
using namespace quire::textimport;

namespace {

// Style sheet as Word writes it: Normal, three headings under different
// spellings, a character style and a table style with heading-like names,
// and paragraph styles that are not headings.
const QByteArray kStyleSheet =
    "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\f0\\fs24 \\snext0 Normal;}\n"
    "{\\s1\\ql \\keepn\\outlinelevel0\\b\\fs32 \\sbasedon0 \\snext0 \\slink15 \\sqformat heading 1;}\n"
    "{\\s2\\ql \\keepn\\b\\fs28 \\sbasedon0 \\snext0 Heading 2;}\n"
    "{\\s3\\ql {\\*\\keycode \\shift\\ctrl 3}\\b \\sbasedon0 \\snext0 HEADING 3,H3;}\n"
    "{\\*\\cs10 \\additive \\ssemihidden heading 4;}\n{\\*\\ts11\\tsrowd\\trftsWidthB3 \\snext11 heading 5;}\n"
    "{\\s12\\ql \\sbasedon0 \\snext12 Body heading 1;}\n{\\s13\\ql \\sbasedon0 \\snext13 heading 10;}}\n";

ReadRtf readStyled(const QByteArray& body)
{
    return readRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\n" + kStyleSheet + body + "}");
}

// The heading level of the paragraph holding each word, as "word level".
QStringList levels(const ReadRtf& r, const QStringList& words)
{
    QStringList out;
    for (const QString& word : words)
        out << word + ' ' + QString::number(r.block(word).blockFormat().headingLevel());
    return out;
}

TEST(RtfHeadings, OutlineLevelsAndHeadingStyles)
{
    // 9 and more are body text; \pard ends the level, which otherwise carries on.
    const ReadRtf outlined = readBody("\\pard\\outlinelevel0 Alpha\\par\\pard\\outlinelevel1 Bravo\\par"
                                      "\\pard\\outlinelevel8 Charlie\\par\\pard\\outlinelevel9 Delta\\par"
                                      "\\pard\\outlinelevel12 Echo\\par\\pard Foxtrot\\par\\outlinelevel2 Golf\\par"
                                      " Hotel\\par\\pard India\\par");
    EXPECT_EQ(levels(outlined, {"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf", "Hotel", "India"}),
              (QStringList{"Alpha 1", "Bravo 2", "Charlie 9", "Delta 0", "Echo 0", "Foxtrot 0", "Golf 3", "Hotel 3",
                           "India 0"}));

    const ReadRtf styled = readStyled("\\pard\\plain\\s1\\b\\fs32 First\\par\\pard\\plain\\s2 Second\\par"
                                      "\\pard\\plain\\s3 Third\\par\\pard\\plain\\s10 Character\\par"
                                      "\\pard\\plain\\s11 Table\\par\\pard\\plain\\s12 Body\\par"
                                      "\\pard\\plain\\s13 Tenth\\par\\pard\\plain\\s99 Unknown\\par\\pard\\plain Normal\\par"
                                      // An explicit outline level wins over the style.
                                      "\\pard\\s1\\outlinelevel9 Demoted\\par\\pard\\s2\\outlinelevel0 Promoted\\par"
                                      "\\pard\\s12\\outlinelevel2 Outlined\\par");
    EXPECT_EQ(levels(styled, {"First", "Second", "Third", "Character", "Table", "Body", "Tenth", "Unknown", "Normal",
                              "Demoted", "Promoted", "Outlined"}),
              (QStringList{"First 1", "Second 2", "Third 3", "Character 0", "Table 0", "Body 0", "Tenth 0",
                           "Unknown 0", "Normal 0", "Demoted 0", "Promoted 1", "Outlined 3"}));
    // The style sheet's names are not text, and the styles' formatting is
    // not applied: Second has no \b of its own.
    EXPECT_EQ(styled.blockTexts().first(), "First");
    EXPECT_FALSE(styled.text().contains("heading", Qt::CaseInsensitive));
    EXPECT_EQ(describe(styled.format("Second")), "");
}

TEST(RtfHeadings, LastParagraphAndTableCellsKeepTheirLevel)
{
    // The closing \par leaves an empty paragraph that the reader removes.
    const ReadRtf closed = readStyled("\\pard Text\\par\\pard\\s2 Closing\\par\n");
    EXPECT_EQ(levels(closed, {"Text", "Closing"}), (QStringList{"Text 0", "Closing 2"}));
    EXPECT_EQ(closed.blockTexts().size(), 2);
    EXPECT_EQ(levels(readStyled("\\pard Text\\par\\pard\\s3 Unclosed"), {"Unclosed"}), QStringList{"Unclosed 3"});

    const ReadRtf table = readStyled("\\trowd\\cellx2000\\cellx4000\\pard\\intbl\\s1 Cell\\cell"
                                     "\\pard\\intbl Plain\\cell\\row\\pard After\\par\n");
    EXPECT_TRUE(QTextCursor(table.block("Cell")).currentTable());
    EXPECT_EQ(levels(table, {"Cell", "Plain", "After"}), (QStringList{"Cell 1", "Plain 0", "After 0"}));
}

TEST(RtfHeadings, StyleNamesWithEscapesAndRedefinitions)
{
    // A name spelt with escapes; a later entry for the same number replaces
    // the earlier; the group's end also ends a name without ';'; an entry
    // without \s is style 0.
    const ReadRtf r = readRtf("{\\rtf1\\ansi{\\stylesheet{Normal;}{\\s4 h\\'65ading\\~4;}{\\s5 heading 5;}"
                              "{\\s5 Quote;}{\\s6 heading 6}}\n"
                              "\\pard\\s4 Four\\par\\pard\\s5 Five\\par\\pard\\s6 Six\\par\\pard Zero\\par}");
    EXPECT_EQ(levels(r, {"Four", "Five", "Six", "Zero"}), (QStringList{"Four 4", "Five 0", "Six 6", "Zero 0"}));

    const std::pair<const char*, int> names[] = {
        {"heading 1", 1}, {"Heading 9", 9}, {" HEADING  2 ", 2}, {"Berschrift,heading 3", 3}, {"heading 0", 0},
        {"heading 10", 0}, {"heading", 0}, {"heading 1 Char", 0}, {"", 0},
    };
    for (const auto& [name, level] : names)
        EXPECT_EQ(RtfStyleSheet::headingLevelOfName(name), level) << '"' << name << '"';
}

TEST(RtfReading, OnlyTheInformationsTitleIsTheTitleAndLongOnesAreCut)
{
    ReadRtf r = readBody("{\\info{\\title First\\line line}{\\subject Subject}}\\pard Body{\\title Stray} end\\par");
    EXPECT_EQ(r.doc->metaInformation(QTextDocument::DocumentTitle), "First line");
    EXPECT_EQ(r.text(), "Body end");
    r = readBody("{\\info{\\title " + QByteArray(5000, 'x') + "}}Body");
    EXPECT_EQ(r.doc->metaInformation(QTextDocument::DocumentTitle).size(), RtfReader::kMaxTitleLength);
}

} // namespace
