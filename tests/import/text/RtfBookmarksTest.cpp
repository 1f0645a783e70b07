// Headings of RTF documents become the printed PDF's bookmarks: read back
// with the import's PDF adapter, with qpdf, and against where poppler finds
// the headings' words.
#include "TextImportSupport.h"
#include "import/text/HeadingOutline.h"
#include "util/Log.h"

#include <QDir>
#include <QTextTable>

using namespace quire;
using namespace quire::test;
using namespace quire::textimport;

namespace {

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

TEST(HeadingOutline, TitlesAreOneTrimmedLineNestedByLevel)
{
    EXPECT_EQ(HeadingOutline::title("  A\tlong \u2028 heading\u00AD s\uFFFCtop "), "A long heading stop");
    EXPECT_EQ(HeadingOutline::title("\u0007\uFFFC \t"), QString());
    EXPECT_EQ(HeadingOutline::title("Ça\u00A0va — 😀"), "Ça va — 😀");
    // Very long headings are cut, never inside a surrogate pair.
    const QString cut = HeadingOutline::title(QString(HeadingOutline::kMaxTitleLength - 2, 'x') + "😀😀");
    EXPECT_EQ(cut.size(), HeadingOutline::kMaxTitleLength - 1);
    EXPECT_TRUE(cut.endsWith(QChar(0x2026)));
    EXPECT_FALSE(cut[cut.size() - 2].isHighSurrogate());

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
}

TEST(HeadingOutline, FailureKeepsTheFileAndWarns)
{
    TempDir dir;
    const QString path = dir.file("quire.pdf");
    writeFile(path, "not a PDF at all");
    log::Capture capture(log::Level::Warn);
    const auto warning = HeadingOutline::write(path, {{1, "Title", 0, 40}});
    ASSERT_TRUE(warning);
    EXPECT_TRUE(warning->contains("quire.pdf"));
    EXPECT_TRUE(capture.contains(*warning));
    EXPECT_EQ(readFile(path), "not a PDF at all");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"quire.pdf"});
}

} // namespace
