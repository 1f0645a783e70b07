#pragma once
// Draws one row of the template list: the template's icon at the left and its
// name beside it, in a row 35 points high.
#include <QHash>
#include <QImage>
#include <QRectF>
#include <QStyledItemDelegate>

namespace quire {

constexpr int kTmplRowHeight = 35;

// Where a row's title and icon go, in the coordinates of the view the row
// frame is given in. The title is drawn 8 points below its area's top.
struct SelectTmplCellLayout {
    QRectF titleArea;
    QRectF iconArea; // empty when the row is too narrow for an icon
};
SelectTmplCellLayout selectTmplCellLayout(const QRectF& frame, const QSizeF& titleSize);

class SelectTmplItemCell : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Forgets the loaded icons so that the next draw reads them again.
    void clearIcons() { m_icons.clear(); }

private:
    const QImage& iconImage(const QString& tmplIconFile) const;

    mutable QHash<QString, QImage> m_icons; // loaded on first draw, null when missing
};

} // namespace quire
