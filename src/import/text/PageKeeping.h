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

    // Page breaks tried at most, so that the layout is redone a bounded
    // number of times.
    static constexpr int kMaxAttempts = 1000;

    // `doc` must be laid out in pages (its page size set). Only paragraphs of
    // the main flow count, not those in table cells. A group is left as it
    // is when it already starts a page, when a forced page break parts it,
    // or when it is taller than a page (moving it would only leave a gap);
    // a break that does not bring the group together is taken back. Returns
    // the number of page breaks added.
    static int apply(QTextDocument& doc);
};

} // namespace quire::textimport
