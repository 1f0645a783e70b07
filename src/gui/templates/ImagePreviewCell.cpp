#include "ImagePreviewCell.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace quire {
namespace {

constexpr int kPictureSide = 32;

// How far a side shorter than the picture box moves to sit in its middle.
int centringOffset(qreal side)
{
    return side < kPictureSide ? int(std::lround((kPictureSide - side) / 2)) : 0;
}

} // namespace

std::optional<ImagePreviewCell::SubTitle> ImagePreviewCell::attributedSubTitle() const
{
    if (!iSubTitle)
        return std::nullopt;
    return SubTitle{*iSubTitle, isHighlighted() ? QColor(Qt::lightGray) : QColor(Qt::gray)};
}

QRect ImagePreviewCell::imageRectForBounds(const QRect& bounds) const
{
    if (iImage.isNull())
        return {bounds.x() + 5, bounds.y() + 4, kPictureSide, kPictureSide};
    const QSizeF size = iImage.deviceIndependentSize();
    return {bounds.x() + 5 + centringOffset(size.width()), bounds.y() + 4 + centringOffset(size.height()),
            int(std::lround(size.width())), int(std::lround(size.height()))};
}

QRect ImagePreviewCell::titleRectForBounds(const QRect& bounds) const
{
    const QSize text = textSize();
    return {bounds.x() + 41, bounds.y() + 4, std::min(text.width(), std::max(0, bounds.width() - 58)),
            text.height()};
}

QRect ImagePreviewCell::subTitleRectForBounds(const QRect& bounds) const
{
    const QRect title = titleRectForBounds(bounds);
    const int natural = iSubTitle ? QFontMetrics(font()).horizontalAdvance(*iSubTitle) : 0;
    const int room = std::max(0, bounds.x() + bounds.width() - title.x());
    return {title.x(), title.y() + title.height(), std::min(natural, room), title.height()};
}

std::optional<QRect> ImagePreviewCell::infoButtonRectForBounds(const QRect& bounds) const
{
    const QRect title = titleRectForBounds(bounds);
    const QRect button(title.x() + textSize().width() + 4, title.y() + 2, 13, 13);
    if (button.x() + button.width() > bounds.x() + bounds.width())
        return std::nullopt;
    return button;
}

std::optional<QRect> ImagePreviewCell::buttonRectForBounds(const QRect& bounds) const
{
    return infoButtonRectForBounds(bounds);
}

QSize ImagePreviewCell::cellSizeForBounds(const QRect& bounds) const
{
    return {std::min(textSize().width() + 58, bounds.width()), std::min(40, bounds.height())};
}

QRect ImagePreviewCell::editingRectForBounds(const QRect& bounds) const
{
    return bounds;
}

InfoButtonCell::Hit ImagePreviewCell::hitTestForPoint(const QPoint& point, const QRect& bounds) const
{
    if (const auto button = infoButtonRectForBounds(bounds); button && button->contains(point))
        return Hit::Trackable;
    if (titleRectForBounds(bounds).contains(point))
        return Hit::EditableText;
    if (imageRectForBounds(bounds).contains(point) || (iSubTitle && subTitleRectForBounds(bounds).contains(point)))
        return Hit::Content;
    return Hit::None;
}

void ImagePreviewCell::drawInterior(QPainter& painter, const QRect& bounds, const QPalette& palette) const
{
    painter.save();
    const QRect picture = imageRectForBounds(bounds);
    if (!iImage.isNull()) {
        painter.drawImage(picture, iImage);
    } else {
        QPen dashes(Qt::gray, 1);
        dashes.setDashPattern({4, 2});
        painter.setPen(dashes);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(picture).adjusted(0.5, 0.5, -0.5, -0.5));
    }

    const QFontMetrics metrics(font());
    painter.setFont(font());
    const QRect title = titleRectForBounds(bounds);
    painter.setPen(textColor(palette));
    painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(stringValue(), Qt::ElideRight, title.width()));
    if (const auto sub = attributedSubTitle()) {
        const QRect line = subTitleRectForBounds(bounds);
        painter.setPen(sub->color);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         metrics.elidedText(sub->text, Qt::ElideRight, line.width()));
    }
    if (const auto button = infoButtonRectForBounds(bounds))
        drawInfoButton(painter, *button);
    painter.restore();
}

} // namespace quire
