#include "FlashBookOutput.h"

#include "FileCopy.h"
#include "PublishConstants.h"
#include "util/Error.h"
#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/Log.h"

#include <QFile>
#include <QFileInfo>
#include <optional>
#include <sys/stat.h>

namespace quire {
namespace {

// True when both paths name the same existing file, so deleting the
// destination first would destroy the source.
bool sameFile(const QString& a, const QString& b)
{
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Puts a copy of source at destination, replacing whatever was there.
void replaceWithCopy(const QString& source, const QString& destination)
{
    if (sameFile(source, destination))
        return;
    if (fs::exists(destination))
        QFile::remove(destination);
    if (!source.isEmpty())
        publish::copyFile(source, destination);
}

} // namespace

FlashBookOutput::FlashBookOutput(std::shared_ptr<FlashPageSource> pageSource,
                                 std::shared_ptr<FlashTemplate> flashTemplate, const QString& saveToFolder,
                                 const Text& toName)
    : m_flashTemplate(std::move(flashTemplate))
    , m_flashPageSource(std::move(pageSource))
    , m_saveToFolder(saveToFolder)
    , m_saveToFileName(toName)
    , m_resourceFolder(QString::fromUtf8(publish::kResourceFolder))
    , m_normalPageFolder(QString::fromUtf8(publish::kNormalPageFolder))
    , m_exterFilesFolder(QString::fromUtf8(publish::kExterFilesFolder))
    , m_annotationFilesFolder(QString::fromUtf8(publish::kAnnotationFilesFolder))
{
}

QString FlashBookOutput::outputHTMLFileName() const
{
    // An empty name would make the folder itself the page.
    const bool named = m_saveToFileName && !m_saveToFileName->isEmpty();
    return fs::join(m_saveToFolder, named ? *m_saveToFileName : QString::fromUtf8(publish::kDefaultHTMLFileName));
}

QString FlashBookOutput::outputFileName() const
{
    return outputHTMLFileName();
}

QString FlashBookOutput::outputSWFName() const
{
    return fs::join(m_saveToFolder, QString::fromUtf8(publish::kViewerFileName));
}

QString FlashBookOutput::folderOrOutput(const QString& folder) const
{
    return folder.isEmpty() ? m_saveToFolder : folder;
}

void FlashBookOutput::ouputTheBook()
{
    if (!QFileInfo(m_saveToFolder).isDir())
        return;
    prepaireNomalPage(QString());
    prepaireZoomendPage(QString());
    prepaireThumbPage(QString());
    prepaireExtFiles(QString());
    if (m_flashPagesAnnotations)
        PrepareAnnotationFiles(QString());

    // A missing page must not keep the configuration and the viewer from
    // being written; the failure is raised once the rest of the book is there.
    std::optional<Error> htmlFailure;
    try {
        writeHTMLPage();
    } catch (const Error& error) {
        htmlFailure = error;
    }

    ouputBookXML(fs::join(m_saveToFolder, formatMessage("%@/book.bin", {m_resourceFolder})));
    if (m_flashTemplate)
        m_flashTemplate->copyBookSWFToFile(outputSWFName());

    if (htmlFailure)
        throw *htmlFailure;
}

void FlashBookOutput::prepaireNomalPage(const QString& folder)
{
    const QString base = folderOrOutput(folder);
    fs::makePath(fs::join(base, m_resourceFolder, m_normalPageFolder));
    if (!m_flashPageSource)
        return;
    for (const auto& page : m_flashPageSource->normalPages()) {
        const QString source = textOr(page->pageFilePath());
        const QString destination = fs::join(
            base, formatMessage("%@/%@/%d.%@", {m_resourceFolder, m_normalPageFolder, page->pageIndex(),
                                                fs::pathExtension(source)}));
        replaceWithCopy(source, destination);
    }
}

// Large and thumbnail pages are the normal pages: there is nothing to write.
void FlashBookOutput::prepaireZoomendPage(const QString&) {}
void FlashBookOutput::prepaireThumbPage(const QString&) {}

void FlashBookOutput::prepaireExtFiles(const QString& folder)
{
    const QString extFolder = fs::join(folderOrOutput(folder), m_resourceFolder, m_exterFilesFolder);
    fs::makePath(extFolder);
    if (!m_flashTemplate)
        return;
    for (const auto& property : m_flashTemplate->properties()) {
        copyExtFile(extFolder, *property);
        prepaireExtFiles(folder, *property);
    }
}

void FlashBookOutput::prepaireExtFiles(const QString& folder, const FlashTemplateProperty& childPro)
{
    const QString extFolder = fs::join(folderOrOutput(folder), m_resourceFolder, m_exterFilesFolder);
    for (const auto& child : childPro.childProperties()) {
        copyExtFile(extFolder, *child);
        prepaireExtFiles(folder, *child);
    }
}

void FlashBookOutput::copyExtFile(const QString& extFolder, const FlashTemplateProperty& property) const
{
    if (property.propertyType() != pt_file)
        return;
    const QString value = textOr(property.value());
    const QString destination = fs::join(
        extFolder, formatMessage("%@.%@", {textOr(property.key()), fs::pathExtension(value)}));
    // A stale copy goes even when the new value names no file.
    replaceWithCopy(QFileInfo(value).isFile() ? value : QString(), destination);
}

void FlashBookOutput::PrepareAnnotationFiles(const QString& folder)
{
    const QString configFolder = fs::join(folderOrOutput(folder), m_resourceFolder, m_annotationFilesFolder);
    fs::makePath(configFolder);
    if (!m_flashPagesAnnotations)
        return;
    for (const QString& file : m_flashPagesAnnotations->needFiles()) {
        const QString destination = fs::join(configFolder, fs::lastPathComponent(file));
        if (QFileInfo(file).isFile() && !fs::exists(destination))
            publish::copyFile(file, destination);
    }
}

void FlashBookOutput::writeHTMLPage() const
{
    const QString destination = outputHTMLFileName();
    const Text page = m_flashTemplate ? m_flashTemplate->tmplHTMLFilePath() : std::nullopt;
    if (!page)
        throw Error(QStringLiteral("ERROR_NO_HTML_PAGE"),
                    formatMessage("The template \"%@\" has no HTML page; the book was written without %@",
                                  {m_flashTemplate ? m_flashTemplate->tmplName() : QStringLiteral("(none)"),
                                   fs::lastPathComponent(destination)}));
    if (m_HTMLConfig) {
        m_HTMLConfig->generateHTMLFrom(*page, destination);
        return;
    }
    QFile source(*page);
    if (!source.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("ERROR_NO_HTML_PAGE"),
                    formatMessage("Could not read the template's HTML page %@: %@", {*page, source.errorString()}));
    // Written whole and moved into place, like every file that replaces another.
    fs::writeAtomically(destination, source.readAll());
}

} // namespace quire
