#pragma once
// A text file laid out as the import prints it: a 12-point sans-serif font,
// left-aligned, with insets of 30 points left and right and 15 at the top.
#include "PageSetup.h"

#include <QString>

class QTextDocument;

namespace quire::textimport {

class PlainTextDocument {
public:
    static constexpr double kFontPoints = 12;
    static constexpr double kSideInset = 30;
    static constexpr double kTopInset = 15;
    static constexpr double kTabStop = 36;

    // Fills `doc` (replacing its contents) with `text`. Line ends may be
    // CR LF, LF or CR; other control characters except tabs are dropped, and
    // so is one final line end.
    static void build(QTextDocument& doc, const QString& text, const LayoutUnits& units);

    static QString normalized(const QString& text);
};

} // namespace quire::textimport
