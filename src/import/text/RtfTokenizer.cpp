#include "RtfTokenizer.h"

#include <algorithm>
#include <limits>

namespace quire::textimport {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}


} // namespace

int rtfHexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

RtfToken RtfTokenizer::next()
{
    RtfToken token;
    while (m_pos < m_data.size()) {
        const char c = m_data[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            token.kind = RtfToken::Kind::GroupStart;
            return token;
        case '}':
            ++m_pos;
            token.kind = RtfToken::Kind::GroupEnd;
            return token;
        case '\\':
            ++m_pos;
            return controlAfterBackslash();
        case '\r':
        case '\n':
        case '\0':
            // Line ends in RTF are only for the writer's convenience.
            ++m_pos;
            continue;
        default: {
            const size_t start = m_pos;
            while (m_pos < m_data.size()) {
                const char d = m_data[m_pos];
                if (d == '{' || d == '}' || d == '\\' || d == '\r' || d == '\n' || d == '\0')
                    break;
                ++m_pos;
            }
            token.kind = RtfToken::Kind::Text;
            token.word = m_data.substr(start, m_pos - start);
            return token;
        }
        }
    }
    return token;
}

RtfToken RtfTokenizer::controlAfterBackslash()
{
    RtfToken token;
    if (m_pos >= m_data.size()) {
        token.kind = RtfToken::Kind::End;
        return token;
    }
    const char c = m_data[m_pos];
    if (!isLetter(c)) {
        ++m_pos;
        if (c == '\'') {
            // \'hh: a byte in the current code page. A broken escape is dropped.
            const int hi = m_pos < m_data.size() ? rtfHexValue(m_data[m_pos]) : -1;
            const int lo = m_pos + 1 < m_data.size() ? rtfHexValue(m_data[m_pos + 1]) : -1;
            if (hi >= 0 && lo >= 0) {
                m_pos += 2;
                token.kind = RtfToken::Kind::HexByte;
                token.byte = static_cast<unsigned char>(hi * 16 + lo);
                return token;
            }
            if (hi >= 0)
                ++m_pos;
            token.kind = RtfToken::Kind::Text;
            return token;
        }
        token.kind = RtfToken::Kind::ControlSymbol;
        token.symbol = c;
        return token;
    }

    const size_t start = m_pos;
    while (m_pos < m_data.size() && isLetter(m_data[m_pos]))
        ++m_pos;
    token.kind = RtfToken::Kind::ControlWord;
    token.word = m_data.substr(start, std::min(m_pos - start, kMaxWordLength));

    bool negative = false;
    if (m_pos + 1 < m_data.size() && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
        // Saturate instead of overflowing; every digit is still consumed.
        int64_t value = 0;
        constexpr int64_t limit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
        while (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
            value = std::min(limit, value * 10 + (m_data[m_pos] - '0'));
            ++m_pos;
        }
        if (negative)
            value = -value;
        value = std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
        token.hasParameter = true;
        token.parameter = static_cast<int32_t>(value);
    }
    // A single space delimits the control word and belongs to it.
    if (m_pos < m_data.size() && m_data[m_pos] == ' ')
        ++m_pos;
    return token;
}

std::string_view RtfTokenizer::takeBinary(int64_t count)
{
    const int64_t available = int64_t(m_data.size() - m_pos);
    const size_t n = size_t(std::clamp<int64_t>(count, 0, available));
    std::string_view bytes = m_data.substr(m_pos, n);
    m_pos += n;
    return bytes;
}

} // namespace quire::textimport
