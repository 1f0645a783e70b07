#pragma once
// The words of a page with their places, in reading order, grouped into the
// lines and blocks (paragraphs, columns) the PDF library finds. Places are
// fractions of the page as it is rendered: origin at the top left corner of
// the visible page, x to the right, y downwards, 1 the page's width or
// height; the link areas of the book use the same convention.
#include <QString>
#include <vector>

namespace quire {

struct TextBox {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};

struct TextWord {
    QString text;
    TextBox box;
};

struct TextLine {
    // Where the baseline runs, in quarter turns clockwise from left to
    // right: 1 downwards, 2 right to left (upside down), 3 upwards.
    int direction = 0;
    std::vector<TextWord> words;
};

struct TextBlock {
    std::vector<TextLine> lines;
};

struct PageText {
    std::vector<TextBlock> blocks;

    bool empty() const { return blocks.empty(); }
    // Words joined by blanks, lines by line feeds, blocks by an empty line.
    QString plainText() const;
};

// Builds a PageText from characters in the library's page space, in the
// order the library gives them: whitespace separates words, ligatures come
// out as their letters, and places become fractions of the page.
class PageTextBuilder {
public:
    // The visible page in the space the characters come in (y downwards).
    PageTextBuilder(float x0, float y0, float x1, float y1);

    void beginBlock();
    // The baseline's direction as a vector in page space.
    void beginLine(float dx, float dy);
    // One character and the box around it, in page space.
    void addChar(char32_t c, float x0, float y0, float x1, float y1);

    // The text so far; empty lines and blocks are left out.
    PageText take();

private:
    void endWord();
    void endLine();
    void endBlock();
    void addLetters(const QString& letters, float x0, float y0, float x1, float y1);

    float m_x0, m_y0, m_width, m_height;
    PageText m_text;
    TextBlock m_block;
    TextLine m_line;
    TextWord m_word;
    bool m_hasWord = false;
};

} // namespace quire
