#include "InfoButtonCell.h"

#include "util/Resources.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <cmath>
#include <QPainter>

namespace quire {

InfoButtonCell::InfoButtonCell(const QString& text, const QFont& font) : m_text(text), m_font(font) {}

QSize InfoButtonCell::textSize() const
{
    // Rounded up, so that a text given its natural width is never elided.
    const QFontMetricsF metrics(m_font);
    return {int(std::ceil(metrics.horizontalAdvance(m_text))), int(std::ceil(metrics.height()))};
}

QString InfoButtonCell::infoButtonImageName() const
{
    const QString state = iMouseDownInInfoButton ? QStringLiteral("-mouse")
        : iMouseHoveredInInfoButton              ? QStringLiteral("-hovered")
                                                 : QString();
    return QStringLiteral("info-") + (m_highlighted ? QStringLiteral("selected") : QStringLiteral("normal"))
        + state;
}

QColor InfoButtonCell::textColor(const QPalette& palette) const
{
    return palette.color(m_highlighted ? QPalette::HighlightedText : QPalette::Text);
}

void InfoButtonCell::drawInfoButton(QPainter& painter, const QRect& rect) const
{
    const QImage picture = namedResourcePicture(infoButtonImageName(), painter.device()->devicePixelRatioF());
    if (!picture.isNull())
        painter.drawImage(rect, picture);
}

QImage namedResourcePicture(const QString& name, qreal devicePixelRatio)
{
    // Images, not pixmaps: the cache outlives the application object.
    static QHash<QString, QImage> cache;
    QString path = resourcePath(name + QStringLiteral(".png"));
    qreal ratio = 1;
    if (devicePixelRatio > 1.01) {
        const QString doubled = resourcePath(name + QStringLiteral("@2x.png"));
        if (QFileInfo::exists(doubled)) {
            path = doubled;
            ratio = 2;
        }
    }
    auto found = cache.constFind(path);
    if (found == cache.constEnd()) {
        QImage picture(path);
        picture.setDevicePixelRatio(ratio);
        found = cache.insert(path, picture);
    }
    return *found;
}

} // namespace quire
