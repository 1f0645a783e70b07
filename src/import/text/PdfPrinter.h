#pragma once
// Prints a QTextDocument into a PDF file on the import page: 648 x 468
// points, margins 40 left, 40 right, 40 top and 50 bottom, the 468-point text
// column centred in the printable width. Lines are never cut across pages,
// and paragraphs marked to keep together are kept so (PageKeeping).
#include "HeadingOutline.h"

#include <QString>
#include <vector>

class QTextDocument;

namespace quire::textimport {

struct PrintOutcome {
    bool ok = false;
    QString error; // the writer's reason when not ok
    int pageCount = 0;
    double scale = 1; // below 1 when the content was shrunk to fit
    std::vector<PrintedHeading> headings;
};

class PdfPrinter {
public:
    // "Fit" pagination shrinks content wider than the printable width and
    // never enlarges the column. The document is laid out for the page (its
    // page size changes) and the file at `path` is replaced atomically.
    static PrintOutcome print(QTextDocument& doc, const QString& path, const QString& title);
};

} // namespace quire::textimport
