#include "ImportPDFOperation.h"

#include "FlashOutlinePDF.h"
#include "FlashPageSourcePDF.h"
#include "FlashPagesAnnotationsPDF.h"
#include "app/QuillUtility.h"
#include "util/Error.h"
#include "util/Log.h"

namespace quire {
namespace {

QString describe(const std::exception& e)
{
    if (const auto* error = dynamic_cast<const Error*>(&e))
        return error->description();
    return QString::fromUtf8(e.what());
}

} // namespace

ImportPDFOperation::ImportPDFOperation(const QString& PDFPath, const QString& pageRange, int DPI, int quality)
    : m_PDFPath(PDFPath), m_pageRange(pageRange), m_DPI(DPI), m_quality(quality)
{
}

std::shared_ptr<FlashPageSource> ImportPDFOperation::flashPageSource() const
{
    std::lock_guard lock(m_mutex);
    return m_flashPageSource;
}

std::shared_ptr<FlashPagesAnnotations> ImportPDFOperation::flashPagesAnnotation() const
{
    std::lock_guard lock(m_mutex);
    return m_flashPagesAnnotation;
}

std::shared_ptr<FlashOutline> ImportPDFOperation::flashOutline() const
{
    std::lock_guard lock(m_mutex);
    return m_flashOutline;
}

QString ImportPDFOperation::errorMessage() const
{
    std::lock_guard lock(m_mutex);
    return m_errorMessage;
}

template <typename T>
void ImportPDFOperation::setResult(std::shared_ptr<T>& field, std::shared_ptr<T> value)
{
    std::lock_guard lock(m_mutex);
    field = std::move(value);
}

void ImportPDFOperation::main()
{
    if (isCancelled())
        return;

    // Pages. The source is published before it works, so that a cancel from
    // another thread either finds it and stops it, or is seen by it here.
    std::shared_ptr<FlashPageSourcePDF> source;
    try {
        // Imports that were killed left their work folders behind.
        QuillUtility::sweepTmpDiractories(QLatin1String(PDFToPageConverter::kWorkFolderName));
        source = std::make_shared<FlashPageSourcePDF>(m_PDFPath, m_pageRange, m_DPI, m_quality);
        source->setProgressHandler(m_progress);
        source->setRenderWorkers(m_renderWorkers);
        {
            std::lock_guard lock(m_mutex);
            m_flashPageSource = source;
            if (m_cancelled.load())
                source->setStop(true);
        }
        QLOG_DEBUG("before generate pages");
        source->generatePages();
        QLOG_DEBUG("after generate pages");
        QLOG_DEBUG("before generateNormalPages");
        source->generateNormalPages();
        QLOG_DEBUG("after generateNormalPages");
    } catch (const std::exception& e) {
        QLOG_ERROR("Run Import PDF Operation error,import pages:%@", describe(e));
        {
            std::lock_guard lock(m_mutex);
            m_errorMessage = describe(e);
            m_flashPageSource.reset();
        }
        source.reset(); // its work folder goes with it
    }
    const std::shared_ptr<pdf::PdfDocument> doc = source ? source->PDFDoc() : nullptr;

    if (!isCancelled() && m_importLinks) {
        auto annotations = std::make_shared<FlashPagesAnnotationsPDF>();
        try {
            annotations->loadLinksFromPDF(doc, m_pageRange);
        } catch (const std::exception& e) {
            QLOG_ERROR("Run Import PDF Operation error,import links:%@", describe(e));
            annotations.reset();
        }
        setResult<FlashPagesAnnotations>(m_flashPagesAnnotation, std::move(annotations));
    }

    if (!isCancelled() && m_importBookmarks) {
        auto outline = std::make_shared<FlashOutlinePDF>();
        try {
            outline->loadOutlineFromPDF(doc.get());
        } catch (const std::exception& e) {
            QLOG_ERROR("Run Import PDF Operation error,import outline:%@", describe(e));
            outline.reset();
        }
        setResult<FlashOutline>(m_flashOutline, std::move(outline));
    }

    // From here on a cancel no longer touches the results.
    std::shared_ptr<FlashPageSource> discarded;
    std::lock_guard lock(m_mutex);
    if (m_cancelled.load()) {
        QLOG_DEBUG("import pdf is cancelled");
        discarded = std::move(m_flashPageSource);
        m_flashPagesAnnotation.reset();
        m_flashOutline.reset();
        m_errorMessage.clear();
    }
    m_resultsFinal = true;
}

void ImportPDFOperation::start()
{
    if (m_started.exchange(true))
        return;
    try {
        main();
    } catch (const std::exception& e) {
        // main() catches what its steps raise; this is only a last guard.
        QLOG_ERROR("Run Import PDF Operation error:%@", describe(e));
    }

    std::vector<CompletionObserver> observers;
    {
        std::lock_guard lock(m_mutex);
        m_resultsFinal = true;
        m_finished.store(true);
        observers.swap(m_observers);
    }
    for (auto& observer : observers)
        observer(*this);
    {
        std::lock_guard lock(m_mutex);
        m_observersDone = true;
    }
    m_done.notify_all();
}

void ImportPDFOperation::cancel()
{
    std::lock_guard lock(m_mutex);
    m_cancelled.store(true);
    if (!m_resultsFinal && m_flashPageSource)
        m_flashPageSource->setStop(true);
}

void ImportPDFOperation::addCompletionObserver(CompletionObserver observer)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_finished.load()) {
            m_observers.push_back(std::move(observer));
            return;
        }
    }
    observer(*this);
}

void ImportPDFOperation::waitUntilFinished()
{
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_observersDone; });
}

} // namespace quire
