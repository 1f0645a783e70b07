#pragma once
// One import of a PDF document: the pages, then optionally the links and the
// outline. Runs on a worker thread (or synchronously in the caller's) and
// can be cancelled from any thread at any moment.
#include "FlashOutline.h"
#include "FlashPageSource.h"
#include "FlashPagesAnnotations.h"
#include "ImportProgress.h"
#include "QueuedOperation.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace quire {

class ImportPDFOperation : public QueuedOperation {
public:
    using CompletionObserver = std::function<void(ImportPDFOperation&)>;

    ImportPDFOperation(const QString& PDFPath, const QString& pageRange, int DPI, int quality);
    ImportPDFOperation(const ImportPDFOperation&) = delete;
    ImportPDFOperation& operator=(const ImportPDFOperation&) = delete;

    // Options; set them before the operation runs.
    void setImportLinks(bool importLinks) { m_importLinks = importLinks; }
    bool importLinks() const { return m_importLinks; }
    void setImportBookmarks(bool importBookmarks) { m_importBookmarks = importBookmarks; }
    bool importBookmarks() const { return m_importBookmarks; }
    // Receives the progress messages, on the thread that runs the operation.
    void setProgressHandler(ImportProgressHandler handler) { m_progress = std::move(handler); }
    // Threads that render pages; 0 takes the online cores (at most 4).
    void setRenderWorkers(int workers) { m_renderWorkers = workers; }

    const QString& PDFPath() const { return m_PDFPath; }
    const QString& pageRange() const { return m_pageRange; }
    int DPI() const { return m_DPI; }
    int quality() const { return m_quality; }

    // The results; meaningful once finished.
    std::shared_ptr<FlashPageSource> flashPageSource() const;
    std::shared_ptr<FlashPagesAnnotations> flashPagesAnnotation() const;
    std::shared_ptr<FlashOutline> flashOutline() const;
    // Why the pages could not be imported, in words for the user; "" when
    // they were (or the operation was cancelled).
    QString errorMessage() const;

    // Runs the operation in the calling thread, then tells the observers. An
    // operation runs once; later calls do nothing.
    void start() override;
    // The body of start(): the import itself. Catches every failure.
    void main();

    // Requests cancellation; any thread, any time. After the operation has
    // finished it changes nothing.
    void cancel() override;
    bool isCancelled() const { return m_cancelled.load(); }
    bool isFinished() const override { return m_finished.load(); }

    // Told once, on the thread that finished the operation; an observer added
    // after that is told at once, on the caller's thread.
    void addCompletionObserver(CompletionObserver observer);
    // Blocks until the operation has finished and its observers returned.
    void waitUntilFinished();

private:
    template <typename T>
    void setResult(std::shared_ptr<T>& field, std::shared_ptr<T> value);

    QString m_PDFPath;
    QString m_pageRange;
    int m_DPI;
    int m_quality;
    bool m_importLinks = false;
    bool m_importBookmarks = false;
    int m_renderWorkers = 0;
    ImportProgressHandler m_progress;

    mutable std::mutex m_mutex; // results, observers, and cancel against the end of main
    std::shared_ptr<FlashPageSource> m_flashPageSource;
    std::shared_ptr<FlashPagesAnnotations> m_flashPagesAnnotation;
    std::shared_ptr<FlashOutline> m_flashOutline;
    QString m_errorMessage;
    bool m_resultsFinal = false;
    bool m_observersDone = false;
    std::vector<CompletionObserver> m_observers;
    std::condition_variable m_done;

    std::atomic<bool> m_started{false};
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_finished{false};
};

} // namespace quire
