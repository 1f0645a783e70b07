#include "PageRenderer.h"

#include "util/Error.h"
#include "util/Log.h"

#include <cmath>

namespace quire {

PageRenderer::PageRenderer(std::shared_ptr<pdf::PdfDocument> doc, int quality)
    : m_doc(std::move(doc)), m_quality(quality)
{
}

std::pair<int, int> PageRenderer::pixelSize(const pdf::Rect& displayed)
{
    // 144 dpi over the 72 points of an inch.
    constexpr double kScale = 144.0 / 72.0;
    return {int(std::lround(displayed.width * kScale)), int(std::lround(displayed.height * kScale))};
}

void PageRenderer::renderPage(int n, const QString& path)
{
    const auto [width, height] = pixelSize(m_doc->displayedBounds(n - 1));
    try {
        m_doc->render(n - 1, width, height, m_bitmap);
        m_writer.write(m_bitmap, m_quality, path);
    } catch (const Error& e) {
        QLOG_WARN("page %d has no picture: %@", n, e.reason());
    }
}

} // namespace quire
