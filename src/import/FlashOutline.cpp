#include "FlashOutline.h"

#include "util/Error.h"
#include "util/Format.h"

#include <algorithm>

namespace quire {

FlashOutlineItem* FlashOutlineItem::addChild(std::unique_ptr<FlashOutlineItem> child)
{
    m_childItems.push_back(std::move(child));
    return m_childItems.back().get();
}

std::unique_ptr<FlashOutlineItem> FlashOutlineItem::removeChild(const FlashOutlineItem* child)
{
    auto it = std::find_if(m_childItems.begin(), m_childItems.end(),
                           [child](const auto& c) { return c.get() == child; });
    if (it == m_childItems.end())
        return nullptr;
    auto removed = std::move(*it);
    m_childItems.erase(it);
    return removed;
}

xml::NodePtr FlashOutlineItem::outlineItemAsXMLNode() const
{
    xml::NodePtr o = xml::newElement("o");
    xml::appendTextElement(o.get(), "c", textOr(m_caption));
    xml::appendTextElement(o.get(), "p", QString::number(m_pageIndex));
    xml::appendTextElement(o.get(), "l", QString::number(m_level));
    xmlNode* ci = xml::appendElement(o.get(), "ci");
    for (const auto& child : m_childItems)
        xml::adopt(ci, child->outlineItemAsXMLNode());
    return o;
}

void FlashOutlineItem::loadItemFromXMLNode(const xmlNode* node)
{
    if (!xml::hasName(node, "o"))
        throw Error(QStringLiteral("ERROR_INIT_OUTLINE_ITEM"), QStringLiteral("Not a flash outline item"));
    if (const xmlNode* c = xml::firstChild(node, "c"))
        m_caption = xml::text(c);
    if (const xmlNode* p = xml::firstChild(node, "p"))
        m_pageIndex = leadingInteger(xml::text(p));
    if (const xmlNode* l = xml::firstChild(node, "l"))
        m_level = leadingInteger(xml::text(l));
    m_childItems.clear();
    if (const xmlNode* ci = xml::firstChild(node, "ci")) {
        for (const xmlNode* childNode : xml::children(ci, "o")) {
            auto child = std::make_unique<FlashOutlineItem>();
            child->loadItemFromXMLNode(childNode);
            child->setParent(this);
            addChild(std::move(child));
        }
    }
}

xml::NodePtr FlashOutline::outlineAsXMLNode() const
{
    xml::NodePtr ols = xml::newElement("ols");
    for (const auto& item : m_items)
        xml::adopt(ols.get(), item->outlineItemAsXMLNode());
    return ols;
}

void FlashOutline::loadFromXMLNode(const xmlNode* node)
{
    if (!xml::hasName(node, "ols"))
        throw Error(QStringLiteral("ERROR_INIT_OUTLINES"), QStringLiteral("Not a flash outline"));
    // Build aside so a failure deep inside leaves the tree as it was.
    FlashOutlineItem::ItemList items;
    for (const xmlNode* o : xml::children(node, "o")) {
        auto item = std::make_unique<FlashOutlineItem>();
        item->loadItemFromXMLNode(o);
        item->setParent(nullptr);
        items.push_back(std::move(item));
    }
    m_items = std::move(items);
}

} // namespace quire
