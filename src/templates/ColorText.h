#pragma once
// The text form of a colour property's value: "0x" and two hexadecimal digits
// each for red, green and blue.
#include "util/Text.h"

#include <QColor>

namespace quire {

// An opaque colour from a hexadecimal number at the start of the text, after
// optional white space and an optional "0x"/"0X". No digits (or no text)
// reads as 0, so anything unreadable is black; a number too large for 32 bits
// reads as 0xffffffff.
QColor colorFromHexRGB(const Text& text);

// "0x" and six lower-case hexadecimal digits, each channel scaled by
// 255.99998 and truncated; none for an invalid colour.
Text colorToHexRGB(const QColor& color);

} // namespace quire
