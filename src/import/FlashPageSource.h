#pragma once
// The ordered pages of the book being edited, and the page-range parser.
#include "FlashPage.h"

#include <QString>
#include <atomic>
#include <memory>
#include <vector>

namespace quire {

class FlashPageSource {
public:
    using PageList = std::vector<std::unique_ptr<FlashPage>>;

    FlashPageSource() = default;
    FlashPageSource(const FlashPageSource&) = delete;
    FlashPageSource& operator=(const FlashPageSource&) = delete;
    virtual ~FlashPageSource() = default;

    virtual void generatePages() {}
    virtual void generateNormalPages() {}
    virtual FlashPage* getZoomedPageAtIndex(int /*pageIndex*/) const { return nullptr; }
    // First thumbnail page with that page number, or null: the sources that
    // render pages make thumbnails of them.
    virtual FlashPage* getThumbPageAtIndex(int pageIndex) const;
    // Position counted from 0; null past the end.
    virtual FlashPage* getPageAtIndex(int position) const;
    // First normal page with that page number, or null.
    virtual FlashPage* getNormalPageAtIndex(int pageIndex) const;

    void clearPages();

    // Page numbers of a range text ("ALL", "1,3,5-7" ...), sorted, unique.
    // Throws Error, before listing any, when the text names more than
    // kMaxRangePages pages.
    static std::vector<int> parsePageRange(const QString& range, int totalPage);
    static constexpr int kMaxRangePages = 1'000'000;

    PageList& pages() { return m_pages; }
    const PageList& pages() const { return m_pages; }
    PageList& normalPages() { return m_normalPages; }
    const PageList& normalPages() const { return m_normalPages; }
    PageList& zoomedPages() { return m_zoomedPages; }
    const PageList& zoomedPages() const { return m_zoomedPages; }
    PageList& thumbPages() { return m_thumbPages; }
    const PageList& thumbPages() const { return m_thumbPages; }

    const QString& sourceFile() const { return m_sourceFile; }
    void setSourceFile(const QString& path) { m_sourceFile = path; }

    bool stop() const { return m_stop.load(); }
    void setStop(bool stop) { m_stop.store(stop); }

private:
    PageList m_pages;
    PageList m_normalPages;
    PageList m_zoomedPages;
    PageList m_thumbPages;
    QString m_sourceFile = QStringLiteral("");
    std::atomic<bool> m_stop{false};
};

// Pages from picture files, numbered 1, 2, 3 ... in the order added.
class FlashPageSourceImg : public FlashPageSource {
public:
    void addImgPageFromFile(const QString& path);
    void generateNormalPages() override;
};

} // namespace quire
