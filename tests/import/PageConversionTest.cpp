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

namespace {

// Progress messages as "type pageIndex/totalPage", and the thread that sent the last.
struct Recorder {
    std::mutex mutex;
    QStringList lines;
    std::vector<ImportProgressInfo> messages;
    std::thread::id thread;
    ImportProgressHandler handler()
    {
        return [this](const ImportProgressInfo& info) {
            std::lock_guard lock(mutex);
            lines << QString("%1 %2/%3").arg(info.type).arg(info.pageIndex).arg(info.totalPage);
            messages.push_back(info);
            thread = std::this_thread::get_id();
        };
    }
};

QString workFolder(const FlashPageSourcePDF& source)
{
    return source.toPageConverter()->converterWorkFolder();
}

QStringList folderFiles(const FlashPageSourcePDF& source)
{
    return QDir(workFolder(source)).entryList(QDir::Files, QDir::Name);
}

void expectPages(const FlashPageSource::PageList& pages, const std::vector<int>& numbers)
{
    ASSERT_EQ(pages.size(), numbers.size());
    for (size_t i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(pages[i]->pageIndex(), numbers[i]);
}

QSize pictureSize(const FlashPageSourcePDF& source, size_t i)
{
    return QImage(*source.pages().at(i)->pageFilePath()).size();
}

} // namespace

TEST(PageConversion, RangeOfATenPageDocument)
{
    Recorder progress;
    FlashPageSourcePDF source(pdfFixture("plain.pdf"), "2,4", 144, 85);
    source.setProgressHandler(progress.handler());
    EXPECT_EQ(source.needToImportPages(), (std::vector<int>{2, 4}));
    EXPECT_TRUE(workFolder(source).startsWith("/tmp/Sheaf/temp."));
    source.generatePages();
    source.generateNormalPages();

    expectPages(source.pages(), {2, 4});
    expectPages(source.normalPages(), {2, 4});
    EXPECT_EQ(*source.pages()[0]->pageFilePath(), QDir(workFolder(source)).filePath("2.jpg"));
    EXPECT_EQ(*source.pages()[1]->pageFilePath(), QDir(workFolder(source)).filePath("4.jpg"));
    EXPECT_EQ(source.normalPages()[1]->pageFilePath(), source.pages()[1]->pageFilePath());
    EXPECT_EQ(folderFiles(source), (QStringList{"2.jpg", "4.jpg"}));
    EXPECT_EQ(source.getNormalPageAtIndex(4), source.normalPages()[1].get());

    EXPECT_EQ(progress.lines, (QStringList{"geneatePage 1/2", "geneatePage 2/2", "geneateNormalPage 1/2",
                                           "geneateNormalPage 2/2"}));
    EXPECT_EQ(progress.messages.at(0).userInfo(),
              (QVariantMap{{"pageIndex", 1}, {"totalPage", 2}, {"type", "geneatePage"}}));
}

TEST(PageConversion, PicturesAreTwiceThePageSizeRounded)
{
    FlashPageSourcePDF letter(pdfFixture("plain.pdf"), "1", 144, 85);
    letter.generatePages();
    EXPECT_EQ(pictureSize(letter, 0), QSize(1224, 1584));

    // 595.28 x 841.89 points; a crop box of 300.25 x 400.25 off the origin.
    FlashPageSourcePDF sizes(pdfFixture("sizes.pdf"), "ALL", 144, 85);
    sizes.setRenderWorkers(1);
    sizes.generatePages();
    EXPECT_EQ(pictureSize(sizes, 0), QSize(1191, 1684));
    EXPECT_EQ(pictureSize(sizes, 1), QSize(601, 801));

    // Rotated pages come out as they are shown.
    FlashPageSourcePDF rotated(pdfFixture("links.pdf"), "6", 144, 85);
    rotated.generatePages();
    EXPECT_EQ(pictureSize(rotated, 0), QSize(1600, 1200));
}

TEST(PageConversion, BookPageSizeIsTheFirstPageAsItsPictureShowsIt)
{
    const struct {
        const char* file;
        QSize size;
    } cases[] = {
        {"plain.pdf", {612, 792}}, {"sizes.pdf", {595, 841}}, {"oddities.pdf", {780, 600}}, // turned and cropped
    };
    for (const auto& c : cases) {
        FlashPageSourcePDF source(pdfFixture(c.file), "1", 144, 85);
        source.generatePages();
        EXPECT_EQ(source.firstPageSize(), c.size) << c.file;
        const QSize picture = pictureSize(source, 0);
        EXPECT_NEAR(picture.width(), 2 * c.size.width(), 2) << c.file;
        EXPECT_NEAR(picture.height(), 2 * c.size.height(), 2) << c.file;
    }
    EXPECT_EQ(FlashPageSourcePDF(pdfFixture("missing.pdf"), "1", 144, 85).firstPageSize(), std::nullopt);
}

TEST(PageConversion, QualityDecidesTheCompression)
{
    FlashPageSourcePDF best(pdfFixture("links.pdf"), "1", 144, 100);
    FlashPageSourcePDF worst(pdfFixture("links.pdf"), "1", 144, 25);
    best.generatePages();
    worst.generatePages();
    const qint64 bestSize = QFileInfo(*best.pages()[0]->pageFilePath()).size();
    const qint64 worstSize = QFileInfo(*worst.pages()[0]->pageFilePath()).size();
    EXPECT_GT(bestSize, worstSize + worstSize / 2);
    const QImage picture(*worst.pages()[0]->pageFilePath());
    EXPECT_LT(qGray(picture.pixel(240, 160)), 40);  // the black box at (120, 80) points
    EXPECT_GT(qGray(picture.pixel(20, 1580)), 235); // white where nothing is painted
}

TEST(PageConversion, StopKeepsThePagesMadeAndEndsNormalPages)
{
    // Stopped before the first page, and at page 3 with one and two renderers.
    for (const auto& [stopAt, workers] : {std::pair{0, 1}, std::pair{3, 1}, std::pair{3, 2}}) {
        SCOPED_TRACE(testing::Message() << "stop at " << stopAt << ", " << workers << " workers");
        FlashPageSourcePDF source(pdfFixture("plain.pdf"), "ALL", 144, 85);
        source.setRenderWorkers(workers);
        source.setStop(stopAt == 0);
        source.setProgressHandler([&source, stopAt = stopAt](const ImportProgressInfo& info) {
            if (info.pageIndex == stopAt)
                source.setStop(true);
        });
        source.generatePages();
        const std::vector<int> made = stopAt ? std::vector<int>{1, 2, 3} : std::vector<int>{};
        expectPages(source.pages(), made);
        // Nothing rendered ahead of the stop stays behind.
        QStringList files;
        for (int n : made)
            files << QString("%1.jpg").arg(n);
        EXPECT_EQ(folderFiles(source), files);
        EXPECT_EQ(QDir(workFolder(source) + "/thumb").entryList(QDir::Files, QDir::Name), files); // their thumbnails
        EXPECT_EQ(source.thumbPages().size(), made.size());
        source.generateNormalPages();
        EXPECT_TRUE(source.normalPages().empty());
        EXPECT_EQ(source.getNormalPageAtIndex(1), nullptr);
    }
}

TEST(PageConversion, EachSourceHasItsOwnFolderRemovedWithIt)
{
    auto first = std::make_unique<FlashPageSourcePDF>(pdfFixture("plain.pdf"), "1", 144, 85);
    FlashPageSourcePDF second(pdfFixture("plain.pdf"), "1", 144, 85);
    first->generatePages();
    second.generatePages();
    const QString firstFolder = workFolder(*first);
    ASSERT_NE(firstFolder, workFolder(second));
    EXPECT_TRUE(QFileInfo::exists(*first->pages()[0]->pageFilePath()));
    first.reset();
    EXPECT_FALSE(QFileInfo::exists(firstFolder));
    EXPECT_TRUE(QFileInfo::exists(*second.pages()[0]->pageFilePath()));
}

TEST(PageConversion, RangesTheDocumentCannotServeFailBeforeAnyPageIsRendered)
{
    struct Case {
        const char* file;
        const char* range;
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        {"plain.pdf", "2,200", pdf::kPageMissing, "Page 200 is not in the document (10 pages)"},
        {"plain.pdf", "0-2", pdf::kPageMissing, "Page 0 is not in the document (10 pages)"},
        {"plain.pdf", "7-5", "ERROR_PAGE_RANGE_EMPTY", "The page range \"7-5\" names no pages"},
        {"encrypted.pdf", "ALL", pdf::kPasswordProtected, "The PDF document \"encrypted.pdf\" is password-protected"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        FlashPageSourcePDF source(pdfFixture(c.file), c.range, 144, 85);
        try {
            source.generatePages();
            ADD_FAILURE() << "no failure";
        } catch (const Error& e) {
            EXPECT_EQ(e.name(), c.name);
            EXPECT_TRUE(e.reason().startsWith(c.reason)) << e.reason().toStdString();
        }
        EXPECT_TRUE(source.pages().empty());
        EXPECT_TRUE(folderFiles(source).isEmpty());
    }
}

TEST(PageConversion, UnopenableDocumentKeepsNoDocument)
{
    FlashPageSourcePDF source(pdfFixture("encrypted.pdf"), "ALL", 144, 85);
    EXPECT_EQ(source.PDFDoc(), nullptr);
    EXPECT_EQ(source.toPageConverter()->PDFDoc(), nullptr);
    EXPECT_TRUE(source.needToImportPages().empty());
    ASSERT_TRUE(source.openError());
    // The converter alone still answers as it always did without a document.
    EXPECT_TRUE(source.toPageConverter()->generatePage(3)->endsWith("/3.swf"));
}

// A page that cannot be loaded, drawn or written ends the import, named by
// its number; the pages before it stay.
TEST(PageConversion, APageWithoutAPictureEndsProduction)
{
    const struct {
        const char* pdf;
        const char* range;
        bool blockPageTwo; // a folder where page 2's file belongs
        const char* words;
    } cases[] = {
        {"badtree.pdf", "ALL", false, "Page 3 "},
        {"hugepage.pdf", "ALL", false, "Page 2 is too large to draw (28800 x 28800 pixels)"},
        {"plain.pdf", "1-3", true, "Page 2: Cannot replace the page file"},
    };
    for (const auto& c : cases)
        for (int workers : {1, 2}) {
            SCOPED_TRACE(std::string(c.pdf) + " with " + std::to_string(workers) + " workers");
            FlashPageSourcePDF source(pdfFixture(c.pdf), c.range, 144, 85);
            source.setRenderWorkers(workers);
            if (c.blockPageTwo)
                QDir(workFolder(source)).mkdir("2.jpg");
            try {
                source.generatePages();
                ADD_FAILURE() << "no error";
            } catch (const Error& e) {
                EXPECT_TRUE(e.reason().startsWith(c.words)) << e.reason().toStdString();
            }
            expectPages(source.pages(), c.pdf == std::string("badtree.pdf") ? std::vector<int>{1, 2}
                                                                             : std::vector<int>{1});
            EXPECT_FALSE(QFileInfo::exists(QDir(workFolder(source)).filePath("2.jpg.part")));
        }
}

TEST(PageConversion, ParallelRenderingMatchesTheSequentialRunByteForByte)
{
    Recorder sequentialProgress, parallelProgress;
    FlashPageSourcePDF sequential(pdfFixture("links.pdf"), "ALL", 144, 85);
    FlashPageSourcePDF parallel(pdfFixture("links.pdf"), "ALL", 144, 85);
    sequential.setRenderWorkers(1);
    parallel.setRenderWorkers(3);
    sequential.setProgressHandler(sequentialProgress.handler());
    parallel.setProgressHandler(parallelProgress.handler());
    for (FlashPageSourcePDF* source : {&sequential, &parallel}) {
        source->generatePages();
        source->generateNormalPages();
    }
    expectPages(parallel.pages(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    ASSERT_EQ(sequential.pages().size(), 12u);
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(QFileInfo(*parallel.pages()[i]->pageFilePath()).fileName(),
                  QFileInfo(*sequential.pages()[i]->pageFilePath()).fileName());
        EXPECT_EQ(test::readFile(*parallel.pages()[i]->pageFilePath()),
                  test::readFile(*sequential.pages()[i]->pageFilePath()))
            << "page " << i + 1;
    }
    EXPECT_EQ(parallelProgress.lines, sequentialProgress.lines);
    // Messages come from the thread that called generatePages, not a renderer.
    EXPECT_EQ(parallelProgress.thread, std::this_thread::get_id());
}
