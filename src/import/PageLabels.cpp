#include "PageLabels.h"

#include <algorithm>
#include <limits>

namespace quire {
namespace {

// Beyond this the styles would make labels of thousands of letters.
constexpr int kMaxRoman = 99'999;   // 99 "m" at most
constexpr int kMaxLetters = 26 * 50; // 50 letters at most

QString roman(int value)
{
    static const struct {
        int value;
        const char* digits;
    } kDigits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
                   {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString out;
    for (const auto& digit : kDigits)
        for (; value >= digit.value; value -= digit.value)
            out += QLatin1String(digit.digits);
    return out;
}

// a ... z, then aa ... zz, then aaa ...
QString letters(int value)
{
    const int index = (value - 1) % 26;
    return QString(1 + (value - 1) / 26, QChar(u'a' + index));
}

} // namespace

QString labelNumber(char style, int value)
{
    switch (style) {
    case 'D':
        return QString::number(value);
    case 'R':
    case 'r': {
        const QString text = value >= 1 && value <= kMaxRoman ? roman(value) : QString::number(value);
        return style == 'R' ? text.toUpper() : text;
    }
    case 'A':
    case 'a': {
        const QString text = value >= 1 && value <= kMaxLetters ? letters(value) : QString::number(value);
        return style == 'A' ? text.toUpper() : text;
    }
    default:
        return {};
    }
}

std::vector<Text> pageLabels(std::vector<PageLabelRange> ranges, int pageCount)
{
    std::vector<Text> labels(size_t(std::max(0, pageCount)));
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const PageLabelRange& a, const PageLabelRange& b) { return a.firstPage < b.firstPage; });
    for (size_t r = 0; r < ranges.size(); ++r) {
        const PageLabelRange& range = ranges[r];
        const int end = r + 1 < ranges.size() ? std::min(ranges[r + 1].firstPage, pageCount) : pageCount;
        const int first = std::max(range.firstPage, 0);
        for (int page = first; page < end; ++page) {
            const long long value = (long long)std::max(range.start, 1) + (page - range.firstPage);
            const QString number = value <= std::numeric_limits<int>::max() ? labelNumber(range.style, int(value)) : QString::number(value);
            labels[size_t(page)] = range.prefix + number;
        }
    }
    return labels;
}

} // namespace quire
