// An import of a PDF document run as an operation, on a queue's worker or
// in the caller's thread: its results, failures and cancellation.
#include "PdfFixtures.h"
#include "app/QuillUtility.h"
#include "import/FlashPageSourcePDF.h"
#include "import/ImportOperationQueue.h"
#include "import/ImportPDFOperation.h"
#include "support/TestEnv.h"
#include "util/Log.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <atomic>
#include <future>
#include <thread>

using namespace quire;
using quire::test::pdfFixture;

namespace {

// An import of the pages in `range`, with their links and bookmarks.
std::shared_ptr<ImportPDFOperation> operation(const QString& path, const QString& range = "ALL")
{
    auto op = std::make_shared<ImportPDFOperation>(path, range, 144, 85);
    op->setImportLinks(true);
    op->setImportBookmarks(true);
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

// Which results the operation has: "pages links outline", "-" for each missing.
QString results(const ImportPDFOperation& op)
{
    return QString("%1 %2 %3").arg(op.flashPageSource() ? "pages" : "-", op.flashPagesAnnotation() ? "links" : "-",
                                   op.flashOutline() ? "outline" : "-");
}

} // namespace

TEST(ImportOperation, SucceedsOnAWorkerThreadWithEverythingAskedAndRunsOnce)
{
    Completion completion;
    std::vector<std::thread::id> progressThreads;
    auto op = operation(pdfFixture("outline.pdf"), "2-4");
    op->setProgressHandler([&](const ImportProgressInfo&) { progressThreads.push_back(std::this_thread::get_id()); });
    op->addCompletionObserver(completion.observer());
    {
        ImportOperationQueue queue;
        queue.addOperation(op);
        queue.waitUntilAllOperationsAreFinished();
        EXPECT_EQ(queue.operationCount(), 0);
    }
    EXPECT_TRUE(op->isFinished() && !op->isCancelled());
    EXPECT_EQ(completion.calls.load(), 1);
    EXPECT_NE(completion.thread, std::this_thread::get_id());
    ASSERT_EQ(progressThreads.size(), 6u);
    EXPECT_EQ(progressThreads.front(), completion.thread);

    auto source = std::dynamic_pointer_cast<FlashPageSourcePDF>(op->flashPageSource());
    ASSERT_TRUE(source);
    ASSERT_EQ(source->normalPages().size(), 3u);
    EXPECT_TRUE(QFileInfo(*source->getNormalPageAtIndex(3)->pageFilePath()).isFile());
    ASSERT_EQ(results(*op), "pages links outline");
    EXPECT_EQ(xml::children(op->flashPagesAnnotation()->pagesAnnotationsNode(), "pageAnnos").size(), 3u);
    EXPECT_EQ(op->flashOutline()->items().size(), 4u); // the whole outline, whatever the range
    EXPECT_EQ(op->errorMessage(), "");

    // A cancel after the end changes nothing; observers that come late are
    // told at once; the operation runs once.
    op->cancel();
    EXPECT_EQ(results(*op), "pages links outline");
    EXPECT_FALSE(source->stop());
    Completion late;
    op->addCompletionObserver(late.observer());
    EXPECT_EQ(late.calls.load(), 1);
    op->start();
    EXPECT_EQ(completion.calls.load(), 1);
    // (Without bookmarks and links only pages: ImportDialog's rows through the same operation.)
}

TEST(ImportOperation, FailuresSayWhyAndLeaveOnlyWhatCouldBeMade)
{
    test::TempDir dir;
    test::writeFile(dir.file("empty.pdf"), {});
    QByteArray noise(4096, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    test::writeFile(dir.file("noise.pdf"), noise.replace("%PDF-", "%pdf-"));
    test::writeFile(dir.file("header.pdf"), "%PDF-1.4\n" + noise); // a header and nothing a reader could use
    // What the library makes of a truncated file: a document without pages.
    test::writeFile(dir.file("nopages.pdf"), "%PDF-1.4\n1 0 obj <</Type /Catalog /Pages 2 0 R>> endobj\n"
                                             "2 0 obj <</Type /Pages /Kids [] /Count 0>> endobj\n"
                                             "trailer <</Root 1 0 R>>\n%%EOF\n");
    const std::tuple<QString, QString, QString> cases[] = {
        {dir.file("missing.pdf"), "ALL", "The document \"" + dir.file("missing.pdf") + "\" was not found"},
        {dir.path(), "ALL", "The document \"" + dir.path() + "\" cannot be read"}, // a folder is no file
        {dir.file("empty.pdf"), "ALL", "The file \"empty.pdf\" is not a PDF document"},
        {dir.file("noise.pdf"), "ALL", "The file \"noise.pdf\" is not a PDF document"},
        {dir.file("header.pdf"), "ALL", "The PDF document \"header.pdf\" is damaged and cannot be opened"},
        {dir.file("nopages.pdf"), "ALL", "The PDF document \"nopages.pdf\" is damaged and cannot be opened"},
        {pdfFixture("truncated.pdf"), "ALL", "The PDF document \"truncated.pdf\" is damaged and cannot be opened"},
        {pdfFixture("encrypted.pdf"), "ALL", "The PDF document \"encrypted.pdf\" is password-protected"},
        {pdfFixture("plain.pdf"), "1-3,200", "Page 200 is not in the document (10 pages)"},
        {pdfFixture("badtree.pdf"), "ALL", "Page 3 of \"badtree.pdf\" is damaged"},
    };
    for (const auto& [path, range, message] : cases) {
        SCOPED_TRACE(message.toStdString());
        log::Capture capture(log::Level::Error);
        auto op = operation(path, range);
        op->start();
        EXPECT_TRUE(op->errorMessage().startsWith(message)) << op->errorMessage().toStdString();
        EXPECT_TRUE(capture.contains(message));
        // The later steps still run, on no document.
        ASSERT_EQ(results(*op), "- links outline");
        EXPECT_FALSE(xml::serialize(op->flashPagesAnnotation()->pagesAnnotationsNode(), false).contains("<anno"));
        EXPECT_TRUE(op->flashOutline()->items().empty() && op->isFinished());
    }

    // A work folder that cannot be made fails the import with the reason.
    QuillUtility::setTmpBaseFolder(dir.file("empty.pdf")); // no folder can be made inside a file
    auto noFolder = operation(pdfFixture("plain.pdf"), "1-2");
    noFolder->start();
    QuillUtility::setTmpBaseFolder(QString());
    EXPECT_FALSE(noFolder->flashPageSource());
    EXPECT_EQ(noFolder->errorMessage(),
              "Cannot create a working folder in \"" + dir.file("empty.pdf/Sheaf") + "\": Not a directory");

    // A failed outline step drops only the outline.
    log::Capture capture(log::Level::Error);
    auto cyclic = operation(pdfFixture("cyclic.pdf"));
    cyclic->start();
    EXPECT_EQ(results(*cyclic), "pages links -");
    EXPECT_EQ(cyclic->errorMessage(), "");
    EXPECT_TRUE(capture.contains("Cannot read the bookmarks"));
}

TEST(ImportOperation, CancelledBeforeOrWhileItRunsItLeavesNothing)
{
    {
        log::Capture capture(log::Level::Debug);
        Completion completion;
        auto op = operation(pdfFixture("plain.pdf"));
        op->addCompletionObserver(completion.observer());
        op->cancel();
        op->start();
        EXPECT_TRUE(op->isCancelled() && op->isFinished());
        EXPECT_EQ(completion.calls.load(), 1);
        EXPECT_EQ(results(*op), "- - -");
        EXPECT_TRUE(capture.messages().isEmpty());
    }
    // Stopped while it runs: the page conversion's stop (PageConversion) with
    // the operation's results dropped, here from another thread by the queue.
    auto op = operation(pdfFixture("plain.pdf"));
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
    EXPECT_EQ(results(*op), "- - -");
    EXPECT_EQ(queue.operationCount(), 0);
}
