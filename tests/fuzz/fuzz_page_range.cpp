// Page-range texts: the result is sorted, without duplicates, and "ALL"
// gives every page. The first byte is the page count.
#include "FuzzSupport.h"
#include "import/FlashPageSource.h"

void quire::fuzz::setUp(char*) {}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using quire::fuzz::check;
    if (size == 0)
        return 0;
    const int total = data[0];
    const QString range = QString::fromUtf8(quire::fuzz::bytes(data + 1, size - 1));
    const std::vector<int> pages = quire::FlashPageSource::parsePageRange(range, total);
    for (size_t i = 1; i < pages.size(); ++i)
        check(pages[i - 1] < pages[i], "pages ascend without duplicates", range);
    if (range.toUpper() == QLatin1String("ALL"))
        check(pages.size() == size_t(total) && (pages.empty() || pages.back() == total), "ALL is every page", range);
    return 0;
}
