#include "FlashPageSourcePDF.h"

#include "ParallelPageRenderer.h"
#include "util/Format.h"
#include "util/Log.h"

#include <QFileInfo>

namespace quire {

FlashPageSourcePDF::FlashPageSourcePDF(const QString& PDFPath, const QString& pageRange, int DPI, int quality)
    : m_pageRange(pageRange), m_DPI(DPI), m_quality(quality)
{
    setSourceFile(PDFPath);
    try {
        m_PDFDoc = pdf::PdfDocument::open(PDFPath);
    } catch (const Error& e) {
        m_openError = e;
    }
    m_toPageConverter = std::make_unique<PDFToSWFPageConverter>(PDFPath, m_PDFDoc, quality);
    m_needToImportPages = parsePageRange(pageRange, m_PDFDoc ? m_PDFDoc->pageCount() : 0);
}

void FlashPageSourcePDF::checkPagesExist() const
{
    const int count = m_PDFDoc->pageCount();
    for (int n : m_needToImportPages)
        if (n < 1 || n > count)
            throw Error(QString::fromLatin1(pdf::kPageMissing), pdf::pageNotInDocument(n, count));
}

void FlashPageSourcePDF::generatePages()
{
    if (!m_PDFDoc)
        throw *m_openError;
    checkPagesExist();
    // A range of no pages would leave a book of nothing.
    if (m_needToImportPages.empty())
        throw Error(QStringLiteral("ERROR_PAGE_RANGE_EMPTY"),
                    formatMessage("The page range \"%@\" names no pages", {m_pageRange}));

    readLabels();
    const size_t total = m_needToImportPages.size();
    const int workers = m_renderWorkers > 0 ? m_renderWorkers : ParallelPageRenderer::defaultWorkerCount();
    if (workers <= 1 || total <= 1) {
        for (size_t i = 0; i < total; ++i) {
            if (stop())
                return;
            const int n = m_needToImportPages[i];
            const QString path = textOr(m_toPageConverter->generatePage(n));
            addPage(i, n, path, readPageText(*m_PDFDoc, n));
        }
        return;
    }

    PDFToPageConverter* converter = m_toPageConverter.get();
    ParallelPageRenderer renderer(
        m_PDFDoc, m_needToImportPages, m_quality, [converter](int n) { return converter->pagePath(n); }, workers,
        [this] { return stop(); });
    for (size_t i = 0; i < total; ++i) {
        if (stop() || !renderer.waitFor(i))
            break;
        const int n = m_needToImportPages[i];
        addPage(i, n, converter->pagePath(n), renderer.text(i));
    }
    renderer.finish();
}

void FlashPageSourcePDF::readLabels()
{
    try {
        m_labels = m_PDFDoc->pageLabels();
    } catch (const Error& e) {
        // The pages still have their numbers.
        QLOG_WARN("The page labels are left out: %@", e.description());
        m_labels.clear();
    }
}

void FlashPageSourcePDF::addPage(size_t position, int pageNumber, const QString& path,
                                 std::shared_ptr<const PageText> text)
{
    auto page = std::make_unique<FlashPage>(path, pageNumber);
    page->setPageText(std::move(text));
    if (size_t(pageNumber - 1) < m_labels.size())
        page->setPageLabel(m_labels[size_t(pageNumber - 1)]);
    pages().push_back(std::move(page));
    if (const QString thumbnail = thumbnailPathFor(path); QFileInfo(thumbnail).isFile())
        thumbPages().push_back(std::make_unique<FlashPage>(thumbnail, pageNumber));
    post(int(position) + 1, kProgressTypePage);
}

void FlashPageSourcePDF::generateNormalPages()
{
    for (size_t i = 0; i < pages().size(); ++i) {
        if (stop())
            return;
        const FlashPage& page = *pages()[i];
        if (!FlashPageSource::getNormalPageAtIndex(page.pageIndex()))
            normalPages().push_back(page.copyPage(100, 100));
        post(int(i) + 1, kProgressTypeNormalPage);
    }
}

FlashPage* FlashPageSourcePDF::getNormalPageAtIndex(int pageIndex) const
{
    if (stop())
        return nullptr;
    return FlashPageSource::getNormalPageAtIndex(pageIndex);
}

std::optional<QSize> FlashPageSourcePDF::firstPageSize() const
{
    if (!m_PDFDoc)
        return std::nullopt;
    try {
        const pdf::Rect shown = m_PDFDoc->displayedBounds(0);
        return QSize(int(shown.width), int(shown.height));
    } catch (const Error&) {
        return std::nullopt;
    }
}

void FlashPageSourcePDF::post(int pageIndex, const QString& type) const
{
    if (m_progress)
        m_progress(ImportProgressInfo{pageIndex, int(m_needToImportPages.size()), type});
}

} // namespace quire
