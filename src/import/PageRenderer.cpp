#include "PageRenderer.h"

#include "util/Error.h"
#include "util/Log.h"

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
        // A page that cannot be loaded or measured ends the run; one that
        // cannot be drawn or written only goes without its picture.
        if (e.name() == QLatin1String(pdf::kPageMissing) || e.name() == QLatin1String(pdf::kDamaged))
            throw;
        QLOG_WARN("page %d has no picture: %@", n, e.reason());
    }
}

} // namespace quire
