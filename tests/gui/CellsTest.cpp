// The value cells' layout, drawing and button pictures, and the value rules
// that need no window: colour texts and list choices.
#include "QtPrinting.h"
#include "gui/templates/FlashTmplColorCell.h"
#include "gui/templates/FlashTmplFileCell.h"
#include "gui/templates/ImagePreviewCell.h"
#include "templates/ColorText.h"
#include "templates/PropertyValueRules.h"

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

// At any width the text stays clear of the swatch and the button, which stay
// in the cell; clicks find the part they land on.
TEST(Cells, PartsStayApartAtEveryWidthHitsFindThemAndDrawingShowsThem)
{
    const FlashTmplColorCell color(QStringLiteral("0x2f3b4a"));
    const FlashTmplFileCell file(QStringLiteral("/home/me/pictures/background.jpg"));
    for (const int w : {400, 60, 30, 10}) {
        const QRect bounds(10, 20, w, 22);
        const QRect colorText = color.titleRectForBounds(bounds), fileText = file.titleRectForBounds(bounds);
        EXPECT_LT(color.imageRectForBounds(bounds).right(), colorText.left()) << w;
        EXPECT_TRUE(colorText.isEmpty() || colorText.right() <= bounds.right()) << w;
        EXPECT_TRUE(fileText.isEmpty() || fileText.right() < file.infoButtonRectForBounds(bounds).left()) << w;
        EXPECT_EQ(file.infoButtonRectForBounds(bounds).right(), bounds.right() - 1) << w; // even with no room for text
        EXPECT_LE(file.cellSizeForBounds(bounds).width(), w);
    }
    const QRect bounds(10, 20, 400, 22);
    using Hit = InfoButtonCell::Hit;
    EXPECT_EQ(QList<Hit>({color.hitTestForPoint({20, 30}, bounds), color.hitTestForPoint({36, 25}, bounds),
                          file.hitTestForPoint({400, 28}, bounds), file.hitTestForPoint({12, 40}, bounds)}),
              QList<Hit>({Hit::Trackable, Hit::EditableText, Hit::Trackable, Hit::None}));

    // A preview's button goes once its text reaches the edge; a small picture is centred.
    ImagePreviewCell preview(QStringLiteral("Blank"));
    const int tw = preview.textSize().width();
    EXPECT_TRUE(preview.infoButtonRectForBounds(QRect(0, 0, tw + 58, 50)));
    EXPECT_FALSE(preview.infoButtonRectForBounds(QRect(0, 0, tw + 57, 50)));
    preview.setImage(QImage(20, 11, QImage::Format_RGB32));
    EXPECT_EQ(preview.imageRectForBounds(QRect(0, 0, 200, 50)), QRect(11, 15, 20, 11)); // in the 32 by 32 place

    // A preview without a picture has a dashed frame; a swatch shows its colour in a grey frame.
    const QImage drawnPreview = drawn(ImagePreviewCell(), QRect(0, 0, 100, 40));
    QString dashes;
    for (int x = 5; x < 5 + 24; ++x)
        dashes += drawnPreview.pixelColor(x, 4) == Qt::white ? '.' : '#';
    EXPECT_EQ(dashes, "####..####..####..####..");
    EXPECT_EQ(drawnPreview.pixelColor(20, 20), QColor(Qt::white));

    FlashTmplColorCell cell(QStringLiteral("0x00ff00"));
    cell.setColor(QColor(0, 255, 0));
    EXPECT_EQ(drawn(cell, QRect(0, 0, 120, 17)).pixelColor(12, 8), QColor(0, 255, 0));
    cell.setColor2(Qt::blue);
    EXPECT_EQ(cell.stringValue(), QStringLiteral("0x0000ff"));
    const QImage swatch = drawn(cell, QRect(0, 0, 120, 17));
    EXPECT_EQ(swatch.pixelColor(12, 8), QColor(Qt::blue));
    EXPECT_EQ(swatch.pixelColor(5, 1), QColor(Qt::gray));
}

TEST(ValueRules, ColourTextsRoundTripEveryChannelValueAndListChoicesKeepBlanks)
{
    const std::pair<Text, QRgb> cases[] = {
        {QStringLiteral("0xff8000"), 0xff8000},    {QStringLiteral("ff8000"), 0xff8000},
        {QStringLiteral("  0XFF8000zz"), 0xff8000}, {QStringLiteral("#ff8000"), 0},
        {std::nullopt, 0},                         {QStringLiteral("0x"), 0},
        {QStringLiteral("0x1ff8000"), 0xff8000},   {QStringLiteral("0x123456789"), 0xffffff},
    };
    for (const auto& [text, rgb] : cases)
        EXPECT_EQ(colorFromHexRGB(text).rgb(), 0xff000000 | rgb) << textOr(text, "(none)").toStdString();
    EXPECT_EQ(colorToHexRGB(QColor::fromRgbF(0.999f, 0.5f, 0.0f)), QStringLiteral("0xff8000"));
    EXPECT_EQ(colorToHexRGB(QColor()), std::nullopt);
    for (int v = 0; v < 256; ++v) {
        const QString text = QStringLiteral("0x%1%2%3")
                                 .arg(v, 2, 16, QLatin1Char('0'))
                                 .arg(255 - v, 2, 16, QLatin1Char('0'))
                                 .arg(v / 2, 2, 16, QLatin1Char('0'));
        ASSERT_EQ(colorToHexRGB(colorFromHexRGB(text)), text);
    }

    // List choices keep blanks and refuse indexes outside.
    const Text source = QStringLiteral("small, medium,,large");
    EXPECT_EQ(listChoices(source), QStringList({"small", " medium", "", "large"}));
    EXPECT_EQ(listChoiceIndex(source, QStringLiteral(" medium")), 1);
    EXPECT_EQ(listChoiceIndex(source, QStringLiteral("medium")), -1);
    EXPECT_EQ((std::vector<Text>{listChoiceAt(source, 3), listChoiceAt(source, 4), listChoiceAt(source, -1)}),
              (std::vector<Text>{QStringLiteral("large"), std::nullopt, std::nullopt}));
    EXPECT_TRUE(listChoices(std::nullopt).isEmpty());
}

} // namespace
} // namespace quire
