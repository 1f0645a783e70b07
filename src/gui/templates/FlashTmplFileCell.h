#pragma once
// A file value: the path, then the 13 by 13 information button at the right
// edge that opens the file chooser. Layout (cell bounds x, y, w, h; natural
// text size tw, th):
//   text (x+4, y+1), width min(tw, max(0, w-21)); button (x+w-14, y+3) 13x13,
//   also when the cell is too narrow for any text; natural size
//   min(tw+21, w) by min(17, h), the height of the colour cell so that both
//   share the row height; editing from x+2 to the right edge.
#include "FlashTmplCell.h"

namespace quire {

class FlashTmplFileCell : public FlashTmplCell {
public:
    using FlashTmplCell::FlashTmplCell;

    void setFileName2(const QString& path) { setStringValue(path); }

    QRect infoButtonRectForBounds(const QRect& bounds) const;
    std::optional<QRect> buttonRectForBounds(const QRect& bounds) const override;
    QRect titleRectForBounds(const QRect& bounds) const override;
    QSize cellSizeForBounds(const QRect& bounds) const override;
    QRect editingRectForBounds(const QRect& bounds) const override;
    Hit hitTestForPoint(const QPoint& point, const QRect& bounds) const override;
    void drawInterior(QPainter& painter, const QRect& bounds, const QPalette& palette) const override;
};

} // namespace quire
