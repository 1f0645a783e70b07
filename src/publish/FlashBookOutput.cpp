#include "FlashBookOutput.h"

#include "PublishConstants.h"
#include "PublishFiles.h"
#include "PublishStaging.h"
#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/Log.h"
#include "util/ParallelFor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

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
bool replaceWithCopy(const QString& source, const QString& destination, QString* error)
{
    if (sameFile(source, destination))
        return true;
    if (fs::exists(destination))
        QFile::remove(destination);
    return fs::copyFile(source, destination, error);
}

// A second name for a file of the book being replaced, or a copy where the
// file system has no hard links.
bool linkOrCopy(const QString& source, const QString& destination, QString* error)
{
    return ::link(QFile::encodeName(source).constData(), QFile::encodeName(destination).constData()) == 0
        || fs::copyFile(source, destination, error);
}

// True when both files hold the same bytes, or neither exists.
bool sameContent(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    const bool openA = fa.open(QIODevice::ReadOnly), openB = fb.open(QIODevice::ReadOnly);
    if (!openA || !openB)
        return !openA && !openB && !fs::exists(a) && !fs::exists(b);
    return fa.size() == fb.size() && fa.readAll() == fb.readAll();
}

using publish::makeFolder;

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

PublishResult FlashBookOutput::ouputTheBook()
{
    PublishResult result;
    if (!QFileInfo(m_saveToFolder).isDir()) {
        result.fail(QStringLiteral("output folder"), m_saveToFolder, QStringLiteral("the folder does not exist"));
        return result;
    }
    const QString htmlName = fs::lastPathComponent(outputHTMLFileName());
    if (fs::join(m_saveToFolder, htmlName) != outputHTMLFileName()) {
        result.fail(QStringLiteral("HTML page"), outputHTMLFileName(),
                    QStringLiteral("the page's name must be a plain file name"));
        return result;
    }
    if (m_fileReuse)
        m_fileReuse->begin(m_saveToFolder);
    m_reusing = m_fileReuse != nullptr;
    stampPageSources();
    m_perPageFilesMade = 0;
    m_keptPageAndPictures = false;
    m_keptFolders.clear();
    bool committing = false; // the commit was tried
    {
        PublishStaging staging(m_saveToFolder, result);
        if (result.ok()) {
            publish::moment("staging made");
            result.take(writeBook(staging.path()));
            // With folders kept in place the book's own entries are replaced
            // one by one, and the others stay where they are.
            if (result.ok() && m_keptFolders.isEmpty())
                result.take(keepForeignFiles(staging.path()));
            result.relocate(staging.path(), m_saveToFolder);
            if (result.ok()) {
                const auto kept = [&](const QString& name) {
                    return sameContent(fs::join(staging.path(), name), fs::join(m_saveToFolder, name));
                };
                const bool replacing = QFileInfo(fs::join(m_saveToFolder, m_resourceFolder)).isDir();
                m_keptPageAndPictures = replacing && m_perPageFilesMade == 0 && kept(htmlName)
                    && kept(QString::fromUtf8(publish::kViewerFileName));
                QStringList entries = {m_resourceFolder};
                if (!m_keptFolders.isEmpty()) {
                    entries.clear();
                    for (const QString& own : ownResourceEntries())
                        if (!m_keptFolders.contains(fs::join(m_resourceFolder, own)))
                            entries << fs::join(m_resourceFolder, own);
                }
                staging.commit(entries << htmlName << QString::fromUtf8(publish::kViewerFileName), result);
                publish::moment("book swapped");
                committing = true;
                // The replaced book goes while the new one is being shown.
                if (m_fileReuse && result.ok())
                    m_fileReuse->removeLater(staging.release());
            }
        }
    }
    m_reusing = false;
    m_sourceStamps.clear();
    if (m_fileReuse)
        result.ok() ? m_fileReuse->committed() : m_fileReuse->abandoned();
    if (committing)
        publish::moment("publish done");
    return result;
}

bool FlashBookOutput::placePerPageFile(const QString& folder, const QString& relative,
                                       const std::optional<PublishReuse::Origin>& origin, const MakeFile& make,
                                       QString* error)
{
    if (origin && reusePerPageFile(folder, relative, *origin))
        return true;
    if (!make(fs::join(folder, relative), error))
        return false;
    ++m_perPageFilesMade;
    if (origin)
        rememberPerPageFile(folder, relative, *origin);
    return true;
}

std::optional<PublishReuse::Origin> FlashBookOutput::perPageOrigin(const QString& source, const QString& kind)
{
    if (!m_reusing)
        return std::nullopt;
    auto known = m_sourceStamps.find(source);
    if (known == m_sourceStamps.end())
        known = m_sourceStamps.emplace(source, PublishReuse::stampOf(source)).first;
    return known->second ? std::optional(PublishReuse::Origin{source, kind, *known->second}) : std::nullopt;
}

void FlashBookOutput::stampPageSources()
{
    m_sourceStamps.clear();
    if (!m_reusing || !m_flashPageSource)
        return;
    const auto& pages = m_flashPageSource->normalPages();
    std::vector<std::optional<PublishReuse::Stamp>> stamps(pages.size());
    // A stat a picture, and a book may have thousands: spread them.
    parallelFor(pages.size(), workersFor(pages.size(), 256), [&](size_t i, unsigned) {
        stamps[i] = PublishReuse::stampOf(textOr(pages[i]->pageFilePath()));
        return true;
    });
    for (size_t i = 0; i < pages.size(); ++i)
        m_sourceStamps.emplace(textOr(pages[i]->pageFilePath()), stamps[i]);
}

bool FlashBookOutput::reusePerPageFile(const QString& folder, const QString& relative,
                                       const PublishReuse::Origin& origin, QByteArray* detail)
{
    return m_reusing && m_fileReuse->reuse(relative, origin, fs::join(folder, relative), detail);
}

void FlashBookOutput::rememberPerPageFile(const QString& folder, const QString& relative,
                                          const PublishReuse::Origin& origin, const QByteArray& detail)
{
    if (m_reusing)
        m_fileReuse->wrote(relative, origin, fs::join(folder, relative), detail);
}

PublishResult FlashBookOutput::writeBook(const QString& folder)
{
    const QString page = fs::join(folder, fs::lastPathComponent(outputHTMLFileName()));
    const QString container = fs::join(folder, m_resourceFolder, QString::fromUtf8(publish::kContainerName));
    const QString viewer = fs::join(folder, QString::fromUtf8(publish::kViewerFileName));
    const std::function<PublishResult()> steps[] = {
        [&] { return prepaireNomalPage(folder); },
        [&] { return prepaireZoomendPage(folder); },
        [&] { return prepaireThumbPage(folder); },
        [&] { return prepaireBookExtras(folder); },
        [&] { return prepaireExtFiles(folder); },
        [&] { return m_flashPagesAnnotations ? PrepareAnnotationFiles(folder) : PublishResult(); },
        [&] { return writeHTMLPage(page); },
        [&] { return ouputBookXML(container); },
        [&] { return writeViewer(viewer); },
    };
    PublishResult result;
    for (const auto& step : steps) {
        result.take(step());
        if (!result.ok())
            break;
        publish::moment("step");
    }
    return result;
}

PublishResult FlashBookOutput::prepaireNomalPage(const QString& folder)
{
    PublishResult result;
    const QString base = folderOrOutput(folder);
    const QString step = QStringLiteral("page files");
    const auto relativeOf = [this](const FlashPage& page, const QString& source) {
        return formatMessage("%@/%@/%d.%@", {m_resourceFolder, m_normalPageFolder, page.pageIndex(),
                                            fs::pathExtension(source)});
    };
    if (!m_flashPageSource) {
        makeFolder(fs::join(base, m_resourceFolder, m_normalPageFolder), step, result);
        return result;
    }
    const auto& pages = m_flashPageSource->normalPages();
    std::vector<std::optional<PublishReuse::Origin>> origins;
    std::vector<PublishReuse::Wanted> wanted;
    for (const auto& page : pages) {
        const QString source = textOr(page->pageFilePath());
        origins.push_back(perPageOrigin(source, QStringLiteral("page")));
        if (origins.back())
            wanted.push_back({relativeOf(*page, source), *origins.back()});
    }
    if (keepFolder(fs::join(m_resourceFolder, m_normalPageFolder), wanted, pages.size()))
        return result;
    if (!makeFolder(fs::join(base, m_resourceFolder, m_normalPageFolder), step, result))
        return result;
    const auto copy = [](const QString& source) {
        return [source](const QString& destination, QString* error) {
            return replaceWithCopy(source, destination, error);
        };
    };
    for (size_t i = 0; i < pages.size(); ++i) {
        const QString source = textOr(pages[i]->pageFilePath());
        const QString relative = relativeOf(*pages[i], source);
        QString error;
        if (!placePerPageFile(base, relative, origins[i], copy(source), &error)) {
            result.fail(step, fs::join(base, relative), QStringLiteral("cannot be written: %1").arg(error));
            return result;
        }
        publish::moment("page file");
    }
    return result;
}

bool FlashBookOutput::keepFolder(const QString& relative, const std::vector<PublishReuse::Wanted>& wanted,
                                 size_t files, std::vector<QByteArray>* details)
{
    if (!m_reusing || wanted.empty() || wanted.size() != files || !m_fileReuse->keepFolder(relative, wanted, details))
        return false;
    m_keptFolders << relative;
    return true;
}

// Large pages are the normal pages: there is nothing to write.
PublishResult FlashBookOutput::prepaireZoomendPage(const QString&)
{
    return {};
}

PublishResult FlashBookOutput::prepaireExtFiles(const QString& folder)
{
    PublishResult result;
    const QString extFolder = fs::join(folderOrOutput(folder), m_resourceFolder, m_exterFilesFolder);
    if (makeFolder(extFolder, QStringLiteral("external files"), result) && m_flashTemplate)
        result = copyExtFiles(folder, m_flashTemplate->properties());
    return result;
}

PublishResult FlashBookOutput::prepaireExtFiles(const QString& folder, const FlashTemplateProperty& childPro)
{
    return copyExtFiles(folder, childPro.childProperties());
}

PublishResult FlashBookOutput::copyExtFiles(const QString& folder, const FlashTemplate::PropertyList& properties)
{
    const QString extFolder = fs::join(folderOrOutput(folder), m_resourceFolder, m_exterFilesFolder);
    for (const auto& property : properties) {
        PublishResult result = copyExtFile(extFolder, *property);
        if (result.ok())
            result = prepaireExtFiles(folder, *property);
        if (!result.ok())
            return result;
    }
    return {};
}

PublishResult FlashBookOutput::copyExtFile(const QString& extFolder, const FlashTemplateProperty& property) const
{
    PublishResult result;
    if (property.propertyType() != pt_file)
        return result;
    const QString value = textOr(property.value());
    const QString destination = fs::join(
        extFolder, formatMessage("%@.%@", {textOr(property.key()), fs::pathExtension(value)}));
    // A value that names no file is a property left empty: no file, and no
    // stale copy either.
    if (!QFileInfo(value).isFile()) {
        QFile::remove(destination);
        return result;
    }
    QString error;
    if (!replaceWithCopy(value, destination, &error))
        result.fail(QStringLiteral("external files"), destination, QStringLiteral("cannot be written: %1").arg(error));
    else
        publish::moment("external file");
    return result;
}

PublishResult FlashBookOutput::PrepareAnnotationFiles(const QString& folder)
{
    PublishResult result;
    const QString step = QStringLiteral("annotation files");
    const QString configFolder = fs::join(folderOrOutput(folder), m_resourceFolder, m_annotationFilesFolder);
    if (!makeFolder(configFolder, step, result) || !m_flashPagesAnnotations)
        return result;
    const QString previous = previousBook().isEmpty()
        ? QString()
        : fs::join(previousBook(), m_resourceFolder, m_annotationFilesFolder);
    for (const QString& file : m_flashPagesAnnotations->needFiles()) {
        const QString name = fs::lastPathComponent(file);
        const QString destination = fs::join(configFolder, name);
        // A file the book already has under that name is kept, not replaced.
        if (fs::exists(destination))
            continue;
        const QString kept = previous.isEmpty() ? QString() : fs::join(previous, name);
        QString error;
        bool ok = true;
        if (!kept.isEmpty() && QFileInfo(kept).isFile())
            ok = linkOrCopy(kept, destination, &error);
        else if (QFileInfo(file).isFile())
            ok = fs::copyFile(file, destination, &error);
        if (!ok) {
            result.fail(step, destination, QStringLiteral("cannot be written: %1").arg(error));
            return result;
        }
    }
    return result;
}

QStringList FlashBookOutput::ownResourceEntries() const
{
    return {m_normalPageFolder,
            m_exterFilesFolder,
            m_annotationFilesFolder,
            QString::fromUtf8(publish::kContainerName),
            QString::fromUtf8(publish::kContainerScriptName),
            QString::fromUtf8(publish::kThumbFolder),
            QString::fromUtf8(publish::kTextFolder),
            QString::fromUtf8(publish::kExtrasScriptName)};
}

PublishResult FlashBookOutput::keepForeignFiles(const QString& folder) const
{
    PublishResult result;
    const QStringList own = ownResourceEntries();
    const QDir previous(fs::join(m_saveToFolder, m_resourceFolder));
    for (const QFileInfo& entry :
         previous.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (own.contains(entry.fileName()))
            continue;
        const QString destination = fs::join(folder, m_resourceFolder, entry.fileName());
        QString error;
        const bool ok = entry.isDir() ? fs::copyFolder(entry.filePath(), destination, &error)
                                      : linkOrCopy(entry.filePath(), destination, &error);
        if (!ok) {
            result.fail(QStringLiteral("files kept from the earlier book"), destination,
                        QStringLiteral("cannot be written: %1").arg(error));
            break;
        }
    }
    return result;
}

PublishResult FlashBookOutput::writeHTMLPage(const QString& destination) const
{
    const Text page = m_flashTemplate ? m_flashTemplate->tmplHTMLFilePath() : std::nullopt;
    if (!page) {
        PublishResult result;
        result.fail(QStringLiteral("HTML page"), outputHTMLFileName(),
                    formatMessage("cannot be made: the template \"%@\" has no HTML page",
                                  {m_flashTemplate ? m_flashTemplate->tmplName() : QStringLiteral("(none)")}));
        return result;
    }
    if (m_HTMLConfig)
        return m_HTMLConfig->generateHTMLFrom(*page, destination, m_syncsToDisk);
    // Without settings the template's page is copied as it is.
    return HTMLConfigInfo::writePage(*page, destination, nullptr, m_syncsToDisk);
}

PublishResult FlashBookOutput::writeViewer(const QString& destination) const
{
    PublishResult result;
    QString error;
    if (m_flashTemplate && !m_flashTemplate->copyBookSWFToFile(destination, &error))
        result.fail(QStringLiteral("viewer"), destination, QStringLiteral("cannot be written: %1").arg(error));
    return result;
}

} // namespace quire
