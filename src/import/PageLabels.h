#pragma once
// Page labels as a PDF document defines them: ranges of pages, each
// numbered in a style from a start value, behind an optional prefix
// ("iv", "A-3", "Appendix 2").
#include "util/Text.h"

#include <QString>
#include <vector>

namespace quire {

struct PageLabelRange {
    int firstPage = 0;       // position, from 0, of the range's first page
    char style = 0;          // 'D' decimal, 'R'/'r' roman, 'A'/'a' letters, 0 none
    QString prefix;
    int start = 1;           // the number of the range's first page
};

// The label of every page position of a document of pageCount pages. A
// range runs until the next one begins; pages before the first range have
// no label. Two ranges starting on the same page: the later one counts.
std::vector<Text> pageLabels(std::vector<PageLabelRange> ranges, int pageCount);

// value (from 1) in a numbering style; "" for no style. Numbers too large to
// write sensibly in letters or roman numerals are written in digits.
QString labelNumber(char style, int value);

} // namespace quire
