#pragma once
// Draws one style of the picture grid: its preview picture, fitted into a
// fixed box, with the style's name under it.
#include <QStyledItemDelegate>

namespace quire {

class TmplStyleCell : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr QSize kPictureBox{160, 108}; // half the shipped shots, whole on 2x screens;

    // One cell: the picture box with the name under it.
    static QSize cellSize(const QFontMetrics& metrics);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace quire
