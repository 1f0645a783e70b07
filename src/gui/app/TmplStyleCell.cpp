#include "TmplStyleCell.h"

#include "SelectTemplateModels.h"

#include <QApplication>
#include <QPainter>
#include <QPixmapCache>

namespace quire {

namespace {

constexpr int kPadding = 6;
constexpr int kNameGap = 4;

// The picture scaled once per size and device pixel ratio from the original,
// smoothly, so it stays sharp on high-density screens.
QPixmap fittedPicture(const QString& imageID, const QImage& image, QSize box, qreal dpr)
{
    const QSize logical = image.size().scaled(box, Qt::KeepAspectRatio);
    const QString key = QStringLiteral("quire-style:%1:%2x%3@%4")
                            .arg(imageID).arg(logical.width()).arg(logical.height()).arg(dpr);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(image.scaled(logical * dpr, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        pixmap.setDevicePixelRatio(dpr);
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

} // namespace

void TmplStyleCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QWidget* view = opt.widget;
    QStyle* style = view ? view->style() : QApplication::style();
    const QPalette::ColorGroup group = opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const bool selected = opt.state & QStyle::State_Selected;
    // Icon views leave the selection to the text; the whole cell shows it here.
    if (selected)
        painter->fillRect(opt.rect, opt.palette.brush(group, QPalette::Highlight));
    else
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, view);

    const QRect box(opt.rect.x() + (opt.rect.width() - kPictureBox.width()) / 2, opt.rect.y() + kPadding,
                    kPictureBox.width(), kPictureBox.height());
    const QImage image = index.data(StyleImageRole).value<QImage>();
    painter->save();
    if (image.isNull()) {
        // A style without a picture keeps its place in the grid.
        painter->setPen(QPen(opt.palette.color(QPalette::Mid), 1, Qt::DashLine));
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        painter->setPen(opt.palette.color(QPalette::PlaceholderText));
        painter->drawText(box, Qt::AlignCenter, QCoreApplication::translate("TmplStyleCell", "No preview"));
    } else {
        const QPixmap picture = fittedPicture(index.data(StyleImageIDRole).toString(), image, kPictureBox,
                                              painter->device()->devicePixelRatioF());
        const QSize shown = picture.deviceIndependentSize().toSize();
        const QRect target(box.x() + (box.width() - shown.width()) / 2,
                           box.y() + (box.height() - shown.height()) / 2, shown.width(), shown.height());
        painter->drawPixmap(target.topLeft(), picture);
        painter->setPen(opt.palette.color(QPalette::Mid));
        painter->drawRect(target.adjusted(0, 0, -1, -1));
    }

    const QRect nameRect(opt.rect.x() + kPadding, box.bottom() + 1 + kNameGap, opt.rect.width() - 2 * kPadding,
                         opt.fontMetrics.height());
    painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    painter->drawText(nameRect, Qt::AlignHCenter | Qt::AlignTop,
                      opt.fontMetrics.elidedText(opt.text, Qt::ElideRight, nameRect.width()));
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = opt.rect.adjusted(1, 1, -1, -1);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, view);
    }
    painter->restore();
}

QSize TmplStyleCell::cellSize(const QFontMetrics& metrics)
{
    return {kPictureBox.width() + 2 * kPadding, kPadding + kPictureBox.height() + kNameGap + metrics.height() + kPadding};
}

QSize TmplStyleCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return cellSize(option.fontMetrics);
}

} // namespace quire
