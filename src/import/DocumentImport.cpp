#include "DocumentImport.h"

#include "FlashPageSourcePDF.h"
#include "ImportPDFOperation.h"
#include "text/TextToPdf.h"
#include "util/FileUtil.h"
#include "util/Log.h"

#include <QFileInfo>
#include <QThread>

namespace quire {

int DocumentImport::qualityForLevel(int level)
{
    switch (level) {
    case 1: return 85;
    case 2: return 65;
    case 3: return 45;
    case 4: return 25;
    default: return 100;
    }
}

std::optional<DocumentImport::SourceProblem> DocumentImport::checkSource(const QString& source, const QString& shown)
{
    const QFileInfo info(source);
    if (!info.exists())
        return SourceProblem{true, QStringLiteral("%1: no such file").arg(shown)};
    if (!TextToPdf::isReadableSource(source))
        return SourceProblem{false, QStringLiteral("%1: not a readable file").arg(shown)};
    const QString extension = fs::pathExtension(source).toLower();
    if (!isDocumentName(source))
        return SourceProblem{
            false, QStringLiteral("%1: unknown kind of document \"%2\" (use a .txt, .rtf, .rtfd or .pdf file)")
                       .arg(shown, extension.isEmpty() ? QStringLiteral("no extension") : "." + extension)};
    return std::nullopt;
}

bool DocumentImport::isDocumentName(const QString& path)
{
    return fs::pathExtension(path).toLower() == QLatin1String("pdf") || TextToPdf::converts(path);
}

DocumentImport::DocumentImport(DocumentImportOptions options) : m_options(std::move(options))
{
    if (m_options.shownName.isEmpty())
        m_options.shownName = m_options.source;
}

DocumentImport::~DocumentImport() = default;

void DocumentImport::start()
{
    if (m_started.exchange(true))
        return;
    run();
    {
        // A cancel that came before the end leaves no results, whatever the
        // steps had made by then; one after the end changes nothing.
        std::lock_guard lock(m_mutex);
        if (isCancelled()) {
            m_flashPageSource.reset();
            m_flashPagesAnnotations.reset();
            m_flashOutline.reset();
            m_firstPageSize.reset();
            fail(Failure::Cancelled, QString());
        }
        m_finished.store(true);
    }
    if (m_completion)
        m_completion();
}

void DocumentImport::cancel()
{
    std::lock_guard lock(m_mutex);
    if (isFinished())
        return;
    m_cancelled.store(true);
    if (m_operation)
        m_operation->cancel();
}

void DocumentImport::fail(Failure failure, const QString& message)
{
    m_failure = failure;
    m_errorMessage = message;
}

void DocumentImport::run()
{
    if (isCancelled())
        return fail(Failure::Cancelled, QString());
    if (const auto problem = checkSource(m_options.source, m_options.shownName))
        return fail(Failure::Source, problem->message);
    QString importPath;
    if (!preparePdf(importPath))
        return;
    if (isCancelled())
        return fail(Failure::Cancelled, QString());
    importPdf(importPath);
}

// A PDF is read as it is; text and RTF are printed into a file of this run's
// own, which the import then reads.
bool DocumentImport::preparePdf(QString& importPath)
{
    if (fs::pathExtension(m_options.source).toLower() == QLatin1String("pdf")) {
        importPath = m_pdfPath = QFileInfo(m_options.source).absoluteFilePath();
        return true;
    }
    // Text layout starts timers, which work only in a thread Qt started (with
    // an event dispatcher): a worker of the import queue is not one.
    const std::unique_ptr<QThread> printer(
        QThread::create([this] { m_printed = PrintedPdf::print(m_options.source, m_options.place); }));
    printer->start();
    printer->wait();
    if (!m_printed->result().ok) {
        fail(Failure::Source, m_printed->result().error);
        return false;
    }
    importPath = m_printed->path();
    m_pdfPath = m_printed->sharedPath().isEmpty() ? importPath : m_printed->sharedPath();
    return true;
}

void DocumentImport::importPdf(const QString& importPath)
{
    auto operation = std::make_shared<ImportPDFOperation>(importPath, m_options.pageRange, kDPI,
                                                          qualityForLevel(m_options.qualityLevel));
    operation->setImportBookmarks(m_options.importBookmarks);
    operation->setImportLinks(m_options.importLinks);
    operation->setProgressHandler(m_progress);
    {
        std::lock_guard lock(m_mutex);
        m_operation = operation;
        if (isCancelled())
            operation->cancel();
    }
    operation->start();

    m_flashPageSource = operation->flashPageSource();
    m_flashPagesAnnotations = operation->flashPagesAnnotation();
    m_flashOutline = operation->flashOutline();
    if (!m_flashPageSource) {
        if (operation->isCancelled())
            return fail(Failure::Cancelled, QString());
        const QString why =
            operation->errorMessage().isEmpty() ? QStringLiteral("the import failed") : operation->errorMessage();
        return fail(Failure::Import, QStringLiteral("%1: %2").arg(m_options.shownName, why));
    }
    if (const auto* pdfPages = dynamic_cast<const FlashPageSourcePDF*>(m_flashPageSource.get()))
        m_firstPageSize = pdfPages->firstPageSize();
}

} // namespace quire
