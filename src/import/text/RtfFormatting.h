#pragma once
// Character, paragraph and table-row properties as RTF states them, and their
// QTextDocument formats.
#include "PageSetup.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextOption>
#include <optional>
#include <vector>

namespace quire::textimport {

class RtfFontTable;
class RtfColorTable;
class RtfStyleSheet;

struct RtfCharState {
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool caps = false;
    bool smallCaps = false;
    bool hidden = false;
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    QTextCharFormat::VerticalAlignment verticalAlignment = QTextCharFormat::AlignNormal;
    int foreground = 0; // colour table indexes; 0 is "automatic"
    int background = 0;
    int highlight = 0;
    int expandTwips = 0; // extra space between letters
    QString href;        // inside the result of a HYPERLINK field

    bool operator==(const RtfCharState&) const = default;
};

struct RtfTabStop {
    int twips = 0;
    QTextOption::TabType type = QTextOption::LeftTab;
    bool operator==(const RtfTabStop&) const = default;
};

struct RtfParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftTwips = 0;
    int rightTwips = 0;
    int firstLineTwips = 0;
    int spaceBeforeTwips = 0;
    int spaceAfterTwips = 0;
    int lineSpacing = 0;       // \sl: 0 single, > 0 at least, < 0 exactly
    bool lineMultiple = false; // \slmult1: \sl is in 240ths of a single line
    std::vector<RtfTabStop> tabs;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    bool inTable = false;
    bool breakBefore = false;
    bool keepWithNext = false; // \keepn
    bool keepLines = false;    // \keep
    bool rightToLeft = false;
    int style = 0;                   // \s
    std::optional<int> outlineLevel; // \outlinelevel, which wins over the style
};

struct RtfCellDefinition {
    int rightTwips = 0;
    int background = 0;
};

struct RtfRowDefinition {
    std::vector<RtfCellDefinition> cells;
    int gapTwips = 108;
    bool bordered = false;
    int pendingBackground = 0; // \clcbpat before the \cellx it belongs to
};

// Builds Qt formats from RTF states, keeping the last character format so
// that runs in the same state share it.
class RtfFormatter {
public:
    RtfFormatter(const RtfFontTable& fonts, const RtfColorTable& colors, const RtfStyleSheet& styles,
                 const LayoutUnits& units)
        : m_fonts(fonts), m_colors(colors), m_styles(styles), m_units(units)
    {
    }

    const QTextCharFormat& charFormat(const RtfCharState& state);
    QTextBlockFormat blockFormat(const RtfParaState& state) const;
    // 1 to 9 for a heading, 0 for body text: \outlinelevelN gives N + 1 for
    // N from 0 to 8 and body text otherwise; without it, a "heading N" style
    // gives N.
    int headingLevel(const RtfParaState& state) const;
    std::optional<QColor> color(int index) const;
    void setDefaultFont(int number) { m_defaultFont = number; invalidate(); }
    // The tables changed: formats are built afresh.
    void invalidate() { m_lastState.reset(); }

    // Bounds for lengths read from the file.
    static constexpr double kMaxFontPoints = 300;
    static constexpr double kMaxVerticalPoints = 1000;

private:
    // The paragraph's tab stops for Qt, given its left and first-line
    // indents in points as laid out.
    QList<QTextOption::Tab> tabStops(const RtfParaState& state, double left, double first) const;

    const RtfFontTable& m_fonts;
    const RtfColorTable& m_colors;
    const RtfStyleSheet& m_styles;
    LayoutUnits m_units;
    int m_defaultFont = 0;
    std::optional<RtfCharState> m_lastState;
    QTextCharFormat m_lastFormat;
};

} // namespace quire::textimport
