#include "FlashPageSource.h"

#include "util/Error.h"
#include "util/Format.h"
#include "util/Log.h"

#include <algorithm>

namespace quire {

std::unique_ptr<FlashPage> FlashPage::copied(std::unique_ptr<FlashPage> copy) const
{
    copy->setPageFilePath(m_pageFilePath);
    copy->setPageIndex(m_pageIndex);
    copy->setPageText(m_pageText);
    copy->setPageLabel(m_pageLabel);
    return copy;
}

std::unique_ptr<FlashPage> FlashPage::copyPage(int, int) const
{
    return copied(std::make_unique<FlashPage>());
}

std::unique_ptr<FlashPage> FlashPageImage::copyPage(int, int) const
{
    return copied(std::make_unique<FlashPageImage>());
}

FlashPage* FlashPageSource::getPageAtIndex(int position) const
{
    if (position < 0 || position >= int(m_pages.size()))
        return nullptr;
    return m_pages[size_t(position)].get();
}

namespace {

FlashPage* findPage(const FlashPageSource::PageList& list, int pageIndex)
{
    for (const auto& page : list)
        if (page->pageIndex() == pageIndex)
            return page.get();
    return nullptr;
}

} // namespace

FlashPage* FlashPageSource::getNormalPageAtIndex(int pageIndex) const
{
    return findPage(m_normalPages, pageIndex);
}

FlashPage* FlashPageSource::getThumbPageAtIndex(int pageIndex) const
{
    return findPage(m_thumbPages, pageIndex);
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

    // The spans are merged and counted before any page is listed: a short
    // text such as "1-2000000000" must not exhaust memory.
    std::vector<std::pair<long long, long long>> spans;
    for (const QString& piece : range.split(QLatin1Char(','))) {
        if (piece.contains(QLatin1Char('-'))) {
            const QStringList parts = piece.split(QLatin1Char('-'));
            const int from = leadingInteger(parts.value(0));
            const int to = leadingInteger(parts.value(1));
            if (from <= to)
                spans.emplace_back(from, to);
        } else {
            const int n = leadingInteger(piece);
            spans.emplace_back(n, n);
        }
    }
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<long long, long long>> merged;
    long long count = 0;
    for (const auto& span : spans) {
        if (!merged.empty() && span.first <= merged.back().second + 1) {
            count += std::max(0LL, span.second - merged.back().second);
            merged.back().second = std::max(merged.back().second, span.second);
        } else {
            count += span.second - span.first + 1;
            merged.push_back(span);
        }
    }
    if (count > kMaxRangePages)
        throw Error(QStringLiteral("ERROR_PAGE_RANGE_TOO_LARGE"),
                    QStringLiteral("The page range names %1 pages; a range may name at most %2")
                        .arg(count)
                        .arg(kMaxRangePages));
    pages.reserve(size_t(count));
    for (const auto& [from, to] : merged)
        for (long long n = from; n <= to; ++n)
            pages.push_back(int(n));

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
