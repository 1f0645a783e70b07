#include "FlashTmplFileCell.h"

#include <QPainter>
#include <algorithm>

namespace quire {

QRect FlashTmplFileCell::titleRectForBounds(const QRect& bounds) const
{
    const QSize text = textSize();
    return {bounds.x() + 4, bounds.y() + 1, std::min(text.width(), std::max(0, bounds.width() - 21)),
            text.height()};
}

QRect FlashTmplFileCell::infoButtonRectForBounds(const QRect& bounds) const
{
    return {bounds.x() + bounds.width() - 14, titleRectForBounds(bounds).y() + 2, 13, 13};
}

std::optional<QRect> FlashTmplFileCell::buttonRectForBounds(const QRect& bounds) const
{
    return infoButtonRectForBounds(bounds);
}

QSize FlashTmplFileCell::cellSizeForBounds(const QRect& bounds) const
{
    return {std::min(textSize().width() + 21, bounds.width()), std::min(17, bounds.height())};
}

QRect FlashTmplFileCell::editingRectForBounds(const QRect& bounds) const
{
    const int x = titleRectForBounds(bounds).x() - 2;
    return {x, bounds.y(), std::max(0, bounds.x() + bounds.width() - x), bounds.height()};
}

InfoButtonCell::Hit FlashTmplFileCell::hitTestForPoint(const QPoint& point, const QRect& bounds) const
{
    if (infoButtonRectForBounds(bounds).contains(point))
        return Hit::Trackable;
    if (titleRectForBounds(bounds).contains(point))
        return Hit::EditableText;
    return Hit::None;
}

void FlashTmplFileCell::drawInterior(QPainter& painter, const QRect& bounds, const QPalette& palette) const
{
    painter.save();
    if (!stringValue().isEmpty()) {
        const QRect title = titleRectForBounds(bounds);
        painter.setClipRect(title);
        painter.setFont(font());
        painter.setPen(textColor(palette));
        // Paths are not shortened with an ellipsis: what fits is shown as it is.
        painter.drawText(title, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, stringValue());
        painter.setClipping(false);
    }
    drawInfoButton(painter, infoButtonRectForBounds(bounds));
    painter.restore();
}

} // namespace quire
