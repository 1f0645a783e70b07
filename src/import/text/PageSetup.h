#pragma once
// The page that text and RTF documents are printed on, and the units the text
// layout works in.
#include <QMarginsF>
#include <QSizeF>

class QPaintDevice;

namespace quire::textimport {

// All lengths in points.
struct PageSetup {
    static constexpr double paperWidth = 648;
    static constexpr double paperHeight = 468;
    static constexpr double marginLeft = 40;
    static constexpr double marginRight = 40;
    static constexpr double marginTop = 40;
    static constexpr double marginBottom = 50;
    static constexpr double textAreaWidth = 468;
    static constexpr double printableWidth = paperWidth - marginLeft - marginRight;   // 568
    static constexpr double printableHeight = paperHeight - marginTop - marginBottom; // 378
    static constexpr const char* paperName = "A4 Minimal Margins 1";
};

// Lengths for a QTextDocument laid out on a 72-dpi device, where one layout
// unit is one point. Qt multiplies some lengths (frame margins, vertical block
// margins, fixed line heights, tab positions, image sizes, table padding and
// borders) by the device dpi over the screen's, and leaves others (left and
// right block margins, first-line indents, font sizes in points) alone. The
// ratio is measured, not assumed, because the screen dpi varies.
class LayoutUnits {
public:
    // Measures the ratio on a 72-dpi device.
    static LayoutUnits forPrinting();
    // Measures the ratio for the given device.
    static LayoutUnits forDevice(QPaintDevice* device);

    // The value to store in a format so that Qt lays out `points`, for the
    // lengths that Qt scales.
    double scaled(double points) const { return points / m_ratio; }
    double ratio() const { return m_ratio; }

private:
    explicit LayoutUnits(double ratio) : m_ratio(ratio) {}
    double m_ratio;
};

} // namespace quire::textimport
