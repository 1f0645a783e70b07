#include "PdfFixtures.h"
#include "import/FlashPageSourcePDF.h"
#include "support/TestEnv.h"
#include "util/Error.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace quire;
using quire::test::pdfFixture;

namespace {

struct Recorder {
    std::mutex mutex;
    std::vector<ImportProgressInfo> messages;
    std::thread::id thread;
    ImportProgressHandler handler()
    {
        return [this](const ImportProgressInfo& info) {
            std::lock_guard lock(mutex);
            messages.push_back(info);
            thread = std::this_thread::get_id();
        };
    }
};

QStringList folderFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

QString workFolder(const FlashPageSourcePDF& source)
{
    return source.toPageConverter()->converterWorkFolder();
}

void expectPages(const FlashPageSource::PageList& pages, const std::vector<int>& numbers)
{
    ASSERT_EQ(pages.size(), numbers.size());
    for (size_t i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(pages[i]->pageIndex(), numbers[i]);
}

} // namespace

TEST(PageConversion, RangeOfATenPageDocument)
{
    Recorder progress;
    FlashPageSourcePDF source(pdfFixture("plain.pdf"), "2,4", 144, 85);
    source.setProgressHandler(progress.handler());
    EXPECT_EQ(source.sourceFile(), pdfFixture("plain.pdf"));
    EXPECT_EQ(source.needToImportPages(), (std::vector<int>{2, 4}));
    EXPECT_EQ(source.toPageConverter()->DPI(), 144);
    EXPECT_TRUE(source.toPageConverter()->converterWorkFolder().startsWith("/tmp/Sheaf/temp."));
    source.generatePages();
    source.generateNormalPages();

    expectPages(source.pages(), {2, 4});
    expectPages(source.normalPages(), {2, 4});
    EXPECT_EQ(*source.pages()[0]->pageFilePath(), QDir(workFolder(source)).filePath("2.jpg"));
    EXPECT_EQ(*source.pages()[1]->pageFilePath(), QDir(workFolder(source)).filePath("4.jpg"));
    EXPECT_EQ(source.normalPages()[1]->pageFilePath(), source.pages()[1]->pageFilePath());
    EXPECT_EQ(folderFiles(workFolder(source)), (QStringList{"2.jpg", "4.jpg"}));
    EXPECT_EQ(source.getNormalPageAtIndex(4), source.normalPages()[1].get());

    ASSERT_EQ(progress.messages.size(), 4u);
    const QString types[] = {"geneatePage", "geneatePage", "geneateNormalPage", "geneateNormalPage"};
    const int indexes[] = {1, 2, 1, 2};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(progress.messages[i].type, types[i]);
        EXPECT_EQ(progress.messages[i].pageIndex, indexes[i]);
        EXPECT_EQ(progress.messages[i].totalPage, 2);
    }
    const QVariantMap info = progress.messages[0].userInfo();
    EXPECT_EQ(info.value("pageIndex").toInt(), 1);
    EXPECT_EQ(info.value("totalPage").toInt(), 2);
    EXPECT_EQ(info.value("type").toString(), "geneatePage");
    EXPECT_EQ(ImportProgressInfoMSG, "ImportProgressInfoMSG");
}

TEST(PageConversion, PicturesAreTwiceThePageSizeRounded)
{
    FlashPageSourcePDF letter(pdfFixture("plain.pdf"), "1", 144, 85);
    letter.generatePages();
    EXPECT_EQ(QImage(*letter.pages()[0]->pageFilePath()).size(), QSize(1224, 1584));

    // 595.28 x 841.89 points; a crop box of 300.25 x 400.25 off the origin.
    FlashPageSourcePDF sizes(pdfFixture("sizes.pdf"), "ALL", 144, 85);
    sizes.setRenderWorkers(1);
    sizes.generatePages();
    EXPECT_EQ(QImage(*sizes.pages()[0]->pageFilePath()).size(), QSize(1191, 1684));
    EXPECT_EQ(QImage(*sizes.pages()[1]->pageFilePath()).size(), QSize(601, 801));

    // Rotated pages come out as they are shown.
    FlashPageSourcePDF rotated(pdfFixture("links.pdf"), "6", 144, 85);
    rotated.generatePages();
    EXPECT_EQ(QImage(*rotated.pages()[0]->pageFilePath()).size(), QSize(1600, 1200));
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
    for (int workers : {1, 2}) {
        FlashPageSourcePDF source(pdfFixture("plain.pdf"), "ALL", 144, 85);
        source.setRenderWorkers(workers);
        source.setProgressHandler([&source](const ImportProgressInfo& info) {
            if (info.pageIndex == 3)
                source.setStop(true);
        });
        source.generatePages();
        expectPages(source.pages(), {1, 2, 3});
        // Nothing rendered ahead of the stop stays behind.
        EXPECT_EQ(folderFiles(workFolder(source)), (QStringList{"1.jpg", "2.jpg", "3.jpg"})) << workers;
        source.generateNormalPages();
        EXPECT_TRUE(source.normalPages().empty());
        EXPECT_EQ(source.getNormalPageAtIndex(1), nullptr);
    }
}

TEST(PageConversion, StopBeforeTheFirstPageMakesNone)
{
    FlashPageSourcePDF source(pdfFixture("plain.pdf"), "ALL", 144, 85);
    source.setStop(true);
    source.generatePages();
    EXPECT_TRUE(source.pages().empty());
    EXPECT_TRUE(folderFiles(workFolder(source)).isEmpty());
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

TEST(PageConversion, PagesTheDocumentLacksFailBeforeAnyIsRendered)
{
    for (const char* range : {"2,200", "0-2"}) {
        FlashPageSourcePDF source(pdfFixture("plain.pdf"), range, 144, 85);
        try {
            source.generatePages();
            FAIL() << "no failure for " << range;
        } catch (const Error& e) {
            EXPECT_EQ(e.name(), pdf::kPageMissing);
            EXPECT_EQ(e.reason(), QString(range) == "2,200" ? "Page 200 is not in the document (10 pages)"
                                                             : "Page 0 is not in the document (10 pages)");
        }
        EXPECT_TRUE(source.pages().empty());
        EXPECT_TRUE(folderFiles(workFolder(source)).isEmpty());
    }
}

TEST(PageConversion, ARangeOfNoPagesFails)
{
    FlashPageSourcePDF source(pdfFixture("plain.pdf"), "7-5", 144, 85);
    try {
        source.generatePages();
        FAIL() << "an empty book was made";
    } catch (const Error& e) {
        EXPECT_EQ(e.reason(), "The page range \"7-5\" names no pages");
    }
}

TEST(PageConversion, UnopenableDocumentFailsWithItsReason)
{
    FlashPageSourcePDF source(pdfFixture("encrypted.pdf"), "ALL", 144, 85);
    EXPECT_EQ(source.PDFDoc(), nullptr);
    EXPECT_EQ(source.toPageConverter()->PDFDoc(), nullptr);
    EXPECT_TRUE(source.needToImportPages().empty());
    ASSERT_TRUE(source.openError());
    try {
        source.generatePages();
        FAIL() << "pages from a locked document";
    } catch (const Error& e) {
        EXPECT_EQ(e.name(), pdf::kPasswordProtected);
    }
    // The converter alone still answers as it always did without a document.
    EXPECT_TRUE(source.toPageConverter()->generatePage(3)->endsWith("/3.swf"));
}

TEST(PageConversion, APageThatCannotBeLoadedEndsProduction)
{
    for (int workers : {1, 2}) {
        FlashPageSourcePDF source(pdfFixture("badtree.pdf"), "ALL", 144, 85);
        source.setRenderWorkers(workers);
        EXPECT_THROW(source.generatePages(), Error);
        expectPages(source.pages(), {1, 2});
    }
}

TEST(PageConversion, APageThatCannotBeDrawnOrWrittenIsLoggedAndSkipped)
{
    log::Capture capture(log::Level::Warn);
    FlashPageSourcePDF huge(pdfFixture("hugepage.pdf"), "ALL", 144, 85);
    huge.generatePages();
    expectPages(huge.pages(), {1, 2, 3});
    EXPECT_EQ(folderFiles(workFolder(huge)), (QStringList{"1.jpg", "3.jpg"}));
    EXPECT_TRUE(capture.contains("page 2 has no picture: Page 2 is too large to draw (28800 x 28800 pixels)"));

    // A folder where page 2's file belongs makes writing it fail.
    FlashPageSourcePDF blocked(pdfFixture("plain.pdf"), "1-3", 144, 85);
    blocked.setRenderWorkers(1);
    QDir(workFolder(blocked)).mkdir("2.jpg");
    blocked.generatePages();
    expectPages(blocked.pages(), {1, 2, 3});
    EXPECT_TRUE(QFileInfo(*blocked.pages()[1]->pageFilePath()).isDir());
    EXPECT_TRUE(QFileInfo(*blocked.pages()[2]->pageFilePath()).isFile());
    EXPECT_FALSE(QFileInfo::exists(QDir(workFolder(blocked)).filePath("2.jpg.part")));
    EXPECT_TRUE(capture.contains("page 2 has no picture: Cannot replace the page file"));
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
    sequential.generatePages();
    parallel.generatePages();
    sequential.generateNormalPages();
    parallel.generateNormalPages();

    ASSERT_EQ(parallel.pages().size(), 12u);
    ASSERT_EQ(sequential.pages().size(), 12u);
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(parallel.pages()[i]->pageIndex(), int(i) + 1);
        EXPECT_EQ(QFileInfo(*parallel.pages()[i]->pageFilePath()).fileName(),
                  QFileInfo(*sequential.pages()[i]->pageFilePath()).fileName());
        EXPECT_EQ(test::readFile(*parallel.pages()[i]->pageFilePath()),
                  test::readFile(*sequential.pages()[i]->pageFilePath()))
            << "page " << i + 1;
    }
    ASSERT_EQ(parallelProgress.messages.size(), sequentialProgress.messages.size());
    for (size_t i = 0; i < parallelProgress.messages.size(); ++i) {
        EXPECT_EQ(parallelProgress.messages[i].pageIndex, sequentialProgress.messages[i].pageIndex);
        EXPECT_EQ(parallelProgress.messages[i].type, sequentialProgress.messages[i].type);
    }
    // Messages come from the thread that called generatePages, not a renderer.
    EXPECT_EQ(parallelProgress.thread, std::this_thread::get_id());
}
