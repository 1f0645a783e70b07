#pragma once
#include "util/Text.h"

#include <memory>

namespace quire {

// One page picture file with its page number (counted from 1).
class FlashPage {
public:
    FlashPage() = default;
    FlashPage(const Text& pageFilePath, int pageIndex) : m_pageFilePath(pageFilePath), m_pageIndex(pageIndex) {}
    virtual ~FlashPage() = default;

    const Text& pageFilePath() const { return m_pageFilePath; }
    void setPageFilePath(const Text& path) { m_pageFilePath = path; }
    int pageIndex() const { return m_pageIndex; }
    void setPageIndex(int index) { m_pageIndex = index; }

    // A page of the same class naming the same file; both numbers are ignored.
    virtual std::unique_ptr<FlashPage> copyPage(int zoom, int quality) const;

private:
    Text m_pageFilePath;
    int m_pageIndex = 0;
};

// A page whose file the user or the application supplied.
class FlashPageImage : public FlashPage {
public:
    using FlashPage::FlashPage;
    std::unique_ptr<FlashPage> copyPage(int zoom, int quality) const override;
};

} // namespace quire
