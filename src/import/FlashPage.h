#pragma once
#include "PageText.h"
#include "util/Text.h"

#include <memory>

namespace quire {

// One page picture file with its page number (counted from 1), and what the
// document says of the page besides its picture: its words and its label.
class FlashPage {
public:
    FlashPage() = default;
    FlashPage(const Text& pageFilePath, int pageIndex) : m_pageFilePath(pageFilePath), m_pageIndex(pageIndex) {}
    virtual ~FlashPage() = default;

    const Text& pageFilePath() const { return m_pageFilePath; }
    void setPageFilePath(const Text& path) { m_pageFilePath = path; }
    int pageIndex() const { return m_pageIndex; }
    void setPageIndex(int index) { m_pageIndex = index; }

    // The page's words; null for a page without any (a picture).
    const std::shared_ptr<const PageText>& pageText() const { return m_pageText; }
    void setPageText(std::shared_ptr<const PageText> text) { m_pageText = std::move(text); }
    // The label the document prints for the page ("iv"); none without one.
    const Text& pageLabel() const { return m_pageLabel; }
    void setPageLabel(const Text& label) { m_pageLabel = label; }

    // A page of the same class naming the same file, with the same words
    // and label; both numbers are ignored.
    virtual std::unique_ptr<FlashPage> copyPage(int zoom, int quality) const;

protected:
    // The copy's file, number, words and label are this page's.
    std::unique_ptr<FlashPage> copied(std::unique_ptr<FlashPage> copy) const;

private:
    Text m_pageFilePath;
    int m_pageIndex = 0;
    std::shared_ptr<const PageText> m_pageText;
    Text m_pageLabel;
};

// A page whose file the user or the application supplied.
class FlashPageImage : public FlashPage {
public:
    using FlashPage::FlashPage;
    std::unique_ptr<FlashPage> copyPage(int zoom, int quality) const override;
};

} // namespace quire
