// The editor's value rules that need no window: colour texts, file filters
// and list choices.
#include "QtPrinting.h"
#include "templates/ColorText.h"
#include "templates/PropertyValueRules.h"

#include <gtest/gtest.h>

namespace quire {
namespace {

TEST(ColorText, ReadsTheLeadingHexNumberAndWritesLowerCaseRoundTrippingEveryChannelValue)
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
}

TEST(ListChoices, KeepBlanksAndRefuseIndexesOutside)
{
    const Text source = QStringLiteral("small, medium,,large");
    EXPECT_EQ(listChoices(source), QStringList({"small", " medium", "", "large"}));
    EXPECT_EQ(listChoiceIndex(source, QStringLiteral(" medium")), 1);
    EXPECT_EQ(listChoiceIndex(source, QStringLiteral("medium")), -1);
    EXPECT_EQ(listChoiceAt(source, 3), QStringLiteral("large"));
    EXPECT_EQ(listChoiceAt(source, 4), std::nullopt);
    EXPECT_EQ(listChoiceAt(source, -1), std::nullopt);
    EXPECT_TRUE(listChoices(std::nullopt).isEmpty());
}

} // namespace
} // namespace quire
