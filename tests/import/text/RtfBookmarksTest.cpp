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

struct Expected {
    QString title;
    int depth;
};

// The sample's headings in document order, with their depth in the outline.
const QList<Expected> kExpected = {
    {QStringLiteral("Chapter One"), 1},         {QStringLiteral("Section 1.1 opens"), 2},
    {QStringLiteral("Über Straßen"), 3},        {QStringLiteral("Section 1.2"), 2},
    {QStringLiteral("Chapter Two"), 1},         {QStringLiteral("Subsection 2.0.1"), 2},
    {QStringLiteral("Глава три"), 1},
};

class RtfBookmarks : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PdfProbe::available() || !test::qpdfAvailable())
            GTEST_SKIP() << "poppler-utils and qpdf are needed";
    }

    QString convert(const QByteArray& rtf)
    {
        const QString source = m_dir.file(QStringLiteral("in.rtf"));
        test::writeFile(source, rtf);
        const QString pdf = m_dir.file(QStringLiteral("out.pdf"));
        const ConversionResult result = TextToPdf::CreateRTFtoPDF(source, pdf);
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_TRUE(result.warnings.isEmpty()) << result.warnings.join(QLatin1Char('\n')).toStdString();
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

// Depth-first: title, depth, page (from 1) and the top of the view from the
// page's top edge.
struct Flat {
    QString title;
    int depth;
    int page;
    double top;
};

void flatten(const QList<QpdfBookmark>& list, int depth, QList<Flat>& out)
{
    for (const QpdfBookmark& b : list) {
        out.append({b.title, depth, b.page, b.top ? 468 - *b.top : -1});
        flatten(b.kids, depth + 1, out);
    }
}

void flatten(const std::vector<pdf::OutlineNode>& list, int depth, QList<Flat>& out)
{
    for (const pdf::OutlineNode& n : list) {
        out.append({n.label.value_or(QString()), depth, n.target ? *n.target + 1 : 0, -1});
        flatten(n.children, depth + 1, out);
    }
}

TEST_F(RtfBookmarks, HeadingsBecomeNestedBookmarksOnTheirPages)
{
    const QString pdf = convert(test::headingSample());
    const QList<PdfWord> words = PdfProbe::words(pdf);

    // qpdf: titles, nesting, pages, and a view that starts at the heading.
    const auto outline = test::qpdfOutline(pdf);
    ASSERT_TRUE(outline);
    QList<Flat> byQpdf;
    flatten(*outline, 1, byQpdf);
    ASSERT_EQ(byQpdf.size(), kExpected.size());
    QSet<int> pages;
    for (qsizetype i = 0; i < kExpected.size(); ++i) {
        SCOPED_TRACE(kExpected[i].title.toStdString());
        EXPECT_EQ(byQpdf[i].title, kExpected[i].title);
        EXPECT_EQ(byQpdf[i].depth, kExpected[i].depth);
        const auto word = locate(words, kExpected[i].title);
        ASSERT_TRUE(word);
        EXPECT_EQ(byQpdf[i].page, word->page);
        // The view's top is the top of the heading's line: at or above its
        // letters, by no more than the line's leading.
        EXPECT_LE(byQpdf[i].top, word->box.top() + 0.5);
        EXPECT_GE(byQpdf[i].top, word->box.top() - 8);
        pages.insert(word->page);
    }
    EXPECT_GE(pages.size(), 4);
    // \pagebb starts Chapter Two at the top of a page.
    EXPECT_GT(byQpdf[4].page, byQpdf[3].page);
    EXPECT_NEAR(byQpdf[4].top, 40, 0.5);

    // The import's reader agrees.
    QList<Flat> byAdapter;
    flatten(pdf::PdfDocument::open(pdf)->outline(), 1, byAdapter);
    ASSERT_EQ(byAdapter.size(), byQpdf.size());
    for (qsizetype i = 0; i < byQpdf.size(); ++i) {
        EXPECT_EQ(byAdapter[i].title, byQpdf[i].title);
        EXPECT_EQ(byAdapter[i].depth, byQpdf[i].depth);
        EXPECT_EQ(byAdapter[i].page, byQpdf[i].page);
    }
}

TEST_F(RtfBookmarks, PagesStayAsQtPrintedThem)
{
    // The bookmarks follow Qt's file as one update; the pages, their text and
    // the file's structure are untouched.
    const QString pdf = convert(test::headingSample());
    const QByteArray bytes = test::readFile(pdf);
    EXPECT_EQ(bytes.count("%%EOF"), 2);
    EXPECT_TRUE(test::qpdfChecks(pdf));
    EXPECT_EQ(PdfProbe::info(pdf, QStringLiteral("Creator")), QStringLiteral("Quire"));
    for (const QSizeF& size : PdfProbe::pageSizes(pdf))
        EXPECT_EQ(size, QSizeF(648, 468));
    // Bookmark titles that cannot be written in PDFDocEncoding are UTF-16.
    EXPECT_TRUE(bytes.toUpper().contains("<FEFF0413043B0430043204300020044204400438>"));
}

TEST_F(RtfBookmarks, DocumentsWithoutHeadingsKeepQtsFile)
{
    for (const QByteArray& rtf : QList<QByteArray>{test::featureSample(), test::cocoaSample(),
                                  "{\\rtf1\\ansi{\\stylesheet{\\s1 heading 1;}}\\pard\\s1 \\par\\pard Body\\par}"}) {
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
    wide.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 450),
                                    QTextLength(QTextLength::FixedLength, 450)});
    cursor.insertTable(1, 2, wide)->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("Wide"));
    cursor.movePosition(QTextCursor::End);
    QTextBlockFormat heading;
    heading.setHeadingLevel(1);
    for (int part = 1; part <= 3; ++part) {
        cursor.insertBlock(heading);
        cursor.insertText(QStringLiteral("Part %1").arg(part));
        for (int line = 0; line < 40; ++line) {
            cursor.insertBlock(QTextBlockFormat());
            cursor.insertText(QStringLiteral("Lorem filler paragraph number %1.").arg(part * 100 + line));
        }
    }
    const QString pdf = m_dir.file(QStringLiteral("wide.pdf"));
    ASSERT_TRUE(TextToPdf::PrinttoPDF(doc, pdf).ok);

    const QList<PdfWord> words = PdfProbe::words(pdf);
    const auto outline = test::qpdfOutline(pdf);
    ASSERT_TRUE(outline);
    ASSERT_EQ(outline->size(), 3);
    QSet<int> pages;
    for (const QpdfBookmark& b : *outline) {
        const auto word = locate(words, b.title);
        ASSERT_TRUE(word) << b.title.toStdString();
        EXPECT_EQ(b.page, word->page);
        ASSERT_TRUE(b.top);
        EXPECT_LE(468 - *b.top, word->box.top() + 0.5);
        EXPECT_GE(468 - *b.top, word->box.top() - 8);
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
        QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\n";
        rtf += test::fillerParagraphs(lines);
        rtf += "\\pard\\plain\\outlinelevel0\\fs72 Tall heading\\par\n";
        rtf += test::fillerParagraphs(3, 100);
        rtf += "}";
        const QString pdf = convert(rtf);
        const auto outline = test::qpdfOutline(pdf);
        ASSERT_TRUE(outline);
        ASSERT_EQ(outline->size(), 1);
        const auto word = locate(PdfProbe::words(pdf), QStringLiteral("Tall heading"));
        ASSERT_TRUE(word);
        EXPECT_EQ(outline->first().page, word->page);
        ASSERT_TRUE(outline->first().top);
        EXPECT_LE(468 - *outline->first().top, word->box.top() + 0.5);
        EXPECT_GE(468 - *outline->first().top, word->box.top() - 12);
        pagesSeen.insert(word->page);
    }
    EXPECT_EQ(pagesSeen, (QSet<int>{1, 2}));
}

TEST(HeadingOutline, TitlesAreOneTrimmedLine)
{
    EXPECT_EQ(HeadingOutline::title(QStringLiteral("  A\tlong \u2028 heading\u00AD s\uFFFCtop ")),
              QStringLiteral("A long heading stop"));
    EXPECT_EQ(HeadingOutline::title(QStringLiteral("\u0007\uFFFC \t")), QString());
    EXPECT_EQ(HeadingOutline::title(QStringLiteral("Ça\u00A0va — 😀")), QStringLiteral("Ça va — 😀"));
    // Very long headings are cut, never inside a surrogate pair.
    const QString longTitle =
        QString(HeadingOutline::kMaxTitleLength - 2, QLatin1Char('x')) + QStringLiteral("😀😀");
    const QString cut = HeadingOutline::title(longTitle);
    EXPECT_EQ(cut.size(), HeadingOutline::kMaxTitleLength - 1);
    EXPECT_TRUE(cut.endsWith(QChar(0x2026)));
    EXPECT_FALSE(cut[cut.size() - 2].isHighSurrogate());
}

TEST(HeadingOutline, NestsByLevel)
{
    const std::vector<PrintedHeading> headings = {
        {2, QStringLiteral("Preface"), 0, 40},  {1, QStringLiteral("One"), 1, 40}, {3, QStringLiteral("Deep"), 1, 90},
        {3, QStringLiteral("Deeper"), 2, 40},   {2, QStringLiteral("Mid"), 2, 60}, {9, QStringLiteral("Nine"), 2, 80},
        {1, QStringLiteral("Two"), 3, 40},
    };
    const std::vector<pdf::OutlineEntry> roots = HeadingOutline::nest(headings);
    ASSERT_EQ(roots.size(), 3u);
    EXPECT_EQ(roots[0].title, QStringLiteral("Preface"));
    EXPECT_TRUE(roots[0].children.empty());
    const pdf::OutlineEntry& one = roots[1];
    EXPECT_EQ(one.target, 1);
    ASSERT_EQ(one.children.size(), 3u);
    EXPECT_EQ(one.children[0].title, QStringLiteral("Deep"));
    EXPECT_FLOAT_EQ(one.children[0].top, 90);
    EXPECT_EQ(one.children[1].title, QStringLiteral("Deeper"));
    EXPECT_EQ(one.children[2].title, QStringLiteral("Mid"));
    ASSERT_EQ(one.children[2].children.size(), 1u);
    EXPECT_EQ(one.children[2].children[0].title, QStringLiteral("Nine"));
    EXPECT_EQ(roots[2].title, QStringLiteral("Two"));
    EXPECT_EQ(roots[2].target, 3);
    EXPECT_TRUE(HeadingOutline::nest({}).empty());
}

TEST(HeadingOutline, FailureKeepsTheFileAndWarns)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("quire.pdf"));
    const QByteArray notPdf = "not a PDF at all";
    test::writeFile(path, notPdf);
    log::Capture capture(log::Level::Warn);
    const auto warning = HeadingOutline::write(path, {{1, QStringLiteral("Title"), 0, 40}});
    ASSERT_TRUE(warning);
    EXPECT_TRUE(warning->contains(QStringLiteral("quire.pdf")));
    EXPECT_TRUE(capture.contains(*warning));
    EXPECT_EQ(test::readFile(path), notPdf);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("quire.pdf")});
}

} // namespace
