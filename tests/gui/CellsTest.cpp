// The value cells' layout table, drawing and button pictures.
#include "QtPrinting.h"
#include "gui/templates/FlashTmplColorCell.h"
#include "gui/templates/FlashTmplFileCell.h"
#include "gui/templates/ImagePreviewCell.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace quire {
namespace {

QImage drawn(const InfoButtonCell& cell, const QRect& bounds)
{
    QImage image(bounds.width() + 20, bounds.height() + 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    cell.drawInterior(painter, bounds, QPalette());
    return image;
}

TEST(Cells, ColourAndFileLayoutAtSeveralWidths)
{
    FlashTmplColorCell color(QStringLiteral("0x2f3b4a"));
    FlashTmplFileCell file(QStringLiteral("/home/me/pictures/background.jpg"));
    const int ctw = color.textSize().width();
    const int ftw = file.textSize().width();
    const struct {
        int w, colorText, fileText, fileButtonX;
    } cases[] = {
        {400, std::min(ctw, 359), std::min(ftw, 379), 396},
        {60, std::min(ctw, 19), std::min(ftw, 39), 56},
        {30, 0, std::min(ftw, 9), 26},
        {10, 0, 0, 6}, // no room for text; the button stays 14 from the right edge
    };
    for (const auto& c : cases) {
        const QRect bounds(10, 20, c.w, 22);
        EXPECT_EQ(color.imageRectForBounds(bounds), QRect(15, 21, 15, 15));
        EXPECT_EQ(color.titleRectForBounds(bounds), QRect(34, 21, c.colorText, color.textSize().height()));
        EXPECT_EQ(color.cellSizeForBounds(bounds), QSize(std::min(ctw + 41, c.w), 17));
        EXPECT_EQ(color.editingRectForBounds(bounds), QRect(34, 20, std::max(0, c.w - 24), 22));
        EXPECT_EQ(file.titleRectForBounds(bounds), QRect(14, 21, c.fileText, file.textSize().height()));
        EXPECT_EQ(file.infoButtonRectForBounds(bounds), QRect(c.fileButtonX, 23, 13, 13)) << c.w;
        EXPECT_EQ(file.cellSizeForBounds(bounds), QSize(std::min(ftw + 21, c.w), 17));
        EXPECT_EQ(file.editingRectForBounds(bounds).left(), 12);
    }
    EXPECT_EQ(color.hitTestForPoint({20, 30}, QRect(10, 20, 400, 22)), InfoButtonCell::Hit::Trackable);
    EXPECT_EQ(color.hitTestForPoint({36, 25}, QRect(10, 20, 400, 22)), InfoButtonCell::Hit::EditableText);
    EXPECT_EQ(file.hitTestForPoint({400, 28}, QRect(10, 20, 400, 22)), InfoButtonCell::Hit::Trackable);
    EXPECT_EQ(file.hitTestForPoint({12, 40}, QRect(10, 20, 400, 22)), InfoButtonCell::Hit::None);
}

TEST(Cells, PreviewLayout)
{
    ImagePreviewCell cell(QStringLiteral("Blank"));
    const int tw = cell.textSize().width();
    const QRect wide(0, 0, tw + 58, 50);
    EXPECT_EQ(cell.imageRectForBounds(wide), QRect(5, 4, 32, 32));
    EXPECT_EQ(cell.titleRectForBounds(wide), QRect(41, 4, tw, cell.textSize().height()));
    EXPECT_EQ(cell.infoButtonRectForBounds(wide), QRect(tw + 45, 6, 13, 13));
    EXPECT_EQ(cell.infoButtonRectForBounds(QRect(0, 0, tw + 57, 50)), std::nullopt); // text reaches the edge
    EXPECT_EQ(cell.cellSizeForBounds(QRect(0, 0, 500, 60)), QSize(tw + 58, 40));

    cell.setImage(QImage(20, 11, QImage::Format_RGB32));
    EXPECT_EQ(cell.imageRectForBounds(wide), QRect(11, 15, 20, 11)); // centred in 32 by 32
    cell.setImage(QImage(40, 40, QImage::Format_RGB32));
    EXPECT_EQ(cell.imageRectForBounds(wide), QRect(5, 4, 40, 40));

    EXPECT_FALSE(cell.attributedSubTitle());
    cell.setSubTitle(QStringLiteral("second"));
    cell.setHighlighted(true);
    EXPECT_EQ(cell.attributedSubTitle()->color, QColor(Qt::lightGray));
    EXPECT_EQ(cell.hitTestForPoint({45, 4 + cell.textSize().height() + 2}, wide), InfoButtonCell::Hit::Content);
}

// A preview without a picture has a dashed frame; a swatch shows its colour in a grey frame.
TEST(Cells, PreviewFrameAndColourSwatchDrawing)
{
    const QImage preview = drawn(ImagePreviewCell(), QRect(0, 0, 100, 40));
    QString dashes;
    for (int x = 5; x < 5 + 24; ++x)
        dashes += preview.pixelColor(x, 4) == Qt::white ? '.' : '#';
    EXPECT_EQ(dashes, "####..####..####..####..");
    EXPECT_EQ(preview.pixelColor(20, 20), QColor(Qt::white));

    FlashTmplColorCell cell(QStringLiteral("0x00ff00"));
    cell.setColor(QColor(0, 255, 0));
    EXPECT_EQ(drawn(cell, QRect(0, 0, 120, 17)).pixelColor(12, 8), QColor(0, 255, 0));
    cell.setColor2(Qt::blue);
    EXPECT_EQ(cell.stringValue(), QStringLiteral("0x0000ff"));
    const QImage swatch = drawn(cell, QRect(0, 0, 120, 17));
    EXPECT_EQ(swatch.pixelColor(12, 8), QColor(Qt::blue));
    EXPECT_EQ(swatch.pixelColor(5, 1), QColor(Qt::gray));
}

TEST(Cells, InfoButtonPictureFollowsState)
{
    const struct {
        bool selected, pressed, hovered;
        const char* name;
    } cases[] = {
        {false, false, false, "info-normal"},        {false, false, true, "info-normal-hovered"},
        {false, true, true, "info-normal-mouse"},    {true, false, false, "info-selected"},
        {true, false, true, "info-selected-hovered"}, {true, true, false, "info-selected-mouse"},
    };
    for (const auto& c : cases) {
        FlashTmplFileCell cell;
        cell.setHighlighted(c.selected);
        cell.setMouseDownInInfoButton(c.pressed);
        cell.setMouseHoveredInInfoButton(c.hovered);
        EXPECT_EQ(cell.infoButtonImageName(), QLatin1String(c.name));
        EXPECT_FALSE(namedResourcePicture(cell.infoButtonImageName(), 2).isNull()) << c.name;
    }
}

} // namespace
} // namespace quire
