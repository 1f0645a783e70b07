// Which paragraphs the RTF reader marks as headings, and at what level; the
// headings become the printed PDF's bookmarks: read back with the import's
// PDF adapter, with qpdf, and against where poppler finds the headings' words.
#include "TextImportSupport.h"
#include "import/text/HeadingOutline.h"
#include "import/text/RtfStyleSheet.h"
#include "util/Log.h"


using namespace quire;
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

QList<QpdfBookmark> depthFirst(const QList<QpdfBookmark>& list)
{
    QList<QpdfBookmark> out;
    for (const QpdfBookmark& b : list)
        out << b << depthFirst(b.kids);
    return out;
}

// Each bookmark leads to the page poppler finds its title on, and its view's
// top is the top of the title's line: at or above its letters, by no more
// than the line's leading. Gives the pages they lead to.
QSet<int> expectAtTheirTitles(const QList<QpdfBookmark>& marks, const QList<PdfWord>& words)
{
    QSet<int> pages;
    for (const QpdfBookmark& bookmark : marks) {
        SCOPED_TRACE(bookmark.title.toStdString());
        const QStringList parts = PdfProbe::wordsOf(bookmark.title);
        auto matches = [&](qsizetype i) {
            for (qsizetype k = 0; k < parts.size(); ++k)
                if (i + k >= words.size() || words[i + k].text != parts[k] || words[i + k].page != words[i].page)
                    return false;
            return true;
        };
        qsizetype at = 0;
        while (at < words.size() && !matches(at))
            ++at;
        if (at == words.size() || !bookmark.top) {
            ADD_FAILURE() << "not found, or without a top";
            continue;
        }
        EXPECT_EQ(bookmark.page, words[at].page);
        const double top = 468 - *bookmark.top; // PDF space counts from the bottom
        EXPECT_LE(top, words[at].box.top() + 0.5);
        EXPECT_GE(top, words[at].box.top() - 8);
        pages.insert(bookmark.page);
    }
    return pages;
}

TEST(RtfHeadings, OutlineLevelsAndHeadingStylesAlsoInTheLastParagraphAndTableCells)
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
                                      "\\pard\\plain\\s13 Tenth\\par\\pard\\plain\\s99 Unknown\\par"
                                      "\\pard\\plain Normal\\par"
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

    // The last paragraph and table cells keep their level. The closing \par leaves an empty paragraph that the reader removes.
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
    // One line of plain text; white space alone is no title.
    for (const auto& [info, title] : {std::pair{"{\\title Annual  {\\i report}\\tab \\'e9t\\'e9 \\u8364? 2024}",
                                                "Annual report été € 2024"}, {"{\\title  \\tab }", ""}})
        EXPECT_EQ(readBody("{\\info" + QByteArray(info) + "}Body").doc->metaInformation(QTextDocument::DocumentTitle), title);
    r = readBody("{\\info{\\title " + QByteArray(5000, 'x') + "}}Body");
    EXPECT_EQ(r.doc->metaInformation(QTextDocument::DocumentTitle).size(), RtfReader::kMaxTitleLength);
}

using RtfBookmarks = PrintingTest;

// samples/headings.rtf: headings of levels 1 to 3 over several pages, made
// by \outlinelevel and by the style sheet's "heading N" styles, and an
// empty heading paragraph, which makes no bookmark.
TEST_F(RtfBookmarks, HeadingsBecomeNestedBookmarksOnTheirPages)
{
    const Printed printed = printRtf(sample("headings.rtf"));
    EXPECT_TRUE(printed.result.warnings.isEmpty()) << printed.result.warnings.join('\n').toStdString();
    expectWordsInsideMargins(printed.words, 50); // no line of any size is cut at a page's end
    const auto outline = PdfProbe::bookmarks(printed.pdf);
    ASSERT_TRUE(outline);
    QStringList titles = outlineLines(*outline);
    for (QString& line : titles)
        line = line.section(" @", 0, 0);
    EXPECT_EQ(titles, (QStringList{"Chapter One", "  Section 1.1 opens", "    Über Straßen", "  Section 1.2",
                                   "Chapter Two", "  Subsection 2.0.1", "Глава три"}));
    const QList<QpdfBookmark> marks = depthFirst(*outline);
    EXPECT_GE(expectAtTheirTitles(marks, printed.words).size(), 4);
    // \pagebb starts Chapter Two at the top of a page.
    EXPECT_GT(marks[4].page, marks[3].page);
    EXPECT_NEAR(468 - marks[4].top.value_or(0), 40, 0.5);

    // The import's reader agrees. The bookmarks follow Qt's file as one
    // update, which leaves its pages, structure and information as they were.
    EXPECT_EQ(outlineLines(pdf::PdfDocument::open(printed.pdf)->outline()), outlineLines(*outline));
    EXPECT_EQ(readFile(printed.pdf).count("%%EOF"), 2);
    EXPECT_TRUE(PdfProbe::checks(printed.pdf));
    EXPECT_EQ(PdfProbe::info(printed.pdf, "Creator"), "Quire");
}

// A caller's document wider than the page (a line that may not break, some
// 900 points long) is shrunk, not cut, and its headings' places follow the scale.
TEST_F(RtfBookmarks, ADocumentWiderThanThePageIsShrunkAndItsHeadingsFollow)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextBlockFormat unbroken;
    unbroken.setNonBreakableLines(true);
    cursor.setBlockFormat(unbroken);
    cursor.insertText(QString("wide ").repeated(36) + "rightcell");
    QTextBlockFormat heading;
    heading.setHeadingLevel(1);
    for (int part = 1; part <= 3; ++part) {
        cursor.insertBlock(heading);
        cursor.insertText(QString("Part %1").arg(part));
        for (int line = 0; line < 40; ++line) {
            cursor.insertBlock(QTextBlockFormat());
            cursor.insertText(QString("Lorem filler paragraph number %1.").arg(part * 100 + line));
        }
    }
    ASSERT_TRUE(TextToPdf::PrinttoPDF(doc, m_dir.file("wide.pdf")).ok);
    const QList<PdfWord> words = PdfProbe::words(m_dir.file("wide.pdf"));
    expectWordsInsideMargins(words, 0);
    auto right = std::find_if(words.begin(), words.end(), [](const PdfWord& w) { return w.text == "rightcell"; });
    ASSERT_NE(right, words.end());
    EXPECT_GT(right->box.left(), 648 / 2);
    const QList<QpdfBookmark> marks = PdfProbe::bookmarks(m_dir.file("wide.pdf")).value_or(QList<QpdfBookmark>());
    ASSERT_EQ(marks.size(), 3);
    EXPECT_EQ(expectAtTheirTitles(marks, words).size(), 2); // half the size: twice the lines on a page
}

TEST(HeadingOutline, TitlesAreOneTrimmedLineNestedByLevelAndAFailedWriteWarns)
{
    EXPECT_EQ(HeadingOutline::title("  A\tlong \u2028 heading\u00AD s\uFFFCtop "), "A long heading stop");
    EXPECT_EQ(HeadingOutline::title("\u0007\uFFFC \t"), QString());
    EXPECT_EQ(HeadingOutline::title("Ça\u00A0va — 😀"), "Ça va — 😀");
    // Very long headings are cut, never inside a surrogate pair.
    const QString cut = HeadingOutline::title(QString(HeadingOutline::kMaxTitleLength - 2, 'x') + "😀😀");
    EXPECT_EQ(cut.size(), HeadingOutline::kMaxTitleLength - 1);
    EXPECT_TRUE(cut.endsWith(QChar(0x2026)) && !cut[cut.size() - 2].isHighSurrogate());

    // "title @target/top", indented two spaces a level.
    std::function<QStringList(const std::vector<pdf::OutlineEntry>&, const QString&)> lines =
        [&](const std::vector<pdf::OutlineEntry>& entries, const QString& indent) {
            QStringList out;
            for (const pdf::OutlineEntry& e : entries)
                out << indent + e.title + QString(" @%1/%2").arg(e.target).arg(e.top) << lines(e.children, indent + "  ");
            return out;
        };
    EXPECT_EQ(lines(HeadingOutline::nest({{2, "Preface", 0, 40}, {1, "One", 1, 40}, {3, "Deep", 1, 90},
                                          {3, "Deeper", 2, 40}, {2, "Mid", 2, 60}, {9, "Nine", 2, 80},
                                          {1, "Two", 3, 40}}), ""),
              (QStringList{"Preface @0/40", "One @1/40", "  Deep @1/90", "  Deeper @2/40", "  Mid @2/60",
                           "    Nine @2/80", "Two @3/40"}));
    EXPECT_TRUE(HeadingOutline::nest({}).empty());

    // A file the bookmarks cannot be written into gives a warning, logged
    // (the file left as it was: WriteOutline's failures).
    TempDir dir;
    writeFile(dir.file("quire.pdf"), "not a PDF at all");
    log::Capture capture(log::Level::Warn);
    const auto warning = HeadingOutline::write(dir.file("quire.pdf"), {{1, "Title", 0, 40}});
    ASSERT_TRUE(warning);
    EXPECT_TRUE(warning->contains("quire.pdf") && capture.contains(*warning));
}

} // namespace
