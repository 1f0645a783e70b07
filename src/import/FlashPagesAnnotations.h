#pragma once
// The link areas of all pages as one "pagesAnnos" element, and the files
// those annotations need in the published book.
#include "util/Xml.h"

#include <QStringList>

namespace quire {

class FlashPagesAnnotations {
public:
    FlashPagesAnnotations() = default;
    FlashPagesAnnotations(const FlashPagesAnnotations&) = delete;
    FlashPagesAnnotations& operator=(const FlashPagesAnnotations&) = delete;
    virtual ~FlashPagesAnnotations() = default;

    const QStringList& needFiles() const { return m_needFiles; }
    QStringList& needFiles() { return m_needFiles; }
    void setNeedFiles(const QStringList& files) { m_needFiles = files; }

    // The "pagesAnnos" element, owned here; null until loaded.
    const xmlNode* pagesAnnotationsNode() const { return m_node.get(); }
    xmlNode* pagesAnnotationsNode() { return m_node.get(); }
    void setPagesAnnotationsNode(xml::NodePtr node) { m_node = std::move(node); }

private:
    QStringList m_needFiles;
    xml::NodePtr m_node;
};

} // namespace quire
