#include "FlashOutlinePDF.h"

#include "util/Log.h"

namespace quire {

int FlashOutlinePDF::pageNumberFor(const pdf::OutlineNode& node, const FlashOutlineItem* parent)
{
    if (!node.url && node.target)
        return *node.target + 1;
    return parent ? parent->pageIndex() : 1;
}

void FlashOutlinePDF::loadOutlineFromPDF(const pdf::PdfDocument* pdfDoc)
{
    if (!pdfDoc)
        return;
    for (const pdf::OutlineNode& node : pdfDoc->outline()) {
        auto item = std::make_unique<FlashOutlineItem>();
        // A bookmark without a title still needs a caption text.
        item->setCaption(textOr(node.label, QStringLiteral("")));
        QLOG_DEBUG("%@", *item->caption());
        item->setPageIndex(pageNumberFor(node, nullptr));
        item->setLevel(1);
        item->setParent(nullptr);
        items().push_back(std::move(item));
        addOutelineToItems(items().back().get(), node, 1, pdfDoc);
    }
}

void FlashOutlinePDF::addOutelineToItems(FlashOutlineItem* item, const pdf::OutlineNode& node, int level,
                                         const pdf::PdfDocument* pdfDoc)
{
    for (const pdf::OutlineNode& childNode : node.children) {
        auto child = std::make_unique<FlashOutlineItem>();
        child->setCaption(textOr(childNode.label, QStringLiteral("")));
        child->setPageIndex(pageNumberFor(childNode, item));
        child->setLevel(level + 1);
        child->setParent(item);
        FlashOutlineItem* added = item->addChild(std::move(child));
        addOutelineToItems(added, childNode, level + 1, pdfDoc);
    }
}

} // namespace quire
