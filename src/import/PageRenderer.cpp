#include "PageRenderer.h"

#include "util/Error.h"
#include "util/Format.h"

namespace quire {

PageRenderer::PageRenderer(std::shared_ptr<pdf::PdfDocument> doc, int quality)
    : m_doc(std::move(doc)), m_quality(quality)
{
}

void PageRenderer::renderPage(int n, const QString& path)
{
    // 144 dpi over the 72 points of an inch.
    constexpr double kScale = 144.0 / 72.0;
    try {
        m_doc->renderScaled(n - 1, kScale, m_bitmap);
        m_writer.write(m_bitmap, m_quality, path);
    } catch (const Error& e) {
        // A book with a page missing is no book: every failure ends the run,
        // named by the page (the document's own errors already are).
        if (e.reason().startsWith(formatMessage("Page %d ", {n})))
            throw;
        throw Error(e.name(), formatMessage("Page %d: %@", {n, e.reason()}));
    }
}

} // namespace quire
