#pragma once
// Draws one page of a document laid out in pages: the band of the layout
// from page * pageHeight to (page + 1) * pageHeight. A line that starts
// within half a unit of a band's end belongs to the next page.
//
// Qt's layout draws, for every paragraph that began on an earlier page, also
// the last line above the clip. The clip hides it from the eye but not from
// the PDF's text, so a paragraph split across pages would carry its split
// line twice. Paragraphs that began on an earlier page are therefore drawn
// line by line here, each line on its own page only.
#include <QTextBlock>
#include <utility>
#include <vector>

class QPainter;
class QTextDocument;

namespace quire::textimport {

class PagePainter {
public:
    // `doc` must be laid out in pages (its page size set) and stay unchanged
    // while this object draws it.
    explicit PagePainter(const QTextDocument& doc);

    // The page (from 0) that a line starting at y is printed on.
    static int pageOf(double y, double pageHeight);

    // Draws the page with `painter`, whose transform maps layout units to
    // the page and whose clip may already hide other pages' bands.
    void draw(QPainter& painter, int page) const;

private:
    const QTextDocument& m_doc;
    double m_pageHeight;
    // For each page, the paragraphs that began on an earlier one; by page.
    std::vector<std::pair<int, QTextBlock>> m_continuing;
};

} // namespace quire::textimport
