#pragma once
// The links of an imported PDF document as the viewer's annotations: one
// "pageAnnos" per imported page, each link an "anno" with its action and its
// area as fractions of the page as rendered.
#include "FlashPagesAnnotations.h"
#include "PdfDocument.h"

#include <QString>
#include <memory>
#include <vector>

namespace quire {

class FlashPagesAnnotationsPDF : public FlashPagesAnnotations {
public:
    // Replaces the element with one for the pages of the range; without a
    // document every requested page gets an empty "pageAnnos".
    void loadLinksFromPDF(std::shared_ptr<pdf::PdfDocument> pdfDoc, const QString& pageRange);
    // Scans the page at currentIndex() and appends its "pageAnnos".
    void parsePage();

    const std::shared_ptr<pdf::PdfDocument>& pdfDoc() const { return m_pdfDoc; }
    void setPdfDoc(std::shared_ptr<pdf::PdfDocument> doc) { m_pdfDoc = std::move(doc); }
    const std::vector<int>& needToImportPages() const { return m_needToImportPages; }
    int currentIndex() const { return m_currentIndex; }

    // The "anno" element of one link on a page whose displayed bounds are
    // `page`; null for a link with neither an address the viewer can open
    // nor a target page. A web address wins over a target page.
    static xml::NodePtr annoForLink(const pdf::Link& link, const pdf::Rect& page);
    // The address as the viewer opens it: an absolute http, https or mailto
    // address, percent-encoded. None for anything else (another PDF file, a
    // program, a script, a name relative to nothing the book holds).
    static Text viewerAddress(const QString& address);

private:
    std::vector<int> m_needToImportPages;
    std::shared_ptr<pdf::PdfDocument> m_pdfDoc;
    int m_currentIndex = 0;
};

} // namespace quire
