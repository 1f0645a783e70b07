// Page ranges, page sources over picture files, and PDF pages turned into
// page pictures: their files, sizes and quality, progress, stopping,
// failures, and rendering in parallel.
#include "PdfFixtures.h"
#include "import/FlashPageSourcePDF.h"
#include "support/TestEnv.h"
#include "util/Error.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace quire;
using quire::test::pdfFixture;
using Pages = std::vector<int>;

namespace {

// A source over a fixture, its progress as "type pageIndex/totalPage" and
// the thread that sent the last.
struct Source : FlashPageSourcePDF {
    explicit Source(const char* fixture, const char* range = "ALL", int workers = 0, int quality = 85)
        : FlashPageSourcePDF(pdfFixture(fixture), range, 144, quality)
    {
        setRenderWorkers(workers);
        setProgressHandler([this](const ImportProgressInfo& info) {
            std::lock_guard lock(mutex);
            progress << QString("%1 %2/%3").arg(info.type).arg(info.pageIndex).arg(info.totalPage);
            thread = std::this_thread::get_id();
        });
    }
    QString folder() const { return toPageConverter()->converterWorkFolder(); }
    QStringList files() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }
    std::vector<int> numbers() const
    {
        std::vector<int> out;
        for (const auto& page : pages())
            out.push_back(page->pageIndex());
        return out;
    }
    QString file(size_t i) const { return *pages().at(i)->pageFilePath(); }
    QSize size(size_t i) const { return QImage(file(i)).size(); }

    std::mutex mutex;
    QStringList progress;
    std::thread::id thread;
};

} // namespace

TEST(PageRange, FollowsTheTableAndRefusesRangesNamingTooManyPages)
{
    const std::tuple<const char*, int, Pages> cases[] = {
        {"all", 4, {1, 2, 3, 4}}, {"All", 4, {1, 2, 3, 4}}, {"ALL", 4, {1, 2, 3, 4}}, {"ALL", 0, {}}, {"ALL", -3, {}},
        {" ALL", 4, {0}}, // white space is not trimmed: a number, not the keyword
        {"1,3,5-7", 10, {1, 3, 5, 6, 7}}, {"5,3,3,1-2", 10, {1, 2, 3, 5}}, {"2-4,3-6", 10, {2, 3, 4, 5, 6}},
        {" 2 , 4 ", 10, {2, 4}}, {"7-5", 10, {}}, {"4-", 10, {}}, {"-3", 10, {0, 1, 2, 3}}, {"2-3-9", 10, {2, 3}},
        {"", 10, {0}}, {"1,,2", 10, {0, 1, 2}}, {"x", 10, {0}}, {"3a", 10, {3}}, {"+4", 10, {4}},
        {"10-12", 5, {10, 11, 12}},
        {"99999999999", 10, {2147483647}}, // saturates instead of wrapping negative
    };
    for (const auto& [range, total, pages] : cases)
        EXPECT_EQ(FlashPageSource::parsePageRange(range, total), pages) << '"' << range << "\" of " << total;
    // Ranges naming too many pages are refused before they are listed;
    // overlapping spans count each page once.
    QString spans;
    for (int i = 0; i < 600; ++i)
        spans += QString("%1%2-2147483647").arg(i ? "," : "").arg(i + 1);
    for (const QString& range : {QString("1-2000000000"), QString("0-1000000"), spans})
        EXPECT_TRUE(test::errorOf([&] { FlashPageSource::parsePageRange(range, 10); }).contains("at most 1000000"));
    const Pages most = FlashPageSource::parsePageRange("1-1000000,1-1000000,500-20", 10);
    ASSERT_EQ(most.size(), 1'000'000u);
    EXPECT_EQ(most.back(), 1'000'000);
}

// (Numbered in order, normal pages naming the same files: AppDelegate's start;
// found by number where there are gaps: the range of a ten-page document.)
TEST(PageSource, PicturePagesAreCopiedOnceAsNormalPagesOfTheirKind)
{
    FlashPageSourceImg source;
    for (const char* path : {"/a.jpg", "/b.jpg", "/c.jpg"})
        source.addImgPageFromFile(path);
    source.generateNormalPages();
    source.generateNormalPages(); // a second call adds nothing
    ASSERT_EQ(source.normalPages().size(), 3u);
    EXPECT_TRUE(dynamic_cast<const FlashPageImage*>(source.normalPages()[1].get()));
    for (int n : {-1, 0, 3, 4})
        EXPECT_EQ(source.getNormalPageAtIndex(n), n == 3 ? source.normalPages()[2].get() : nullptr);
}

TEST(PageConversion, RangeOfATenPageDocumentWithItsProgressInAFolderOfItsOwn)
{
    Source source("plain.pdf", "2,4");
    EXPECT_EQ(source.needToImportPages(), (std::vector<int>{2, 4}));
    EXPECT_TRUE(source.folder().startsWith("/tmp/Sheaf/temp."));
    source.generatePages();
    source.generateNormalPages();
    EXPECT_EQ(source.numbers(), (std::vector<int>{2, 4}));
    EXPECT_EQ(source.file(1), QDir(source.folder()).filePath("4.jpg"));
    EXPECT_EQ(source.files(), (QStringList{"2.jpg", "4.jpg"}));
    ASSERT_EQ(source.normalPages().size(), 2u);
    EXPECT_EQ(source.normalPages()[1]->pageFilePath(), source.pages()[1]->pageFilePath());
    EXPECT_EQ(source.getNormalPageAtIndex(4), source.normalPages()[1].get());
    EXPECT_EQ(source.progress, (QStringList{"geneatePage 1/2", "geneatePage 2/2", "geneateNormalPage 1/2",
                                            "geneateNormalPage 2/2"}));

    // Each source has its own folder, removed with it.
    auto other = std::make_unique<Source>("plain.pdf", "1");
    other->generatePages();
    const QString otherFolder = other->folder();
    ASSERT_TRUE(otherFolder != source.folder() && QFileInfo::exists(other->file(0)));
    other.reset();
    EXPECT_TRUE(!QFileInfo::exists(otherFolder) && QFileInfo::exists(source.file(1)));
}

TEST(PageConversion, PicturesAreTwiceThePageSizeAsShownAndQualityDecidesTheCompression)
{
    Source letter("plain.pdf", "1");
    // 595.28 x 841.89 points; a crop box of 300.25 x 400.25 off the origin.
    Source sizes("sizes.pdf", "ALL", 1);
    Source rotated("links.pdf", "6"); // as it is shown
    Source best("links.pdf", "1", 0, 100), worst("links.pdf", "1", 0, 25);
    Source odd("oddities.pdf", "1"); // turned and cropped
    for (Source* s : {&letter, &sizes, &rotated, &best, &worst, &odd})
        s->generatePages();
    EXPECT_EQ(QList<QSize>({letter.size(0), sizes.size(0), sizes.size(1), rotated.size(0)}),
              QList<QSize>({{1224, 1584}, {1191, 1684}, {601, 801}, {1600, 1200}}));
    // The book's page size is the first page as its picture shows it (a
    // letter page and a turned one: the import dialog's sizes).
    EXPECT_EQ(sizes.firstPageSize(), QSize(595, 841));
    EXPECT_NEAR(odd.size(0).width(), 1560, 2);
    EXPECT_NEAR(odd.size(0).height(), 1200, 2);
    EXPECT_EQ(Source("missing.pdf", "1").firstPageSize(), std::nullopt);
    const qint64 worstSize = QFileInfo(worst.file(0)).size();
    EXPECT_GT(QFileInfo(best.file(0)).size(), worstSize + worstSize / 2);
    const QImage picture(worst.file(0));
    EXPECT_LT(qGray(picture.pixel(240, 160)), 40);  // the black box at (120, 80) points
    EXPECT_GT(qGray(picture.pixel(20, 1580)), 235); // white where nothing is painted
}

TEST(PageConversion, StopKeepsThePagesMadeAndEndsNormalPages)
{
    // Stopped before the first page, and at page 3 with one and two renderers.
    for (const auto& [stopAt, workers] : {std::pair{0, 1}, std::pair{3, 1}, std::pair{3, 2}}) {
        SCOPED_TRACE(testing::Message() << "stop at " << stopAt << ", " << workers << " workers");
        Source source("plain.pdf", "ALL", workers);
        source.setStop(stopAt == 0);
        source.setProgressHandler([&source, stopAt = stopAt](const ImportProgressInfo& info) {
            if (info.pageIndex == stopAt)
                source.setStop(true);
        });
        source.generatePages();
        // Nothing rendered ahead of the stop stays behind.
        const QStringList made = stopAt ? QStringList{"1.jpg", "2.jpg", "3.jpg"} : QStringList{};
        EXPECT_EQ(source.numbers(), (stopAt ? std::vector<int>{1, 2, 3} : std::vector<int>{}));
        EXPECT_EQ(source.files(), made);
        EXPECT_EQ(QDir(source.folder() + "/thumb").entryList(QDir::Files, QDir::Name), made); // their thumbnails
        EXPECT_EQ(source.thumbPages().size(), size_t(made.size()));
        source.generateNormalPages();
        EXPECT_TRUE(source.normalPages().empty());
        EXPECT_EQ(source.getNormalPageAtIndex(1), nullptr);
    }
}

TEST(PageConversion, DocumentsAndRangesThatCannotServeFailBeforeAnyPageIsRendered)
{
    // (Pages past the end and locked documents: ImportOperation's failure table.)
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"plain.pdf", "0-2", pdf::kPageMissing, "Page 0 is not in the document (10 pages)"},
        {"plain.pdf", "7-5", "ERROR_PAGE_RANGE_EMPTY", "The page range \"7-5\" names no pages"},
    };
    for (const auto& [file, range, name, reason] : cases) {
        SCOPED_TRACE(reason);
        Source source(file, range);
        EXPECT_TRUE(test::errorOf([&] { source.generatePages(); }).startsWith(QString(name) + ": " + reason));
        EXPECT_TRUE(source.pages().empty() && source.files().isEmpty());
    }
}

// A page that cannot be loaded, drawn or written ends the import, named by
// its number; the pages before it stay.
TEST(PageConversion, APageWithoutAPictureEndsProduction)
{
    const std::tuple<const char*, const char*, bool, const char*> cases[] = { // pdf, range, block page 2's file
        {"badtree.pdf", "ALL", false, "Page 3 "},
        {"hugepage.pdf", "ALL", false, "Page 2 is too large to draw (28800 x 28800 pixels)"},
        {"plain.pdf", "1-3", true, "Page 2: Cannot replace the page file"},
    };
    for (const auto& [pdf, range, blockPageTwo, words] : cases)
        for (int workers : {1, 2}) {
            SCOPED_TRACE(std::string(pdf) + " with " + std::to_string(workers) + " workers");
            Source source(pdf, range, workers);
            if (blockPageTwo)
                QDir(source.folder()).mkdir("2.jpg");
            EXPECT_TRUE(test::errorOf([&] { source.generatePages(); }).section(": ", 1, -1).startsWith(words));
            EXPECT_EQ(source.numbers(), (std::string(pdf) == "badtree.pdf" ? std::vector<int>{1, 2} : std::vector<int>{1}));
            EXPECT_FALSE(QFileInfo::exists(QDir(source.folder()).filePath("2.jpg.part")));
        }
}

TEST(PageConversion, ParallelRenderingMatchesTheSequentialRunByteForByte)
{
    Source sequential("links.pdf", "ALL", 1), parallel("links.pdf", "ALL", 3);
    for (Source* source : {&sequential, &parallel}) {
        source->generatePages();
        source->generateNormalPages();
    }
    EXPECT_EQ(parallel.numbers(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    ASSERT_EQ(sequential.pages().size(), 12u);
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(QFileInfo(parallel.file(i)).fileName(), QFileInfo(sequential.file(i)).fileName());
        EXPECT_EQ(test::readFile(parallel.file(i)), test::readFile(sequential.file(i))) << "page " << i + 1;
    }
    EXPECT_EQ(parallel.progress, sequential.progress);
    // Messages come from the thread that called generatePages, not a renderer.
    EXPECT_EQ(parallel.thread, std::this_thread::get_id());
}
