#pragma once
// Splits RTF bytes into groups, control words, control symbols, hex-escaped
// bytes and runs of plain text. Never reads past the end: a file cut short
// simply ends.
#include <QByteArrayView>
#include <cstdint>
#include <string_view>

namespace quire::textimport {

struct RtfToken {
    enum class Kind { End, GroupStart, GroupEnd, ControlWord, ControlSymbol, HexByte, Text };
    Kind kind = Kind::End;
    std::string_view word;   // ControlWord: the letters; Text: the bytes
    bool hasParameter = false;
    int32_t parameter = 0;   // clamped to the 32-bit range
    char symbol = 0;         // ControlSymbol
    unsigned char byte = 0;  // HexByte
};

// The value of a hexadecimal digit; -1 for any other character.
int rtfHexValue(char c);

class RtfTokenizer {
public:
    explicit RtfTokenizer(QByteArrayView data) : m_data(data.data(), size_t(data.size())) {}

    RtfToken next();

    // The raw bytes after \binN: at most `count` of them, fewer when the data
    // ends first.
    std::string_view takeBinary(int64_t count);

    size_t position() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }

    // RTF limits control words to 32 letters; longer ones are read whole but
    // cut to this length.
    static constexpr size_t kMaxWordLength = 32;

private:
    RtfToken controlAfterBackslash();

    std::string_view m_data;
    size_t m_pos = 0;
};

} // namespace quire::textimport
