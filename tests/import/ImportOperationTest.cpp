#include "PdfFixtures.h"
#include "app/QuillUtility.h"
#include "import/FlashPageSourcePDF.h"
#include "import/ImportOperationQueue.h"
#include "import/ImportPDFOperation.h"
#include "support/TestEnv.h"
#include "util/Log.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <atomic>
#include <future>
#include <thread>

using namespace quire;
using quire::test::pdfFixture;

namespace {

std::shared_ptr<ImportPDFOperation> makeOperation(const QString& path, const QString& range = "ALL",
                                                  bool links = true, bool bookmarks = true)
{
    auto op = std::make_shared<ImportPDFOperation>(path, range, 144, 85);
    op->setImportLinks(links);
    op->setImportBookmarks(bookmarks);
    return op;
}

struct Completion {
    std::atomic<int> calls{0};
    std::thread::id thread;
    ImportPDFOperation::CompletionObserver observer()
    {
        return [this](ImportPDFOperation&) {
            thread = std::this_thread::get_id();
            ++calls;
        };
    }
};

int annoCount(const FlashPagesAnnotations& annotations)
{
    int count = 0;
    for (const xmlNode* page : xml::children(annotations.pagesAnnotationsNode(), "pageAnnos"))
        count += int(xml::children(page, "anno").size());
    return count;
}

} // namespace

TEST(ImportOperation, SucceedsOnAWorkerThreadWithEverythingAsked)
{
    Completion completion;
    std::vector<std::thread::id> progressThreads;
    auto op = makeOperation(pdfFixture("outline.pdf"), "2-4");
    op->setProgressHandler([&](const ImportProgressInfo&) { progressThreads.push_back(std::this_thread::get_id()); });
    op->addCompletionObserver(completion.observer());
    {
        ImportOperationQueue queue;
        queue.addOperation(op);
        queue.waitUntilAllOperationsAreFinished();
        EXPECT_EQ(queue.operationCount(), 0);
    }
    EXPECT_TRUE(op->isFinished());
    EXPECT_FALSE(op->isCancelled());
    EXPECT_EQ(completion.calls.load(), 1);
    EXPECT_NE(completion.thread, std::this_thread::get_id());
    ASSERT_EQ(progressThreads.size(), 6u);
    EXPECT_EQ(progressThreads.front(), completion.thread);

    auto source = std::dynamic_pointer_cast<FlashPageSourcePDF>(op->flashPageSource());
    ASSERT_TRUE(source);
    ASSERT_EQ(source->normalPages().size(), 3u);
    EXPECT_TRUE(QFileInfo(*source->getNormalPageAtIndex(3)->pageFilePath()).isFile());
    ASSERT_TRUE(op->flashPagesAnnotation());
    EXPECT_EQ(xml::children(op->flashPagesAnnotation()->pagesAnnotationsNode(), "pageAnnos").size(), 3u);
    ASSERT_TRUE(op->flashOutline());
    EXPECT_EQ(op->flashOutline()->items().size(), 4u); // the whole outline, whatever the range
    EXPECT_EQ(op->errorMessage(), "");

    // A cancel after the end changes nothing.
    op->cancel();
    EXPECT_TRUE(op->flashPageSource());
    EXPECT_FALSE(source->stop());
    EXPECT_NE(source->getNormalPageAtIndex(2), nullptr);

    // Observers that come late are told at once; the operation runs once.
    Completion late;
    op->addCompletionObserver(late.observer());
    EXPECT_EQ(late.calls.load(), 1);
    op->start();
    EXPECT_EQ(completion.calls.load(), 1);
}

TEST(ImportOperation, WithoutOptionsOnlyPagesAreMade)
{
    log::Capture capture(log::Level::Debug);
    auto op = makeOperation(pdfFixture("links.pdf"), "1", false, false);
    op->start();
    EXPECT_TRUE(op->flashPageSource());
    EXPECT_FALSE(op->flashPagesAnnotation());
    EXPECT_FALSE(op->flashOutline());
    const QStringList steps = {"before generate pages", "after generate pages", "before generateNormalPages",
                               "after generateNormalPages"};
    for (const QString& step : steps)
        EXPECT_TRUE(capture.messages(log::Level::Debug).contains(step)) << step.toStdString();
    EXPECT_FALSE(capture.contains("page is:"));
    EXPECT_TRUE(capture.messages(log::Level::Error).isEmpty());
}

TEST(ImportOperation, FailedPagesLeaveNoSourceAndSayWhy)
{
    test::TempDir dir;
    test::writeFile(dir.file("empty.pdf"), {});
    test::writeFile(dir.file("noise.pdf"), QByteArray(2000, '\x9c'));
    struct Case {
        QString path;
        QString range;
        QString message;
    };
    const Case cases[] = {
        {dir.file("missing.pdf"), "ALL", "The document \"" + dir.file("missing.pdf") + "\" was not found"},
        {dir.file("empty.pdf"), "ALL", "The file \"empty.pdf\" is not a PDF document"},
        {dir.file("noise.pdf"), "ALL", "The file \"noise.pdf\" is not a PDF document"},
        {pdfFixture("truncated.pdf"), "ALL", "The PDF document \"truncated.pdf\" is damaged and cannot be opened"},
        {pdfFixture("encrypted.pdf"), "ALL", "The PDF document \"encrypted.pdf\" is password-protected"},
        {pdfFixture("plain.pdf"), "1-3,200", "Page 200 is not in the document (10 pages)"},
        {pdfFixture("badtree.pdf"), "ALL", "Page 3 of \"badtree.pdf\" is damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        log::Capture capture(log::Level::Error);
        auto op = makeOperation(c.path, c.range);
        op->start();
        EXPECT_FALSE(op->flashPageSource());
        EXPECT_TRUE(op->errorMessage().startsWith(c.message)) << op->errorMessage().toStdString();
        EXPECT_TRUE(capture.contains("Run Import PDF Operation error,import pages:" + c.message));
        // The later steps still run, on no document.
        ASSERT_TRUE(op->flashPagesAnnotation());
        EXPECT_EQ(annoCount(*op->flashPagesAnnotation()), 0);
        ASSERT_TRUE(op->flashOutline());
        EXPECT_TRUE(op->flashOutline()->items().empty());
        EXPECT_TRUE(op->isFinished());
    }
}

TEST(ImportOperation, AWorkFolderThatCannotBeMadeFailsTheImportWithTheReason)
{
    test::TempDir dir;
    test::writeFile(dir.file("file"), "x"); // no folder can be made inside a file
    QuillUtility::setTmpBaseFolder(dir.file("file"));
    auto op = makeOperation(pdfFixture("plain.pdf"), "1-2");
    op->start();
    QuillUtility::setTmpBaseFolder(QString());
    EXPECT_FALSE(op->flashPageSource());
    EXPECT_EQ(op->errorMessage(),
              "Cannot create a working folder in \"" + dir.file("file/Sheaf") + "\": Not a directory");
}

TEST(ImportOperation, AFailedOutlineStepDropsOnlyTheOutline)
{
    log::Capture capture(log::Level::Error);
    auto op = makeOperation(pdfFixture("cyclic.pdf"));
    op->start();
    EXPECT_TRUE(op->flashPageSource());
    EXPECT_TRUE(op->flashPagesAnnotation());
    EXPECT_FALSE(op->flashOutline());
    EXPECT_EQ(op->errorMessage(), "");
    EXPECT_TRUE(capture.contains("Run Import PDF Operation error,import outline:Cannot read the bookmarks"));
}

TEST(ImportOperation, CancelledBeforeItRunsDoesNothingAndLogsNothing)
{
    log::Capture capture(log::Level::Debug);
    Completion completion;
    auto op = makeOperation(pdfFixture("plain.pdf"));
    op->addCompletionObserver(completion.observer());
    op->cancel();
    op->start();
    EXPECT_TRUE(op->isCancelled());
    EXPECT_TRUE(op->isFinished());
    EXPECT_EQ(completion.calls.load(), 1);
    EXPECT_FALSE(op->flashPageSource());
    EXPECT_FALSE(op->flashPagesAnnotation());
    EXPECT_FALSE(op->flashOutline());
    EXPECT_TRUE(capture.messages().isEmpty());
}

TEST(ImportOperation, CancelDuringPagesDiscardsEverything)
{
    for (int workers : {1, 2}) {
        log::Capture capture(log::Level::Debug);
        auto op = makeOperation(pdfFixture("plain.pdf"));
        op->setRenderWorkers(workers);
        std::vector<int> seen;
        op->setProgressHandler([&](const ImportProgressInfo& info) {
            seen.push_back(info.pageIndex);
            if (info.pageIndex == 2)
                op->cancel();
        });
        op->start();
        EXPECT_EQ(seen, (std::vector<int>{1, 2})) << workers; // stopped before page 3, no normal pages
        EXPECT_FALSE(op->flashPageSource());
        EXPECT_FALSE(op->flashPagesAnnotation());
        EXPECT_FALSE(op->flashOutline());
        EXPECT_TRUE(capture.contains("import pdf is cancelled"));
        EXPECT_FALSE(capture.contains("page is:")); // links were not read
    }
}

TEST(ImportOperation, QueueCancelsARunningOperationFromAnotherThread)
{
    auto op = makeOperation(pdfFixture("plain.pdf"));
    std::promise<void> firstPage, cancelled;
    auto cancelledFuture = cancelled.get_future().share();
    op->setProgressHandler([&, cancelledFuture](const ImportProgressInfo& info) {
        if (info.pageIndex == 1 && info.type == kProgressTypePage) {
            firstPage.set_value();
            cancelledFuture.wait(); // hold the worker until the cancel has been made
        }
    });
    Completion completion;
    op->addCompletionObserver(completion.observer());
    ImportOperationQueue queue;
    queue.addOperation(op);
    firstPage.get_future().wait();
    EXPECT_EQ(queue.operationCount(), 1);
    queue.cancelAllOperations();
    cancelled.set_value();
    op->waitUntilFinished();
    EXPECT_EQ(completion.calls.load(), 1);
    EXPECT_TRUE(op->isCancelled());
    EXPECT_FALSE(op->flashPageSource());
    EXPECT_EQ(queue.operationCount(), 0);
}
