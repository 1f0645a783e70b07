#pragma once
// Renders single pages of one document into JPEG files. Holds one page
// picture at a time and reuses it, and the encoder, for every page.
#include "JpegWriter.h"
#include "PdfDocument.h"

#include <memory>

namespace quire {

class PageRenderer {
public:
    PageRenderer(std::shared_ptr<pdf::PdfDocument> doc, int quality);

    // Renders page n (counted from 1) at twice its size in points into a
    // JPEG file at path. Throws quire::Error naming the page when it cannot
    // be loaded, measured, drawn, encoded or written.
    void renderPage(int n, const QString& path);

private:
    std::shared_ptr<pdf::PdfDocument> m_doc;
    int m_quality;
    JpegWriter m_writer;
    pdf::Bitmap m_bitmap;
};

} // namespace quire
