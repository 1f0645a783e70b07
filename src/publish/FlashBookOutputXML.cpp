// The book configuration document and its sealed container.
#include "BookContainer.h"
#include "FlashBookOutput.h"
#include "PublishConstants.h"
#include "util/Console.h"
#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/Log.h"

#include <QFile>
#include <QFileInfo>

namespace quire {

QString FlashBookOutput::getNormalPageURL(const FlashPage& page) const
{
    return formatMessage("./%@/%@/%d.%@", {m_resourceFolder, m_normalPageFolder, page.pageIndex(),
                                           fs::pathExtension(textOr(page.pageFilePath()))});
}

QString FlashBookOutput::getZoomedPageURL(const FlashPage& page) const
{
    return getNormalPageURL(page);
}

QString FlashBookOutput::getThumbPageURL(const FlashPage& page) const
{
    return getNormalPageURL(page);
}

void FlashBookOutput::appendItem(xmlNode* extConfig, const FlashTemplateProperty& property) const
{
    xmlNode* item = xml::appendElement(extConfig, "item");
    xml::setAttribute(item, "name", textOr(property.key()));
    if (property.propertyType() == pt_file) {
        // The viewer finds the file where prepaireExtFiles copies it, named by
        // the key, whether or not the file exists.
        xml::appendText(item, formatMessage("./%@/%@/%@.%@", {m_resourceFolder, m_exterFilesFolder,
                                                               textOr(property.key()),
                                                               fs::pathExtension(textOr(property.value()))}));
    } else if (property.value()) {
        xml::appendText(item, *property.value());
    }
}

void FlashBookOutput::appendChildPropertyToNode(xmlNode* extConfig, const FlashTemplateProperty& property) const
{
    for (const auto& child : property.childProperties()) {
        appendItem(extConfig, *child);
        appendChildPropertyToNode(extConfig, *child);
    }
}

void FlashBookOutput::appendPages(xmlNode* root) const
{
    xmlNode* pages = xml::appendElement(root, "pages");
    if (!m_flashPageSource)
        return;
    const QString hardCover = m_flashTemplate
        ? m_flashTemplate->propertyValueFor(QStringLiteral("isHardCover"), QStringLiteral("no")).toUpper()
        : QString();
    const bool hard = hardCover == QLatin1String("YES");
    const auto& list = m_flashPageSource->pages();
    const size_t n = list.size();
    for (size_t i = 0; i < n; ++i) {
        const FlashPage& normal = normalPageFor(*list[i]);
        xmlNode* page = xml::appendElement(pages, "page");
        const bool cover = hard && (i == 0 || i == n - 1);
        xml::setAttribute(page, "isHardPage", cover ? QStringLiteral("true") : QStringLiteral("false"));
        xml::setAttribute(page, "isEncrypted", QStringLiteral("false"));
        xml::appendTextElement(page, "normalUrl", getNormalPageURL(normal));
        xml::appendTextElement(page, "largeUrl", getZoomedPageURL(normal));
        // The thumbnails the publisher makes are listed in files/extras.js:
        // this URL stays the page's own picture, as readers of it expect.
        xml::appendTextElement(page, "thumbUrl", getThumbPageURL(normal));
    }
}

const FlashPage& FlashBookOutput::normalPageFor(const FlashPage& entry) const
{
    if (const FlashPage* normal = m_flashPageSource->getNormalPageAtIndex(entry.pageIndex()))
        return *normal;
    // Not made by the system's own sources; name the entry's own picture so
    // the book stays complete.
    QLOG_WARN("no normal page for page %d", entry.pageIndex());
    return entry;
}

xml::DocPtr FlashBookOutput::bookXML() const
{
    xml::NodePtr root = xml::newElement("flipbook");
    const int count = m_flashPageSource ? int(m_flashPageSource->pages().size()) : 0;
    xml::setAttribute(root.get(), "count", formatMessage("%d", {count}));
    xml::setAttribute(root.get(), "appAppShortName", QString::fromUtf8(publish::kAppShortName));
    xml::setAttribute(root.get(), "appAppName", QString::fromUtf8(publish::kAppName));
    xml::setAttribute(root.get(), "appAppVersion", QString::fromUtf8(publish::kAppVersion));
    xml::setAttribute(root.get(), "appWebsite", QString::fromUtf8(publish::kAppWebsite));
    xml::setAttribute(root.get(), "e", QString::fromUtf8(publish::kExtensionMark));

    xmlNode* extConfig = xml::appendElement(root.get(), "extConfig");
    if (m_flashTemplate) {
        for (const auto& property : m_flashTemplate->properties()) {
            appendItem(extConfig, *property);
            appendChildPropertyToNode(extConfig, *property);
        }
    }

    appendPages(root.get());

    if (m_flashOutline) {
        xmlNode* outline = xml::adopt(root.get(), m_flashOutline->outlineAsXMLNode());
        QLOG_DEBUG("XML:%@", QString::fromUtf8(xml::serialize(outline)));
    }
    // The annotation set is published again on every preview; it keeps its
    // element and the document gets a copy.
    if (m_flashPagesAnnotations && m_flashPagesAnnotations->pagesAnnotationsNode())
        xml::adopt(root.get(), xml::copy(m_flashPagesAnnotations->pagesAnnotationsNode()));

    return xml::newDocument(std::move(root));
}

PublishResult FlashBookOutput::ouputBookXML(const QString& path) const
{
    PublishResult result;
    const QString step = QStringLiteral("book container");
    const xml::DocPtr document = bookXML();
    const std::optional<QByteArray> sealed = publish::sealBookDocument(xml::serialize(document.get(), true));
    const QString scriptPath = fs::join(fs::deletingLastPathComponent(path),
                                        QString::fromUtf8(publish::kContainerScriptName));
    QString error;
    if (!sealed)
        result.fail(step, path, QStringLiteral("the configuration could not be sealed"));
    else if (!fs::writeAtomically(path, *sealed, &error, m_syncsToDisk))
        result.fail(step, path, QStringLiteral("cannot be written: %1").arg(error));
    else if (!fs::writeAtomically(scriptPath, publish::containerScript(*sealed), &error, m_syncsToDisk)) {
        result.fail(step, scriptPath, QStringLiteral("cannot be written: %1").arg(error));
        // A script left from an earlier publish would show the old book.
        QFile::remove(scriptPath);
    }
    if (!result.ok())
        console::line(QStringLiteral("Could not write document out..."));
    return result;
}

} // namespace quire
