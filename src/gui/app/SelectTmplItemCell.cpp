#include "SelectTmplItemCell.h"

#include "SelectTemplateModels.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

namespace quire {

namespace {
constexpr qreal kTitleLeft = 35;
constexpr qreal kTitleRightMargin = 71;
constexpr qreal kTitleDrop = 8;
constexpr qreal kIconSide = 32;
constexpr qreal kIconLeft = 1; // from the view's edge, not the row's
} // namespace

SelectTmplCellLayout selectTmplCellLayout(const QRectF& frame, const QSizeF& titleSize)
{
    SelectTmplCellLayout layout;
    const QSizeF title = titleSize.expandedTo(QSizeF(0, 0)); // no title: an empty area
    const qreal titleWidth = std::min(title.width(), std::max<qreal>(0, frame.width() - kTitleRightMargin));
    layout.titleArea = QRectF(frame.x() + kTitleLeft, frame.y() + 1, titleWidth, title.height());
    if (frame.x() + frame.width() >= kIconLeft + kIconSide)
        layout.iconArea = QRectF(kIconLeft, layout.titleArea.top() + 2, kIconSide, kIconSide);
    return layout;
}

void SelectTmplItemCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QWidget* view = opt.widget;
    QStyle* style = view ? view->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, view);

    const QString title = opt.text;
    const QSizeF titleSize = title.isEmpty() ? QSizeF(0, 0) : QSizeF(opt.fontMetrics.horizontalAdvance(title),
                                                                opt.fontMetrics.height());
    const SelectTmplCellLayout layout = selectTmplCellLayout(opt.rect, titleSize);

    painter->save();
    const QImage& icon = iconImage(index.data(TmplIconFileRole).toString());
    if (!layout.iconArea.isEmpty() && !icon.isNull()) {
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(layout.iconArea, icon);
    }
    if (!title.isEmpty() && layout.titleArea.width() > 0) {
        const QRectF titleRect = layout.titleArea.translated(0, kTitleDrop);
        const bool selected = opt.state & QStyle::State_Selected;
        painter->setPen(opt.palette.color(opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive,
                                          selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(opt.font);
        // A name wider than its area is shortened visibly rather than cut.
        painter->drawText(titleRect, Qt::AlignLeft | Qt::AlignTop,
                          opt.fontMetrics.elidedText(title, Qt::ElideRight, int(titleRect.width())));
    }
    painter->restore();
}

QSize SelectTmplItemCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return {QStyledItemDelegate::sizeHint(option, index).width(), kTmplRowHeight};
}

const QImage& SelectTmplItemCell::iconImage(const QString& tmplIconFile) const
{
    auto it = m_icons.find(tmplIconFile);
    if (it == m_icons.end())
        it = m_icons.insert(tmplIconFile, QImage(tmplIconFile));
    return *it;
}

} // namespace quire
