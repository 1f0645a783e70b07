#pragma once
// A colour value: a 15 by 15 swatch that acts as the cell's button, then the
// colour's text. Layout (cell bounds x, y, w, h; natural text size tw, th):
//   swatch (x+5, y+1) 15x15; text (x+24, y+1), width min(tw, max(0, w-41));
//   natural size min(tw+41, w) by min(17, h); editing from the text's x to
//   the right edge.
#include "InfoButtonCell.h"

#include <QColor>

namespace quire {

class FlashTmplColorCell : public InfoButtonCell {
public:
    using InfoButtonCell::InfoButtonCell;

    const QColor& color() const { return iColor; }
    void setColor(const QColor& color) { iColor = color; }
    // Keeps the colour and shows its text form.
    void setColor2(const QColor& color);

    QRect imageRectForBounds(const QRect& bounds) const;
    std::optional<QRect> buttonRectForBounds(const QRect& bounds) const override;
    QRect titleRectForBounds(const QRect& bounds) const override;
    QSize cellSizeForBounds(const QRect& bounds) const override;
    QRect editingRectForBounds(const QRect& bounds) const override;
    Hit hitTestForPoint(const QPoint& point, const QRect& bounds) const override;
    void drawInterior(QPainter& painter, const QRect& bounds, const QPalette& palette) const override;

private:
    QColor iColor = Qt::red;
};

} // namespace quire
