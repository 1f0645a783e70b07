#include "PageText.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace quire {
namespace {

// The letters of the Latin ligatures, which search and copying expect.
QString ligatureLetters(char32_t c)
{
    switch (c) {
    case 0xFB00: return QStringLiteral("ff");
    case 0xFB01: return QStringLiteral("fi");
    case 0xFB02: return QStringLiteral("fl");
    case 0xFB03: return QStringLiteral("ffi");
    case 0xFB04: return QStringLiteral("ffl");
    case 0xFB05: // long s with t
    case 0xFB06: return QStringLiteral("st");
    default: return {};
    }
}

bool separates(char32_t c)
{
    return c <= 0xFFFF ? QChar(char16_t(c)).isSpace() : false;
}

// Control characters and the library's mark for a glyph it cannot name say
// nothing a reader could search for.
bool meaningless(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xFFFD || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF);
}

} // namespace

QString PageText::plainText() const
{
    QStringList blockTexts;
    for (const TextBlock& block : blocks) {
        QStringList lineTexts;
        for (const TextLine& line : block.lines) {
            QStringList words;
            for (const TextWord& word : line.words)
                words << word.text;
            lineTexts << words.join(QLatin1Char(' '));
        }
        blockTexts << lineTexts.join(QLatin1Char('\n'));
    }
    return blockTexts.join(QStringLiteral("\n\n"));
}

PageTextBuilder::PageTextBuilder(float x0, float y0, float x1, float y1)
    : m_x0(x0), m_y0(y0), m_width(x1 - x0), m_height(y1 - y0)
{
}

void PageTextBuilder::beginBlock()
{
    endBlock();
}

void PageTextBuilder::beginLine(float dx, float dy)
{
    endLine();
    if (std::abs(dx) >= std::abs(dy))
        m_line.direction = dx >= 0 ? 0 : 2;
    else
        m_line.direction = dy > 0 ? 1 : 3;
}

void PageTextBuilder::addChar(char32_t c, float x0, float y0, float x1, float y1)
{
    if (separates(c)) {
        endWord();
        return;
    }
    if (meaningless(c))
        return;
    const QString letters = ligatureLetters(c);
    const char32_t one[] = {c};
    addLetters(letters.isEmpty() ? QString::fromUcs4(one, 1) : letters, x0, y0, x1, y1);
}

void PageTextBuilder::addLetters(const QString& letters, float x0, float y0, float x1, float y1)
{
    // A ligature's letters share its box: the word's box is the union anyway.
    TextBox& box = m_word.box;
    if (!m_hasWord) {
        box = {x0, y0, x1 - x0, y1 - y0};
        m_hasWord = true;
    } else {
        const float left = std::min(box.x, x0), top = std::min(box.y, y0);
        const float right = std::max(box.x + box.width, x1), bottom = std::max(box.y + box.height, y1);
        box = {left, top, right - left, bottom - top};
    }
    m_word.text += letters;
}

void PageTextBuilder::endWord()
{
    if (!m_hasWord)
        return;
    m_hasWord = false;
    TextWord word = std::move(m_word);
    m_word = {};
    if (!(m_width > 0 && m_height > 0))
        return;
    // Fractions of the visible page, kept on it; a word wholly off the page
    // is not part of what the reader sees.
    float left = (word.box.x - m_x0) / m_width, top = (word.box.y - m_y0) / m_height;
    float right = left + word.box.width / m_width, bottom = top + word.box.height / m_height;
    if (right < 0 || left > 1 || bottom < 0 || top > 1)
        return;
    left = std::clamp(left, 0.0f, 1.0f);
    top = std::clamp(top, 0.0f, 1.0f);
    right = std::clamp(right, left, 1.0f);
    bottom = std::clamp(bottom, top, 1.0f);
    word.box = {left, top, right - left, bottom - top};
    m_line.words.push_back(std::move(word));
}

void PageTextBuilder::endLine()
{
    endWord();
    if (!m_line.words.empty())
        m_block.lines.push_back(std::move(m_line));
    m_line = {};
}

void PageTextBuilder::endBlock()
{
    endLine();
    if (!m_block.lines.empty())
        m_text.blocks.push_back(std::move(m_block));
    m_block = {};
}

PageText PageTextBuilder::take()
{
    endBlock();
    PageText text = std::move(m_text);
    m_text = {};
    return text;
}

} // namespace quire
