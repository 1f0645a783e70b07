#pragma once
// A text file laid out as the import prints it: its own lines in a
// monospaced face sized so that 80 columns fill the line, with insets of 30
// points left and right and 15 at the top. Tabs stop every 8 columns, a form
// feed starts a new page, and a line longer than 80 columns goes on below
// itself, indented.
#include "PageSetup.h"

#include <QFont>
#include <QString>

class QTextDocument;

namespace quire::textimport {

class PlainTextDocument {
public:
    static constexpr int kColumns = 80;
    static constexpr int kTabColumns = 8;
    // Where the continuation of a long line starts, in columns.
    static constexpr int kHangingColumns = 4;
    static constexpr double kSideInset = 30;
    static constexpr double kTopInset = 15;
    static constexpr double kLineWidth = PageSetup::textAreaWidth - 2 * kSideInset;

    // Fills `doc` (replacing its contents) with `text`. Line ends may be
    // CR LF, LF or CR; control characters other than tabs and form feeds are
    // dropped, and so is one final line end.
    static void build(QTextDocument& doc, const QString& text, const LayoutUnits& units);

    // Line ends as LF; control characters other than tabs and form feeds
    // dropped; one final line end dropped.
    static QString normalized(const QString& text);
    // Each tab as the spaces up to the next tab stop.
    static QString expandTabs(const QString& line);
    // The monospaced face (DejaVu Sans Mono, else Liberation Mono, else any)
    // at the largest size that fits kColumns columns into kLineWidth points,
    // and the width of a column at that size.
    static QFont font(double* columnWidth = nullptr);
};

} // namespace quire::textimport
