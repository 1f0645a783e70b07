#pragma once
// Word processors keep some paragraphs together across page ends: a heading
// with the text after it ("keep with next", RTF's \keepn) and the lines of
// one paragraph ("keep lines together", \keep). Qt's text layout knows
// neither. Once a document is laid out for the page, each group that a page
// end parts gets a page break before its first paragraph, and the layout is
// redone from there.
#include <QTextFormat>

class QTextDocument;

namespace quire::textimport {

class PageKeeping {
public:
    // Boolean block properties, set by the readers.
    enum Property {
        // The paragraph's last line and the first line of what follows it (a
        // paragraph or a table) share a page.
        KeepWithNext = QTextFormat::UserProperty + 0x4B00,
        // All the paragraph's lines share a page.
        KeepLinesTogether,
    };

    // Each break tried makes Qt lay out again every page after it. Breaks
    // are tried at most this often, and no more once the pages laid out
    // again add up to kMaxPagesRelaid (some seconds' work); the groups after
    // that are left as they fall.
    static constexpr int kMaxAttempts = 1000;
    static constexpr int kMaxPagesRelaid = 50000;

    // Table rows are left to Qt, which moves a row to the next page only when
    // none of its cells' first lines fits: a page break before a cell's first
    // paragraph moves that cell alone, and one in every cell of the row sends
    // the row two pages on, leaving a blank page.
    //
    // `doc` must be laid out in pages (its page size set). Only paragraphs of
    // the main flow count, not those in table cells. A group is left as it
    // is when it already starts a page, when a forced page break parts it,
    // or when it is taller than a page (moving it would only leave a gap);
    // a break that does not bring the group together is taken back. Returns
    // the number of page breaks added.
    static int apply(QTextDocument& doc);
};

} // namespace quire::textimport
