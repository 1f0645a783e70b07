#pragma once
// A picture with a title, a grey second line and the information button.
// Layout (cell bounds x, y, w, h; natural text size tw, th):
//   picture (x+5, y+4) in its own size, centred in 32x32 where smaller;
//   32x32 without a picture; text (x+41, y+4), width min(tw, max(0, w-58));
//   second line under the text, cut at x+w; button 13x13 at
//   (text x + tw + 4, text y + 2), none when it would reach past x+w;
//   natural size min(tw+58, w) by min(40, h).
#include "InfoButtonCell.h"
#include "util/Text.h"

#include <QColor>
#include <QImage>

namespace quire {

class ImagePreviewCell : public InfoButtonCell {
public:
    using InfoButtonCell::InfoButtonCell;

    struct SubTitle {
        QString text;
        QColor color;
    };

    const QImage& image() const { return iImage; }
    void setImage(const QImage& image) { iImage = image; }
    const Text& subTitle() const { return iSubTitle; }
    void setSubTitle(const Text& subTitle) { iSubTitle = subTitle; }
    // The second line in grey (light grey when highlighted); none without one.
    std::optional<SubTitle> attributedSubTitle() const;

    QRect imageRectForBounds(const QRect& bounds) const;
    std::optional<QRect> infoButtonRectForBounds(const QRect& bounds) const;
    QRect subTitleRectForBounds(const QRect& bounds) const;
    std::optional<QRect> buttonRectForBounds(const QRect& bounds) const override;
    QRect titleRectForBounds(const QRect& bounds) const override;
    QSize cellSizeForBounds(const QRect& bounds) const override;
    QRect editingRectForBounds(const QRect& bounds) const override;
    Hit hitTestForPoint(const QPoint& point, const QRect& bounds) const override;
    void drawInterior(QPainter& painter, const QRect& bounds, const QPalette& palette) const override;

private:
    QImage iImage;
    Text iSubTitle;
};

} // namespace quire
