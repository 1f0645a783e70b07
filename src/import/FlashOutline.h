#pragma once
// The book's table of contents and its "ols" XML form.
#include "util/Text.h"
#include "util/Xml.h"

#include <memory>
#include <vector>

namespace quire {

class FlashOutlineItem {
public:
    using ItemList = std::vector<std::unique_ptr<FlashOutlineItem>>;

    FlashOutlineItem() = default;
    FlashOutlineItem(const FlashOutlineItem&) = delete;
    FlashOutlineItem& operator=(const FlashOutlineItem&) = delete;

    const Text& caption() const { return m_caption; }
    void setCaption(const Text& caption) { m_caption = caption; }
    int pageIndex() const { return m_pageIndex; }
    void setPageIndex(int pageIndex) { m_pageIndex = pageIndex; }
    FlashOutlineItem* parent() const { return m_parent; }
    void setParent(FlashOutlineItem* parent) { m_parent = parent; }
    int level() const { return m_level; }
    void setLevel(int level) { m_level = level; }
    const ItemList& childItems() const { return m_childItems; }

    // Appends without setting the child's parent (callers do).
    FlashOutlineItem* addChild(std::unique_ptr<FlashOutlineItem> child);
    // Removes and returns that child; null when it is not a child.
    std::unique_ptr<FlashOutlineItem> removeChild(const FlashOutlineItem* child);

    // A new "o" element for this entry and its subtree.
    xml::NodePtr outlineItemAsXMLNode() const;
    // Fills this entry from an "o" element; throws Error "ERROR_INIT_OUTLINE_ITEM".
    void loadItemFromXMLNode(const xmlNode* node);

private:
    Text m_caption;
    int m_pageIndex = 0;
    FlashOutlineItem* m_parent = nullptr;
    ItemList m_childItems;
    int m_level = 0;
};

class FlashOutline {
public:
    FlashOutline() = default;
    FlashOutline(const FlashOutline&) = delete;
    FlashOutline& operator=(const FlashOutline&) = delete;
    virtual ~FlashOutline() = default;

    FlashOutlineItem::ItemList& items() { return m_items; }
    const FlashOutlineItem::ItemList& items() const { return m_items; }

    // A new "ols" element for the whole tree.
    xml::NodePtr outlineAsXMLNode() const;
    // Replaces the tree from an "ols" element; throws Error "ERROR_INIT_OUTLINES".
    void loadFromXMLNode(const xmlNode* node);

private:
    FlashOutlineItem::ItemList m_items;
};

} // namespace quire
