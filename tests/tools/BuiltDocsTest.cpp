// The manual and the demonstration book's pages as the build leaves them in
// the resource folder, read with other tools than those that made them.
#include "import/PdfDocument.h"
#include "import/text/PdfProbe.h"
#include "support/TestEnv.h"
#include "util/Resources.h"

#include <QDir>
#include <QImageReader>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

using namespace quire;
using namespace quire::test;

namespace {

QString manualPath()
{
    return resourcePath("Quire for Mac Help/Quire for Mac Manual.pdf");
}

QString words(const QString& text)
{
    return PdfProbe::wordsOf(text).join(' ');
}

// The manual's lines, page by page, each as its words from left to right:
// words whose middles lie within a few points of each other share a line.
QList<QStringList> manualLines()
{
    QList<PdfWord> all = PdfProbe::words(manualPath());
    std::stable_sort(all.begin(), all.end(), [](const PdfWord& a, const PdfWord& b) {
        return a.page != b.page ? a.page < b.page : a.box.center().y() < b.box.center().y();
    });
    QList<QStringList> pages;
    QList<PdfWord> line;
    auto endLine = [&] {
        std::sort(line.begin(), line.end(), [](const PdfWord& a, const PdfWord& b) { return a.box.left() < b.box.left(); });
        QStringList texts;
        for (const PdfWord& w : line)
            texts << w.text;
        if (!line.isEmpty())
            pages.last() << texts.join(' ');
        line.clear();
    };
    for (const PdfWord& w : all) {
        if (!line.isEmpty() && (w.page != line.first().page || w.box.center().y() - line.first().box.center().y() > 3))
            endLine();
        while (pages.size() < w.page)
            pages << QStringList();
        line << w;
    }
    endLine();
    return pages;
}

TEST(BuiltManual, ChaptersAndSectionsAreBookmarksThatStandOnTheirPages)
{
    ASSERT_TRUE(PdfProbe::available());
    const auto doc = pdf::PdfDocument::open(manualPath());
    ASSERT_GE(doc->pageCount(), 20);
    for (int i = 0; i < doc->pageCount(); ++i)
        EXPECT_EQ(QSizeF(doc->displayedBounds(i).width, doc->displayedBounds(i).height), QSizeF(648, 468)) << i;
    const QStringList pages = PdfProbe::pageTexts(manualPath());
    ASSERT_EQ(pages.size(), doc->pageCount());

    int previous = 1, sections = 0;
    std::map<QString, int> chapterPage; // "1" ... "A" -> page
    for (const pdf::OutlineNode& chapter : doc->outline()) {
        chapterPage[chapter.label.value_or("").simplified().section(' ', 0, 0)] = chapter.target.value_or(-1) + 1;
        sections += int(chapter.children.size());
        std::vector<pdf::OutlineNode> marks = {chapter};
        for (size_t i = 0; i < marks.size(); ++i) { // depth first
            const std::vector<pdf::OutlineNode> kids = marks[i].children;
            marks.insert(marks.begin() + qsizetype(i) + 1, kids.begin(), kids.end());
        }
        for (const pdf::OutlineNode& mark : marks) {
            SCOPED_TRACE(mark.label.value_or("").toStdString());
            const int page = mark.target.value_or(-1) + 1;
            EXPECT_FALSE(mark.label.value_or("").trimmed().isEmpty());
            EXPECT_GE(page, previous) << "bookmarks follow the pages";
            ASSERT_LE(page, pages.size());
            // Each bookmark's title stands on the page it leads to.
            EXPECT_TRUE(words(pages[page - 1]).contains(words(*mark.label)));
            previous = page;
        }
    }
    EXPECT_GE(chapterPage.size(), 8u);
    EXPECT_GE(sections, 25);

    // The contents page lists "N Title ... P" with each chapter's page.
    const QList<QStringList> lines = manualLines();
    static const QRegularExpression entry(R"(^(\d+|[A-Z]) .+ (\d+)$)");
    int checked = 0;
    for (const QString& line : lines.value(1)) {
        const auto m = entry.match(line);
        if (!m.hasMatch() || !chapterPage.count(m.captured(1)))
            continue;
        EXPECT_EQ(m.captured(2).toInt(), chapterPage[m.captured(1)]) << line.toStdString();
        ++checked;
    }
    EXPECT_EQ(checked, int(chapterPage.size()));

    // The five quality levels with their JPEG qualities, as rows of a table.
    const QStringList flat = [&] { QStringList l; for (const QStringList& p : lines) l << p; return l; }();
    for (const char* row : {"0 100 ", "1 85 ", "2 65 ", "3 45 ", "4 25 "})
        EXPECT_TRUE(std::any_of(flat.begin(), flat.end(), [&](const QString& l) { return l.startsWith(row); })) << row;
}

TEST(BuiltDemoImgs, AreSameSizedJpegPagesNamedInPageOrder)
{
    const QDir folder(resourcePath("DemoImgs"));
    const QStringList jpgs = folder.entryList({"*.jpg"}, QDir::Files, QDir::Name);
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot), jpgs) << "nothing but the pages";
    ASSERT_GE(jpgs.size(), 6);
    ASSERT_LE(jpgs.size(), 12);
    for (int i = 0; i < jpgs.size(); ++i) {
        SCOPED_TRACE(jpgs[i].toStdString());
        EXPECT_EQ(jpgs[i], QString("%1.jpg").arg(i + 1, 2, 10, QLatin1Char('0')));
        QImageReader reader(folder.filePath(jpgs[i]));
        EXPECT_EQ(reader.format(), "jpeg");
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), QSize(1296, 936)); // 648 x 468-point pages at 144 dpi
        // A page with something on it, not a blank picture.
        const QImage small = image.convertToFormat(QImage::Format_Grayscale8).scaled(162, 117);
        int dark = 0;
        for (int y = 0; y < small.height(); ++y)
            for (int x = 0; x < small.width(); ++x)
                dark += qGray(small.pixel(x, y)) < 160;
        EXPECT_GT(dark, 20);
    }
}

} // namespace
