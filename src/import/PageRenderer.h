#pragma once
// Renders single pages of one document into JPEG files, each with its
// thumbnail beside it. Holds one page picture at a time and reuses it, and
// the coders, for every page.
#include "JpegThumbnailer.h"
#include "JpegWriter.h"
#include "PdfDocument.h"

#include <memory>

namespace quire {

class PageRenderer {
public:
    PageRenderer(std::shared_ptr<pdf::PdfDocument> doc, int quality);

    // Renders page n (counted from 1) at twice its size in points into a
    // JPEG file at path. Throws quire::Error naming the page when it cannot
    // be loaded, measured, drawn, encoded or written. The thumbnail goes to
    // thumbnailPathFor(path); a thumbnail that cannot be made is left out.
    void renderPage(int n, const QString& path);
    const pdf::PdfDocument& document() const { return *m_doc; }

private:
    std::shared_ptr<pdf::PdfDocument> m_doc;
    int m_quality;
    JpegWriter m_writer;
    JpegThumbnailer m_thumbnailer;
    pdf::Bitmap m_bitmap;
};

// Where the thumbnail of the page picture at path lies: "F/12.jpg" has
// "F/thumb/12.jpg".
QString thumbnailPathFor(const QString& pagePath);

// The words of page n (counted from 1); null when it has none. A page whose
// words cannot be read is a page without words: logged, never a failure,
// since its picture is all the book needs.
std::shared_ptr<const PageText> readPageText(const pdf::PdfDocument& doc, int n);

} // namespace quire
