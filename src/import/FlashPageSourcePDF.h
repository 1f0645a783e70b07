#pragma once
// The pages of an imported PDF document: one JPEG file per page number of
// the range, in the work folder of the source's converter.
#include "FlashPageSource.h"
#include "ImportProgress.h"
#include "PDFToPageConverter.h"
#include "PdfDocument.h"
#include "util/Error.h"

#include <QSize>
#include <memory>
#include <optional>
#include <vector>

namespace quire {

class FlashPageSourcePDF : public FlashPageSource {
public:
    // Opens the document; a document that cannot be opened is kept as the
    // reason, and generatePages() fails with it.
    FlashPageSourcePDF(const QString& PDFPath, const QString& pageRange, int DPI, int quality);

    // Renders the pages of the range in order and reads their words and
    // labels. Throws Error when the document
    // could not be opened, when the range names a page the document lacks,
    // or when a page cannot be loaded; pages made before a stop stay.
    void generatePages() override;
    void generateNormalPages() override;
    // No page at all once stop is set.
    FlashPage* getNormalPageAtIndex(int pageIndex) const override;

    const std::shared_ptr<pdf::PdfDocument>& PDFDoc() const { return m_PDFDoc; }
    const QString& pageRange() const { return m_pageRange; }
    int DPI() const { return m_DPI; }
    int quality() const { return m_quality; }
    PDFToPageConverter* toPageConverter() const { return m_toPageConverter.get(); }
    const std::vector<int>& needToImportPages() const { return m_needToImportPages; }

    // The book's page size: the document's first page as it is rendered
    // (its crop box, turned by its rotation), in points truncated toward
    // zero. None without a document or when that page cannot be measured.
    std::optional<QSize> firstPageSize() const;

    // Why the document could not be opened; none when it is open.
    const std::optional<Error>& openError() const { return m_openError; }

    // Receives the progress message; called on the producing thread.
    void setProgressHandler(ImportProgressHandler handler) { m_progress = std::move(handler); }
    // Threads that render pages: 1 renders in the calling thread; 0 (the
    // default) takes the online cores, at most 4.
    void setRenderWorkers(int workers) { m_renderWorkers = workers; }
    int renderWorkers() const { return m_renderWorkers; }

private:
    void checkPagesExist() const;
    void addPage(size_t position, int pageNumber, const QString& path, std::shared_ptr<const PageText> text);
    void readLabels();
    void post(int pageIndex, const QString& type) const;

    std::shared_ptr<pdf::PdfDocument> m_PDFDoc;
    QString m_pageRange;
    int m_DPI;
    int m_quality;
    std::unique_ptr<PDFToPageConverter> m_toPageConverter;
    std::vector<int> m_needToImportPages;
    std::optional<Error> m_openError;
    std::vector<Text> m_labels; // by document page position; empty without labels
    ImportProgressHandler m_progress;
    int m_renderWorkers = 0;
};

} // namespace quire
