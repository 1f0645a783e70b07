#include "PageRenderer.h"

#include "util/Error.h"
#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/Log.h"

#include <QFile>

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
    const QString thumbnailPath = thumbnailPathFor(path);
    QFile::remove(thumbnailPath);
    QString error;
    const std::optional<Thumbnail> thumbnail =
        m_thumbnailer.fromPixels(m_bitmap.pixels.data(), m_bitmap.width, m_bitmap.height, m_bitmap.stride);
    if (!thumbnail || !fs::makePath(fs::deletingLastPathComponent(thumbnailPath), &error)
        || !fs::writeNewFile(thumbnailPath, thumbnail->jpeg, &error))
        QLOG_WARN("Page %d has no thumbnail: %@", n, thumbnail ? error : QStringLiteral("it cannot be scaled"));
}

QString thumbnailPathFor(const QString& pagePath)
{
    return fs::join(fs::deletingLastPathComponent(pagePath), QStringLiteral("thumb"), fs::lastPathComponent(pagePath));
}

std::shared_ptr<const PageText> readPageText(const pdf::PdfDocument& doc, int n)
{
    try {
        auto text = std::make_shared<PageText>(doc.words(n - 1));
        return text->empty() ? nullptr : std::move(text);
    } catch (const std::exception& e) {
        QLOG_WARN("The words of page %d are left out: %s", n, e.what());
        return nullptr;
    }
}

} // namespace quire
