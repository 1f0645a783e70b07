// Headings of RTF documents become the printed PDF's bookmarks: read back
// with the import's PDF adapter, with qpdf, and against where poppler finds
// the headings' words.
#include "QpdfOutline.h"
#include "TextImportSupport.h"
#include "import/text/HeadingOutline.h"
#include "util/Log.h"

#include <QDir>
#include <QTextTable>

using namespace quire;
using namespace quire::test;
using namespace quire::textimport;

namespace {

// Headings of levels 1 to 3 over several pages, made by \outlinelevel and by
// the style sheet's "heading N" styles.
QByteArray headingSample()
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\n"
           "{\\stylesheet{\\s0 Normal;}{\\s1\\b\\fs32 heading 1;}{\\s2\\b\\fs28 Heading 2;}{\\s3\\b\\fs24 heading 3;}}\n"
           "\\pard\\plain\\s1\\b\\fs32 Chapter One\\par\n" + fillerParagraphs(4, 1) +
           "\\pard\\plain\\outlinelevel1\\b\\fs28 Section   1.1\\tab\\tab opens\\par\n" + fillerParagraphs(30, 5) +
           "\\pard\\plain\\s3\\b\\fs24 \\'dcber Stra\\'dfen\\par\n" + fillerParagraphs(8, 35) +
           "\\pard\\plain\\s2\\b\\fs28 Section 1.2\\par\n" + fillerParagraphs(6, 43) +
           "\\pard\\plain\\s1\\b\\fs32\\pagebb Chapter Two\\par\n\\pard\\plain\\outlinelevel2\\b Subsection 2.0.1\\par\n" +
           fillerParagraphs(25, 49) +
           "\\pard\\plain\\s1\\b\\fs32 \\u1043?\\u1083?\\u1072?\\u1074?\\u1072? \\u1090?\\u1088?\\u1080?\\par\n" +
           fillerParagraphs(3, 74) +
           "\\pard\\plain\\s1 \\par\n}"; // an empty heading paragraph makes no bookmark
}

class RtfBookmarks : public PrintingTest {
protected:
    void SetUp() override
    {
        PrintingTest::SetUp();
        if (!qpdfAvailable())
            GTEST_SKIP() << "qpdf is needed";
    }
    // The bookmarks of a printed document, depth first.
    QList<QpdfBookmark> bookmarks(const QString& pdf)
    {
        QList<QpdfBookmark> out;
        const auto outline = qpdfOutline(pdf);
        EXPECT_TRUE(outline);
        std::function<void(const QList<QpdfBookmark>&)> add = [&](const QList<QpdfBookmark>& list) {
            for (const QpdfBookmark& b : list)
                out << b, add(b.kids);
        };
        add(outline.value_or(QList<QpdfBookmark>()));
        return out;
    }
};

// The bookmark leads to the page poppler finds its title on, and its view's
// top is the top of the title's line: at or above its letters, by no more
// than the line's leading.
void expectAtItsTitle(const QpdfBookmark& bookmark, const QList<PdfWord>& words)
{
    SCOPED_TRACE(bookmark.title.toStdString());
    const QStringList parts = PdfProbe::wordsOf(bookmark.title);
    qsizetype at = 0;
    auto matches = [&](qsizetype i) {
        for (qsizetype k = 0; k < parts.size(); ++k)
            if (i + k >= words.size() || words[i + k].text != parts[k] || words[i + k].page != words[i].page)
                return false;
        return true;
    };
    while (at < words.size() && !matches(at))
        ++at;
    ASSERT_LT(at, words.size());
    EXPECT_EQ(bookmark.page, words[at].page);
    ASSERT_TRUE(bookmark.top);
    const double top = 468 - *bookmark.top; // PDF space counts from the bottom
    EXPECT_LE(top, words[at].box.top() + 0.5);
    EXPECT_GE(top, words[at].box.top() - 8);
}

TEST_F(RtfBookmarks, HeadingsBecomeNestedBookmarksOnTheirPages)
{
    const Printed printed = printRtf(headingSample());
    EXPECT_TRUE(printed.result.warnings.isEmpty()) << printed.result.warnings.join('\n').toStdString();
    expectWordsInsideMargins(printed.words, 50); // no line of any size is cut at a page's end
    const auto outline = qpdfOutline(printed.pdf);
    ASSERT_TRUE(outline);
    QStringList titles = outlineLines(*outline);
    for (QString& line : titles)
        line = line.section(" @", 0, 0);
    EXPECT_EQ(titles, (QStringList{"Chapter One", "  Section 1.1 opens", "    Über Straßen", "  Section 1.2",
                                   "Chapter Two", "  Subsection 2.0.1", "Глава три"}));
    const QList<QpdfBookmark> marks = bookmarks(printed.pdf);
    ASSERT_EQ(marks.size(), 7);
    QSet<int> pages;
    for (const QpdfBookmark& b : marks) {
        expectAtItsTitle(b, printed.words);
        pages.insert(b.page);
    }
    EXPECT_GE(pages.size(), 4);
    // \pagebb starts Chapter Two at the top of a page.
    EXPECT_GT(marks[4].page, marks[3].page);
    EXPECT_NEAR(468 - marks[4].top.value_or(0), 40, 0.5);

    // The import's reader agrees.
    EXPECT_EQ(outlineLines(pdf::PdfDocument::open(printed.pdf)->outline()), outlineLines(*outline));
    // The bookmarks follow Qt's file as one update, which leaves its pages,
    // structure and information as they were.
    EXPECT_EQ(readFile(printed.pdf).count("%%EOF"), 2);
    EXPECT_TRUE(qpdfChecks(printed.pdf));
    EXPECT_EQ(PdfProbe::info(printed.pdf, "Creator"), "Quire");
}

TEST_F(RtfBookmarks, DocumentsWithoutHeadingsKeepQtsFile)
{
    // Among them one whose only heading paragraph is empty.
    for (const QByteArray& rtf : {sample("features.rtf"), QByteArray("{\\rtf1\\ansi{\\stylesheet{\\s1 heading 1;}}"
                                                              "\\pard\\s1 \\par\\pard Body\\par}")}) {
        const Printed printed = printRtf(rtf);
        EXPECT_EQ(readFile(printed.pdf).count("%%EOF"), 1);
        EXPECT_TRUE(pdf::PdfDocument::open(printed.pdf)->outline().empty());
        EXPECT_TRUE(bookmarks(printed.pdf).isEmpty());
    }
}

TEST_F(RtfBookmarks, ADocumentWiderThanThePageIsShrunkAndItsHeadingsFollow)
{
    // A caller's table with fixed columns 900 points wide in all shrinks
    // every page's band of the document; the headings' pages and positions
    // follow the scale.
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextTableFormat wide;
    wide.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 450),
                                    QTextLength(QTextLength::FixedLength, 450)});
    QTextTable* table = cursor.insertTable(1, 2, wide);
    table->cellAt(0, 0).firstCursorPosition().insertText("leftcell");
    table->cellAt(0, 1).firstCursorPosition().insertText("rightcell");
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
    const QList<PdfWord> words = PdfProbe::words(pdf);
    expectWordsInsideMargins(words, 0);
    // Shrunk, not cut: the right column starts past the middle of the page.
    auto right = std::find_if(words.begin(), words.end(), [](const PdfWord& w) { return w.text == "rightcell"; });
    ASSERT_NE(right, words.end());
    EXPECT_GT(right->box.left(), 648 / 2);

    const QList<QpdfBookmark> marks = bookmarks(pdf);
    ASSERT_EQ(marks.size(), 3);
    QSet<int> pages;
    for (const QpdfBookmark& b : marks) {
        expectAtItsTitle(b, words);
        pages.insert(b.page);
    }
    EXPECT_EQ(pages.size(), 3);
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
