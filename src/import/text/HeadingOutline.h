#pragma once
// The headings of a printed document (blocks with a heading level) become
// the bookmarks of its PDF file, which Qt's PDF writer does not write.
#include "import/PdfDocument.h"

#include <QString>
#include <optional>
#include <vector>

class QTextDocument;

namespace quire::textimport {

struct PrintedHeading {
    int level = 1;   // 1 to 9
    QString title;   // one line of text
    int page = 0;    // page position (from 0)
    double top = 0;  // points from the page's top edge to the heading's first line
};

// How the printer placed the document: page N shows the band of the layout
// from N * bandHeight to (N + 1) * bandHeight, scaled by `scale`, starting
// `topMargin` points below the page's top edge.
struct PageBands {
    double bandHeight = 1;
    double scale = 1;
    double topMargin = 0;
    int pageCount = 1;
};

class HeadingOutline {
public:
    static constexpr qsizetype kMaxTitleLength = 300;

    // The headings in document order, each on the page its first line is
    // printed on. Headings without text are left out.
    static std::vector<PrintedHeading> find(const QTextDocument& doc, const PageBands& pages);
    // A heading's text as a bookmark title: one line, runs of white space as
    // one space, without pictures, soft hyphens and control characters.
    static QString title(const QString& blockText);
    // Each heading goes below the nearest earlier heading of a lower level
    // (a level-3 heading right after a level-1 heading is its child).
    static std::vector<pdf::OutlineEntry> nest(const std::vector<PrintedHeading>& headings);
    // Writes the headings into the PDF file as its bookmarks. When that
    // fails the file stays as it was, and the reason, also logged as a
    // warning, comes back.
    static std::optional<QString> write(const QString& pdfPath, const std::vector<PrintedHeading>& headings);
};

} // namespace quire::textimport
