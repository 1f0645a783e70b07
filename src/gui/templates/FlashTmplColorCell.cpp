#include "FlashTmplColorCell.h"

#include "templates/ColorText.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace quire {

void FlashTmplColorCell::setColor2(const QColor& color)
{
    iColor = color;
    if (const Text text = colorToHexRGB(color))
        setStringValue(*text);
}

QRect FlashTmplColorCell::imageRectForBounds(const QRect& bounds) const
{
    return {bounds.x() + 5, bounds.y() + 1, 15, 15};
}

std::optional<QRect> FlashTmplColorCell::buttonRectForBounds(const QRect& bounds) const
{
    return imageRectForBounds(bounds);
}

QRect FlashTmplColorCell::titleRectForBounds(const QRect& bounds) const
{
    const QSize text = textSize();
    return {bounds.x() + 24, bounds.y() + 1, std::min(text.width(), std::max(0, bounds.width() - 41)),
            text.height()};
}

QSize FlashTmplColorCell::cellSizeForBounds(const QRect& bounds) const
{
    return {std::min(textSize().width() + 41, bounds.width()), std::min(17, bounds.height())};
}

QRect FlashTmplColorCell::editingRectForBounds(const QRect& bounds) const
{
    const int x = titleRectForBounds(bounds).x();
    return {x, bounds.y(), std::max(0, bounds.x() + bounds.width() - x), bounds.height()};
}

InfoButtonCell::Hit FlashTmplColorCell::hitTestForPoint(const QPoint& point, const QRect& bounds) const
{
    if (imageRectForBounds(bounds).contains(point))
        return Hit::Trackable;
    if (titleRectForBounds(bounds).contains(point))
        return Hit::EditableText;
    return Hit::None;
}

void FlashTmplColorCell::drawInterior(QPainter& painter, const QRect& bounds, const QPalette& palette) const
{
    painter.save();
    const QRect swatch = imageRectForBounds(bounds);
    // The frame darkens under the pointer to show that the swatch is a button.
    const QColor frame = mouseDownInInfoButton() ? palette.color(QPalette::Shadow)
        : mouseHoveredInInfoButton()             ? palette.color(QPalette::Dark)
                                                 : QColor(Qt::gray);
    painter.setPen(QPen(frame, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(swatch).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.fillRect(swatch.adjusted(1, 1, -1, -1), iColor);

    if (!stringValue().isEmpty()) {
        const QRect title = titleRectForBounds(bounds);
        painter.setFont(font());
        painter.setPen(textColor(palette));
        const QString shown = QFontMetrics(font()).elidedText(stringValue(), Qt::ElideRight, title.width());
        painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    }
    painter.restore();
}

} // namespace quire
