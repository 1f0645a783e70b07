#pragma once
// The outline of a book read from the bookmarks of a PDF document.
#include "FlashOutline.h"
#include "PdfDocument.h"

namespace quire {

class FlashOutlinePDF : public FlashOutline {
public:
    // Appends the document's bookmarks to items(); nothing without a
    // document or bookmarks. Page numbers are the document's, from 1.
    void loadOutlineFromPDF(const pdf::PdfDocument* pdfDoc);

    // Adds the children of node below item, whose level is `level`.
    void addOutelineToItems(FlashOutlineItem* item, const pdf::OutlineNode& node, int level,
                            const pdf::PdfDocument* pdfDoc);

    // A bookmark without a target page (a web link, or none at all) points
    // at its parent's page, or the first page at the top level, so that
    // every entry names a page the viewer can show.
    static int pageNumberFor(const pdf::OutlineNode& node, const FlashOutlineItem* parent);
};

} // namespace quire
