#pragma once
// One import of a document as the user asked for it: the source is checked,
// a text or RTF document is printed into a PDF first, and the PDF's pages,
// links and outline are imported. The converter runs it in its own thread;
// the import dialog queues it, so that printing a long document and
// rendering its pages never hold up the window.
#include "FlashOutline.h"
#include "FlashPageSource.h"
#include "FlashPagesAnnotations.h"
#include "ImportProgress.h"
#include "QueuedOperation.h"
#include "text/PrintedPdf.h"

#include <QSize>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace quire {

class ImportPDFOperation;

struct DocumentImportOptions {
    QString source;        // the document: a .txt, .rtf or .pdf file, or an .rtfd folder
    QString shownName;     // how messages name it; the path when empty
    QString pageRange = QStringLiteral("ALL");
    int qualityLevel = 0;  // 0 (best) to 4; see qualityForLevel
    bool importBookmarks = false;
    bool importLinks = false;
    PrintedPdf::Place place = PrintedPdf::Place::Private;
};

class DocumentImport : public QueuedOperation {
public:
    // Pages are rendered at twice the PDF's 72 units per inch.
    static constexpr int kDPI = 144;

    enum class Failure {
        None,
        Source,    // missing, unreadable, of an unknown kind, or not convertible
        Import,    // the PDF gave no pages: damaged, locked, a range it lacks
        Cancelled,
    };

    // The JPEG quality of a quality level: 0-4 give 100, 85, 65, 45, 25;
    // any other level gives 100.
    static int qualityForLevel(int level);

    struct SourceProblem {
        bool missing = false; // no file at all at the path
        QString message;      // naming the file as `shown`
    };
    // Whether the source can be imported at all, without reading it: it
    // exists, is a readable file (or an RTFD folder), and its extension is
    // txt, rtf, rtfd or pdf.
    static std::optional<SourceProblem> checkSource(const QString& source, const QString& shown);
    // Whether the name is that of a kind of document an import reads (by
    // its extension: txt, rtf, rtfd or pdf).
    static bool isDocumentName(const QString& path);

    explicit DocumentImport(DocumentImportOptions options);
    ~DocumentImport() override;
    DocumentImport(const DocumentImport&) = delete;
    DocumentImport& operator=(const DocumentImport&) = delete;

    // Set before start(). Both are called on the thread that runs start().
    void setProgressHandler(ImportProgressHandler handler) { m_progress = std::move(handler); }
    void setCompletionHandler(std::function<void()> handler) { m_completion = std::move(handler); }

    const DocumentImportOptions& options() const { return m_options; }

    void start() override;
    // Before the end, the import stops at the next page and gives no
    // results; after it, nothing changes.
    void cancel() override;
    bool isFinished() const override { return m_finished.load(); }
    bool isCancelled() const { return m_cancelled.load(); }

    // The results; meaningful once finished.
    Failure failure() const { return m_failure; }
    // What went wrong, naming the source; "" on success and on cancel.
    const QString& errorMessage() const { return m_errorMessage; }
    // The PDF the pages came from, as the user may open it: the source
    // itself, or the printed "quire.pdf" (this run's own file when the
    // shared one could not be replaced). "" when nothing was printed.
    const QString& pdfPath() const { return m_pdfPath; }
    std::shared_ptr<FlashPageSource> flashPageSource() const { return m_flashPageSource; }
    std::shared_ptr<FlashPagesAnnotations> flashPagesAnnotation() const { return m_flashPagesAnnotations; }
    std::shared_ptr<FlashOutline> flashOutline() const { return m_flashOutline; }
    // The first page as rendered: its crop box, turned by its rotation, in
    // points truncated toward zero. None when it cannot be measured.
    std::optional<QSize> firstPageSize() const { return m_firstPageSize; }

private:
    void run();
    bool preparePdf(QString& importPath);
    void importPdf(const QString& importPath);
    void fail(Failure failure, const QString& message);

    DocumentImportOptions m_options;
    ImportProgressHandler m_progress;
    std::function<void()> m_completion;

    // Kept until the import is destroyed: the import reads this run's file.
    std::unique_ptr<PrintedPdf> m_printed;
    std::mutex m_mutex; // cancel() against the running operation and the end
    std::shared_ptr<ImportPDFOperation> m_operation;

    Failure m_failure = Failure::None;
    QString m_errorMessage;
    QString m_pdfPath;
    std::shared_ptr<FlashPageSource> m_flashPageSource;
    std::shared_ptr<FlashPagesAnnotations> m_flashPagesAnnotations;
    std::shared_ptr<FlashOutline> m_flashOutline;
    std::optional<QSize> m_firstPageSize;

    std::atomic<bool> m_started{false};
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_finished{false};
};

} // namespace quire
