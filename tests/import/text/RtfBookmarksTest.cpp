// Headings of RTF documents become the printed PDF's bookmarks: read back
// with the import's PDF adapter, with qpdf, and against where poppler finds
// the headings' words.
#include "PdfProbe.h"
#include "QpdfOutline.h"
#include "RtfSamples.h"
#include "support/TestEnv.h"
#include "import/PdfDocument.h"
#include "import/text/HeadingOutline.h"
#include "import/text/TextToPdf.h"
#include "util/Log.h"

#include <QDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::textimport;
using quire::test::PdfProbe;
using quire::test::PdfWord;
using quire::test::QpdfBookmark;

namespace {

class RtfBookmarks : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PdfProbe::available() || !test::qpdfAvailable())
            GTEST_SKIP() << "poppler-utils and qpdf are needed";
    }

    QString convert(const QByteArray& rtf)
    {
        const QString source = m_dir.file("in.rtf");
        test::writeFile(source, rtf);
        const QString pdf = m_dir.file("out.pdf");
        const ConversionResult result = TextToPdf::CreateRTFtoPDF(source, pdf);
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_TRUE(result.warnings.isEmpty()) << result.warnings.join('\n').toStdString();
        return pdf;
    }

    test::TempDir m_dir;
};

// Where poppler finds the first word of `title` followed by the rest.
std::optional<PdfWord> locate(const QList<PdfWord>& words, const QString& title)
{
    const QStringList parts = PdfProbe::wordsOf(title);
    for (qsizetype i = 0; i + parts.size() <= words.size(); ++i) {
        bool all = true;
        for (qsizetype k = 0; k < parts.size() && all; ++k)
            all = words[i + k].text == parts[k] && words[i + k].page == words[i].page;
        if (all)
            return words[i];
    }
    return std::nullopt;
}

// The bookmark leads to the page poppler finds its title on, and its view's
// top is the top of the title's line: at or above its letters, by no more
// than the line's leading (`slack`).
void expectAtItsTitle(const QpdfBookmark& bookmark, const QList<PdfWord>& words, double slack = 8)
{
    SCOPED_TRACE(bookmark.title.toStdString());
    const auto word = locate(words, bookmark.title);
    ASSERT_TRUE(word);
    EXPECT_EQ(bookmark.page, word->page);
    ASSERT_TRUE(bookmark.top);
    const double top = 468 - *bookmark.top; // PDF space counts from the bottom
    EXPECT_LE(top, word->box.top() + 0.5);
    EXPECT_GE(top, word->box.top() - slack);
}

// Depth first.
void flatten(const QList<QpdfBookmark>& list, QList<const QpdfBookmark*>& out)
{
    for (const QpdfBookmark& b : list) {
        out << &b;
        flatten(b.kids, out);
    }
}

TEST_F(RtfBookmarks, HeadingsBecomeNestedBookmarksOnTheirPages)
{
    const QString pdf = convert(test::headingSample());
    const QList<PdfWord> words = PdfProbe::words(pdf);
    const auto outline = test::qpdfOutline(pdf);
    ASSERT_TRUE(outline);

    // Titles and nesting, without the pages.
    QStringList titles = test::outlineLines(*outline);
    for (QString& line : titles)
        line = line.section(" @", 0, 0);
    EXPECT_EQ(titles, (QStringList{"Chapter One", "  Section 1.1 opens", "    Über Straßen", "  Section 1.2",
                                   "Chapter Two", "  Subsection 2.0.1", "Глава три"}));
    QList<const QpdfBookmark*> bookmarks;
    flatten(*outline, bookmarks);
    ASSERT_EQ(bookmarks.size(), 7);
    QSet<int> pages;
    for (const QpdfBookmark* b : bookmarks) {
        expectAtItsTitle(*b, words);
        pages.insert(b->page);
    }
    EXPECT_GE(pages.size(), 4);
    // \pagebb starts Chapter Two at the top of a page.
    EXPECT_GT(bookmarks[4]->page, bookmarks[3]->page);
    EXPECT_NEAR(468 - bookmarks[4]->top.value_or(0), 40, 0.5);

    // The import's reader agrees.
    EXPECT_EQ(test::outlineLines(pdf::PdfDocument::open(pdf)->outline()), test::outlineLines(*outline));
    // The bookmarks follow Qt's file as one update, which leaves its pages,
    // structure and information as they were.
    EXPECT_EQ(test::readFile(pdf).count("%%EOF"), 2);
    EXPECT_TRUE(test::qpdfChecks(pdf));
    EXPECT_EQ(PdfProbe::info(pdf, "Creator"), "Quire");
}

TEST_F(RtfBookmarks, DocumentsWithoutHeadingsKeepQtsFile)
{
    // Among them one whose only heading paragraph is empty.
    const QByteArray emptyHeading = "{\\rtf1\\ansi{\\stylesheet{\\s1 heading 1;}}\\pard\\s1 \\par\\pard Body\\par}";
    for (const QByteArray& rtf : {test::featureSample(), emptyHeading}) {
        const QString pdf = convert(rtf);
        const QByteArray bytes = test::readFile(pdf);
        EXPECT_EQ(bytes.count("%%EOF"), 1);
        EXPECT_FALSE(bytes.contains("/Outlines"));
        EXPECT_TRUE(pdf::PdfDocument::open(pdf)->outline().empty());
        const auto outline = test::qpdfOutline(pdf);
        ASSERT_TRUE(outline);
        EXPECT_TRUE(outline->isEmpty());
    }
}

TEST_F(RtfBookmarks, HeadingsShrunkToFitLandOnTheirPages)
{
    // A table 900 points wide shrinks every page's band of the document; the
    // headings' pages and positions follow the scale.
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextTableFormat wide;
    wide.setColumnWidthConstraints(
        {QTextLength(QTextLength::FixedLength, 450), QTextLength(QTextLength::FixedLength, 450)});
    cursor.insertTable(1, 2, wide)->cellAt(0, 0).firstCursorPosition().insertText("Wide");
    cursor.movePosition(QTextCursor::End);
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
    const QString pdf = m_dir.file("wide.pdf");
    ASSERT_TRUE(TextToPdf::PrinttoPDF(doc, pdf).ok);

    const auto outline = test::qpdfOutline(pdf);
    ASSERT_TRUE(outline);
    ASSERT_EQ(outline->size(), 3);
    QSet<int> pages;
    for (const QpdfBookmark& b : *outline) {
        expectAtItsTitle(b, PdfProbe::words(pdf));
        pages.insert(b.page);
    }
    EXPECT_EQ(pages.size(), 3);
}

TEST_F(RtfBookmarks, HeadingAtAPageEndPointsWhereItIsPrinted)
{
    // A tall heading after more and more lines: somewhere it no longer fits
    // at the end of page 1, and the bookmark follows it to page 2.
    QSet<int> pagesSeen;
    for (int lines = 18; lines <= 30; ++lines) {
        SCOPED_TRACE(lines);
        const QString pdf = convert("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\n" +
                                    test::fillerParagraphs(lines) +
                                    "\\pard\\plain\\outlinelevel0\\fs72 Tall heading\\par\n" +
                                    test::fillerParagraphs(3, 100) + "}");
        const auto outline = test::qpdfOutline(pdf);
        ASSERT_TRUE(outline);
        ASSERT_EQ(outline->size(), 1);
        expectAtItsTitle(outline->first(), PdfProbe::words(pdf), 12);
        pagesSeen.insert(outline->first().page);
    }
    EXPECT_EQ(pagesSeen, (QSet<int>{1, 2}));
}

TEST(HeadingOutline, TitlesAreOneTrimmedLine)
{
    EXPECT_EQ(HeadingOutline::title("  A\tlong \u2028 heading\u00AD s\uFFFCtop "), "A long heading stop");
    EXPECT_EQ(HeadingOutline::title("\u0007\uFFFC \t"), QString());
    EXPECT_EQ(HeadingOutline::title("Ça\u00A0va — 😀"), "Ça va — 😀");
    // Very long headings are cut, never inside a surrogate pair.
    const QString cut = HeadingOutline::title(QString(HeadingOutline::kMaxTitleLength - 2, 'x') + "😀😀");
    EXPECT_EQ(cut.size(), HeadingOutline::kMaxTitleLength - 1);
    EXPECT_TRUE(cut.endsWith(QChar(0x2026)));
    EXPECT_FALSE(cut[cut.size() - 2].isHighSurrogate());
}

// "title @target/top", indented two spaces a level.
QStringList entryLines(const std::vector<pdf::OutlineEntry>& entries, const QString& indent = {})
{
    QStringList out;
    for (const pdf::OutlineEntry& e : entries)
        out << indent + e.title + QString(" @%1/%2").arg(e.target).arg(e.top) << entryLines(e.children, indent + "  ");
    return out;
}

TEST(HeadingOutline, NestsByLevel)
{
    const std::vector<PrintedHeading> headings = {
        {2, "Preface", 0, 40}, {1, "One", 1, 40}, {3, "Deep", 1, 90}, {3, "Deeper", 2, 40},
        {2, "Mid", 2, 60},     {9, "Nine", 2, 80}, {1, "Two", 3, 40},
    };
    EXPECT_EQ(entryLines(HeadingOutline::nest(headings)),
              (QStringList{"Preface @0/40", "One @1/40", "  Deep @1/90", "  Deeper @2/40", "  Mid @2/60",
                           "    Nine @2/80", "Two @3/40"}));
    EXPECT_TRUE(HeadingOutline::nest({}).empty());
}

TEST(HeadingOutline, FailureKeepsTheFileAndWarns)
{
    test::TempDir dir;
    const QString path = dir.file("quire.pdf");
    const QByteArray notPdf = "not a PDF at all";
    test::writeFile(path, notPdf);
    log::Capture capture(log::Level::Warn);
    const auto warning = HeadingOutline::write(path, {{1, "Title", 0, 40}});
    ASSERT_TRUE(warning);
    EXPECT_TRUE(warning->contains("quire.pdf"));
    EXPECT_TRUE(capture.contains(*warning));
    EXPECT_EQ(test::readFile(path), notPdf);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"quire.pdf"});
}

} // namespace
