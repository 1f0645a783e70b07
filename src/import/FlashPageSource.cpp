#include "FlashPageSource.h"

#include "util/Format.h"
#include "util/Log.h"

#include <algorithm>

namespace quire {

std::unique_ptr<FlashPage> FlashPage::copyPage(int, int) const
{
    return std::make_unique<FlashPage>(pageFilePath(), pageIndex());
}

std::unique_ptr<FlashPage> FlashPageImage::copyPage(int, int) const
{
    return std::make_unique<FlashPageImage>(pageFilePath(), pageIndex());
}

FlashPage* FlashPageSource::getPageAtIndex(int position) const
{
    if (position < 0 || position >= int(m_pages.size()))
        return nullptr;
    return m_pages[size_t(position)].get();
}

FlashPage* FlashPageSource::getNormalPageAtIndex(int pageIndex) const
{
    for (const auto& page : m_normalPages)
        if (page->pageIndex() == pageIndex)
            return page.get();
    return nullptr;
}

void FlashPageSource::clearPages()
{
    m_pages.clear();
    m_normalPages.clear();
    m_zoomedPages.clear();
    m_thumbPages.clear();
}

std::vector<int> FlashPageSource::parsePageRange(const QString& range, int totalPage)
{
    std::vector<int> pages;
    if (range.toUpper() == QLatin1String("ALL")) {
        for (int n = 1; n <= totalPage; ++n)
            pages.push_back(n);
        return pages;
    }

    // A runaway span such as "1-2000000000" would exhaust memory; no document
    // has that many pages, so spans are capped well past any real page count.
    constexpr long long kMaxSpan = 1'000'000;
    for (const QString& piece : range.split(QLatin1Char(','))) {
        if (piece.contains(QLatin1Char('-'))) {
            const QStringList parts = piece.split(QLatin1Char('-'));
            const int from = leadingInteger(parts.value(0));
            const int to = leadingInteger(parts.value(1));
            const long long last = std::min<long long>(to, (long long)from + kMaxSpan);
            for (long long n = from; n <= last; ++n)
                pages.push_back(int(n));
        } else {
            pages.push_back(leadingInteger(piece));
        }
    }

    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());

    if (log::isEnabled(log::Level::Debug))
        for (size_t i = 0; i < pages.size(); ++i)
            QLOG_DEBUG("range[%d]=%@", int(i), pages[i]);
    return pages;
}

void FlashPageSourceImg::addImgPageFromFile(const QString& path)
{
    pages().push_back(std::make_unique<FlashPageImage>(path, int(pages().size()) + 1));
}

void FlashPageSourceImg::generateNormalPages()
{
    for (const auto& page : pages()) {
        if (getNormalPageAtIndex(page->pageIndex()))
            continue;
        auto copy = page->copyPage(100, 100);
        const long long position = (long long)page->pageIndex() - 1;
        // Numbers with gaps could point past the end: append to keep the order.
        if (position >= 0 && position <= (long long)normalPages().size())
            normalPages().insert(normalPages().begin() + position, std::move(copy));
        else
            normalPages().push_back(std::move(copy));
    }
}

} // namespace quire
