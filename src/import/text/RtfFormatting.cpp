#include "RtfFormatting.h"

#include "PageKeeping.h"
#include "RtfStyleSheet.h"
#include "RtfTables.h"

#include <QList>
#include <algorithm>

namespace quire::textimport {

namespace {

double twipsToPoints(int twips)
{
    return twips / 20.0;
}

} // namespace

std::optional<QColor> RtfFormatter::color(int index) const
{
    return m_colors.color(index);
}

const QTextCharFormat& RtfFormatter::charFormat(const RtfCharState& state)
{
    if (m_lastState && *m_lastState == state)
        return m_lastFormat;

    QTextCharFormat format;
    const RtfFont* font = m_fonts.find(state.font < 0 ? m_defaultFont : state.font);
    if (font && !font->installedFamily.isEmpty()) {
        format.setFontFamilies(QStringList{font->installedFamily, font->fallbackFamily});
        format.setFontStyleHint(font->styleHint);
    } else {
        format.setFontFamilies(QStringList{FontMapper::genericFamily(FontMapper::Generic::Sans),
                                           FontMapper::fallbackFamily(FontMapper::Generic::Sans)});
        format.setFontStyleHint(QFont::SansSerif);
    }
    format.setFontPointSize(std::clamp(state.halfPoints / 2.0, 1.0, kMaxFontPoints));
    const bool bold = state.bold || (font && font->impliesBold);
    const bool italic = state.italic || (font && font->impliesItalic);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    format.setUnderlineStyle(state.underline);
    format.setFontStrikeOut(state.strike);
    format.setVerticalAlignment(state.verticalAlignment);
    if (state.caps)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (state.smallCaps)
        format.setFontCapitalization(QFont::SmallCaps);
    if (auto c = m_colors.color(state.foreground))
        format.setForeground(*c);
    // A highlight wins over a character background; index 0 is "none" for both.
    if (state.highlight > 0) {
        if (auto c = m_colors.color(state.highlight))
            format.setBackground(*c);
    } else if (state.background > 0) {
        if (auto c = m_colors.color(state.background))
            format.setBackground(*c);
    }
    if (state.expandTwips != 0) {
        format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        format.setFontLetterSpacing(std::clamp(twipsToPoints(state.expandTwips), -10.0, 100.0));
    }
    if (!state.href.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(state.href);
    }
    m_lastState = state;
    m_lastFormat = format;
    return m_lastFormat;
}

QTextBlockFormat RtfFormatter::blockFormat(const RtfParaState& state) const
{
    QTextBlockFormat format;
    format.setAlignment(state.alignment);
    if (state.rightToLeft)
        format.setLayoutDirection(Qt::RightToLeft);

    // Indents stay inside the text area and leave a line at least an inch wide.
    constexpr double width = PageSetup::textAreaWidth;
    constexpr double minLine = 72;
    const double left = std::clamp(twipsToPoints(state.leftTwips), 0.0, width - minLine);
    const double right = std::clamp(twipsToPoints(state.rightTwips), 0.0, width - minLine - left);
    const double first = std::clamp(twipsToPoints(state.firstLineTwips), -left, width - minLine - left - right);
    format.setLeftMargin(left);
    format.setRightMargin(right);
    format.setTextIndent(first);

    format.setTopMargin(m_units.scaled(std::clamp(twipsToPoints(state.spaceBeforeTwips), 0.0, kMaxVerticalPoints)));
    format.setBottomMargin(m_units.scaled(std::clamp(twipsToPoints(state.spaceAfterTwips), 0.0, kMaxVerticalPoints)));

    if (state.lineSpacing != 0) {
        if (state.lineMultiple) {
            const double percent = std::clamp(std::abs(state.lineSpacing) / 240.0 * 100.0, 50.0, 500.0);
            format.setLineHeight(percent, QTextBlockFormat::ProportionalHeight);
        } else {
            // A line never grows taller than a page.
            const double points = std::clamp(twipsToPoints(std::abs(state.lineSpacing)), 1.0,
                                             PageSetup::printableHeight - 2);
            format.setLineHeight(m_units.scaled(points), state.lineSpacing < 0 ? QTextBlockFormat::FixedHeight
                                                                               : QTextBlockFormat::MinimumHeight);
        }
    }

    if (const QList<QTextOption::Tab> tabs = tabStops(state, left, first); !tabs.isEmpty())
        format.setTabPositions(tabs);
    if (state.breakBefore)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (state.keepWithNext)
        format.setProperty(PageKeeping::KeepWithNext, true);
    if (state.keepLines)
        format.setProperty(PageKeeping::KeepLinesTogether, true);
    // Layout ignores the level; the printer turns headings into bookmarks.
    if (const int level = headingLevel(state); level > 0)
        format.setHeadingLevel(level);
    return format;
}

QList<QTextOption::Tab> RtfFormatter::tabStops(const RtfParaState& state, double left, double first) const
{
    // RTF measures tab stops from the left margin, Qt from where the line
    // starts, which on a first line lies past the indents. Tabs are nearly
    // always used on first lines (bullets, numbers, hanging indents), so the
    // stops are placed for that line; a right-to-left paragraph keeps them
    // as they stand.
    const double lineStart = state.rightToLeft ? 0.0 : left + first;
    std::vector<std::pair<double, RtfTabStop>> stops;
    for (const RtfTabStop& stop : state.tabs)
        stops.emplace_back(std::clamp(twipsToPoints(stop.twips), 0.0, PageSetup::textAreaWidth), stop);
    // As in word processors, a hanging indent is a tab stop of its own unless
    // a stop of the paragraph's comes first.
    if (first < 0 && !state.rightToLeft &&
        std::none_of(stops.begin(), stops.end(),
                     [&](const auto& s) { return s.first > lineStart && s.first <= left; }))
        stops.emplace_back(left, RtfTabStop{});
    std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    QList<QTextOption::Tab> tabs;
    for (const auto& [points, stop] : stops) {
        // A stop at or before the line's start can never be reached.
        if (points - lineStart <= 0 && lineStart > 0)
            continue;
        QTextOption::Tab tab(m_units.scaled(points - lineStart), stop.type);
        if (stop.type == QTextOption::DelimiterTab)
            tab.delimiter = QLatin1Char('.');
        tabs.append(tab);
    }
    return tabs;
}

int RtfFormatter::headingLevel(const RtfParaState& state) const
{
    if (state.outlineLevel)
        return *state.outlineLevel >= 0 && *state.outlineLevel <= 8 ? *state.outlineLevel + 1 : 0;
    return m_styles.headingLevel(state.style);
}

} // namespace quire::textimport
