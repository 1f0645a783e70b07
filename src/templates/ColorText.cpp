#include "ColorText.h"

#include <cmath>
#include <limits>

namespace quire {
namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

quint32 leadingHexNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    if (i + 1 < text.size() && text.at(i) == QLatin1Char('0')
        && (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X')))
        i += 2;
    quint64 number = 0;
    for (; i < text.size() && hexDigit(text.at(i)) >= 0; ++i) {
        number = number * 16 + quint64(hexDigit(text.at(i)));
        if (number > std::numeric_limits<quint32>::max())
            return std::numeric_limits<quint32>::max();
    }
    return quint32(number);
}

// The largest single-precision number below 256: a channel of exactly 1.0
// still truncates to 255.
constexpr float kChannelScale = 255.99998f;

int channelByte(float component)
{
    return int(std::trunc(component * kChannelScale));
}

} // namespace

QColor colorFromHexRGB(const Text& text)
{
    const quint32 number = text ? leadingHexNumber(*text) : 0;
    return QColor::fromRgb(int((number >> 16) & 0xff), int((number >> 8) & 0xff), int(number & 0xff));
}

Text colorToHexRGB(const QColor& color)
{
    if (!color.isValid())
        return std::nullopt;
    const QColor rgb = color.toRgb();
    return QStringLiteral("0x%1%2%3")
        .arg(channelByte(rgb.redF()), 2, 16, QLatin1Char('0'))
        .arg(channelByte(rgb.greenF()), 2, 16, QLatin1Char('0'))
        .arg(channelByte(rgb.blueF()), 2, 16, QLatin1Char('0'));
}

} // namespace quire
