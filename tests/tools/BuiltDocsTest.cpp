// The manual and the demonstration book's pages as the build leaves them in
// the resource folder, read with other tools than those that made them.
#include "import/PdfDocument.h"
#include "import/text/PdfProbe.h"
#include "support/TestEnv.h"
#include "util/Resources.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

using namespace quire;
using namespace quire::test;

namespace {

QString manualPath()
{
    return resourcePath(QStringLiteral("Quire for Mac Help/Quire for Mac Manual.pdf"));
}

// Bookmark labels with their page (from 1), depth first.
void collect(const std::vector<pdf::OutlineNode>& nodes, int depth,
             std::vector<std::tuple<QString, int, int>>& out)
{
    for (const pdf::OutlineNode& node : nodes) {
        out.emplace_back(node.label.value_or(QString()), node.target ? *node.target + 1 : 0, depth);
        collect(node.children, depth + 1, out);
    }
}

// The lines of one page, each as its words from left to right: words whose
// middles lie within a few points of each other share a line.
QStringList pageLines(const QList<PdfWord>& words, int page)
{
    QList<PdfWord> on;
    for (const PdfWord& w : words)
        if (w.page == page)
            on << w;
    std::sort(on.begin(), on.end(), [](const PdfWord& a, const PdfWord& b) {
        return a.box.center().y() < b.box.center().y();
    });
    QList<QList<PdfWord>> lines;
    for (const PdfWord& w : on) {
        if (lines.isEmpty() || w.box.center().y() - lines.last().first().box.center().y() > 3)
            lines.append(QList<PdfWord>());
        lines.last() << w;
    }
    QStringList out;
    for (QList<PdfWord>& line : lines) {
        std::sort(line.begin(), line.end(), [](const PdfWord& a, const PdfWord& b) { return a.box.left() < b.box.left(); });
        QStringList texts;
        for (const PdfWord& w : line)
            texts << w.text;
        out << texts.join(' ');
    }
    return out;
}

TEST(BuiltManual, HasChaptersAndSectionsAsBookmarksThatStandOnTheirPages)
{
    ASSERT_TRUE(QFileInfo(manualPath()).isFile()) << manualPath().toStdString();
    const auto doc = pdf::PdfDocument::open(manualPath());
    ASSERT_GE(doc->pageCount(), 20);
    for (int i = 0; i < doc->pageCount(); ++i) {
        const pdf::Rect box = doc->displayedBounds(i);
        EXPECT_NEAR(box.width, 648, 0.5);
        EXPECT_NEAR(box.height, 468, 0.5);
    }
    ASSERT_TRUE(PdfProbe::available());
    const QStringList pages = PdfProbe::pageTexts(manualPath());
    ASSERT_EQ(pages.size(), doc->pageCount());
    auto words = [](const QString& s) { return PdfProbe::wordsOf(s).join(' '); };

    std::vector<std::tuple<QString, int, int>> marks;
    collect(doc->outline(), 1, marks);
    const auto chapters = std::count_if(marks.begin(), marks.end(), [](const auto& m) { return std::get<2>(m) == 1; });
    const auto sections = std::count_if(marks.begin(), marks.end(), [](const auto& m) { return std::get<2>(m) == 2; });
    EXPECT_GE(chapters, 8);
    EXPECT_GE(sections, 25);
    int previous = 1;
    for (const auto& [label, page, depth] : marks) {
        SCOPED_TRACE(label.toStdString());
        EXPECT_FALSE(label.trimmed().isEmpty());
        EXPECT_GE(page, previous) << "bookmarks follow the pages";
        ASSERT_LE(page, pages.size());
        // Each bookmark's title stands on the page it leads to.
        EXPECT_TRUE(words(pages[page - 1]).contains(words(label)));
        previous = page;
    }
}

TEST(BuiltManual, CoversItsSubjectsAndTheQualityTable)
{
    ASSERT_TRUE(PdfProbe::available());
    const QStringList pages = PdfProbe::pageTexts(manualPath());
    ASSERT_FALSE(pages.isEmpty());
    auto words = [](const QString& s) { return PdfProbe::wordsOf(s).join(' '); };
    const QString all = words(pages.join('\n'));
    for (const char* subject :
         {"Importing a document", "Page ranges", "Quality levels", "Bookmarks and links", "Templates and styles",
          "The template chooser", "The property editor", "Settings files", "The live preview and Apply",
          "Publishing", "A web folder", "A desktop application", "Reading a published book",
          "From a web server", "The command-line converter", "Files and folders", "The log file",
          // the facts a reader comes for
          "1,3,5-7", "quire-convert", "Quire for Mac.log", "never changes the page size", "NAME.app"})
        EXPECT_TRUE(all.contains(QLatin1String(subject))) << subject;
    // The five quality levels with their JPEG qualities, as rows of a table.
    const QList<PdfWord> allWords = PdfProbe::words(manualPath());
    QStringList lines;
    for (int page = 1; page <= pages.size(); ++page)
        lines << pageLines(allWords, page);
    for (const char* row : {"0 100 ", "1 85 ", "2 65 ", "3 45 ", "4 25 "})
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [&](const QString& line) { return line.startsWith(QLatin1String(row)); }))
            << row;
}

TEST(BuiltManual, ContentsPageNumbersAreTheChaptersPages)
{
    ASSERT_TRUE(PdfProbe::available());
    std::map<QString, int> chapterPage; // "1" ... "A" -> page
    for (const auto& node : pdf::PdfDocument::open(manualPath())->outline()) {
        const QString label = node.label.value_or(QString()).simplified();
        chapterPage[label.section(' ', 0, 0)] = node.target ? *node.target + 1 : 0;
    }
    ASSERT_GE(chapterPage.size(), 8u);

    // Lines of the contents page: "N Title ... P".
    int checked = 0;
    static const QRegularExpression entry(QStringLiteral(R"(^(\d+|[A-Z]) .+ (\d+)$)"));
    for (const QString& line : pageLines(PdfProbe::words(manualPath()), 2)) {
        const auto m = entry.match(line);
        if (!m.hasMatch() || !chapterPage.count(m.captured(1)))
            continue;
        SCOPED_TRACE(line.toStdString());
        EXPECT_EQ(m.captured(2).toInt(), chapterPage[m.captured(1)]);
        ++checked;
    }
    EXPECT_EQ(checked, int(chapterPage.size()));
}

TEST(BuiltDemoImgs, AreSameSizedJpegPagesNamedInPageOrder)
{
    const QDir folder(resourcePath(QStringLiteral("DemoImgs")));
    ASSERT_TRUE(folder.exists()) << folder.path().toStdString();
    const QStringList everything = folder.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    const QStringList jpgs = folder.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    EXPECT_EQ(everything.size(), jpgs.size()) << "nothing but the pages";
    ASSERT_GE(jpgs.size(), 6);
    ASSERT_LE(jpgs.size(), 12);

    for (int i = 0; i < jpgs.size(); ++i) {
        SCOPED_TRACE(jpgs[i].toStdString());
        EXPECT_EQ(jpgs[i].toStdString(), QStringLiteral("%1.jpg").arg(i + 1, 2, 10, QLatin1Char('0')).toStdString());
        QImageReader reader(folder.filePath(jpgs[i]));
        EXPECT_EQ(reader.format(), QByteArray("jpeg"));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        // 648 x 468-point pages rendered at 144 dpi.
        EXPECT_EQ(image.size(), QSize(1296, 936));
        // A page with something on it, not a blank picture.
        int dark = 0;
        const QImage small = image.convertToFormat(QImage::Format_Grayscale8).scaled(162, 117);
        for (int y = 0; y < small.height(); ++y)
            for (int x = 0; x < small.width(); ++x)
                dark += qGray(small.pixel(x, y)) < 160;
        EXPECT_GT(dark, 20);
    }
}

} // namespace
