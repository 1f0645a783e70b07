#pragma once
// The publisher: writes a complete book folder (page pictures, the files
// that file-typed properties name, the HTML page, the sealed configuration
// and the viewer) from a template and a page source.
#include "BookExtras.h"
#include "HTMLConfigInfo.h"
#include "PublishResult.h"
#include "PublishReuse.h"
#include "import/FlashOutline.h"
#include "import/FlashPageSource.h"
#include "import/FlashPagesAnnotations.h"
#include "templates/FlashTemplate.h"
#include "util/Text.h"
#include "util/Xml.h"

#include <QSize>
#include <functional>
#include <map>
#include <memory>

namespace quire {

class FlashBookOutput {
public:
    // saveToFolder is the output folder; toName the HTML page's file name
    // inside it ("index.html" when absent).
    FlashBookOutput(std::shared_ptr<FlashPageSource> pageSource, std::shared_ptr<FlashTemplate> flashTemplate,
                    const QString& saveToFolder, const Text& toName);
    virtual ~FlashBookOutput() = default;
    FlashBookOutput(const FlashBookOutput&) = delete;
    FlashBookOutput& operator=(const FlashBookOutput&) = delete;

    // Writes the whole book into the output folder, which the caller has
    // made. The book is written into a staging folder there and swapped in
    // at the end, so the folder holds the earlier book or the whole new one;
    // what only the earlier book had (old pages, files of properties it no
    // longer has) goes, files that are not the book's stay. The first step
    // that fails ends the publish, which then changes nothing, and is
    // reported: a missing output folder, a page that cannot be copied, a
    // template without a readable HTML page, a full disk, ...
    virtual PublishResult ouputTheBook();
    // True when the latest ouputTheBook replaced a book and left its HTML
    // page, its viewer and every per-page file (pictures, thumbnails, words)
    // as they were: only the configuration and the files of properties may
    // differ, which a reader showing that page can load again in place.
    bool keptPageAndPictures() const { return m_keptPageAndPictures; }

    // The steps of ouputTheBook, each writing into `folder` (the output
    // folder when empty) and stopping at its first failure.
    PublishResult prepaireNomalPage(const QString& folder);
    PublishResult prepaireZoomendPage(const QString& folder);
    // Thumbnails of the JPEG page pictures in files/thumb, named as the pages.
    PublishResult prepaireThumbPage(const QString& folder);
    // The words of the pages in files/text and the list of what the book
    // has besides its pictures (labels, thumbnails, words) in
    // files/extras.js; neither for a book without any (viewer/BOOKFILES.md).
    PublishResult prepaireBookExtras(const QString& folder);
    PublishResult prepaireExtFiles(const QString& folder);
    PublishResult prepaireExtFiles(const QString& folder, const FlashTemplateProperty& childPro);
    PublishResult PrepareAnnotationFiles(const QString& folder);

    // The book configuration document, built afresh on every call.
    xml::DocPtr bookXML() const;
    // Writes the sealed configuration to path and the script form beside it
    // (a failure also shows on standard error).
    PublishResult ouputBookXML(const QString& path) const;

    QString getNormalPageURL(const FlashPage& page) const;
    QString getZoomedPageURL(const FlashPage& page) const;
    QString getThumbPageURL(const FlashPage& page) const;

    virtual QString outputHTMLFileName() const;
    // What the user should open when the book is done.
    virtual QString outputFileName() const;
    QString outputSWFName() const;

    const std::shared_ptr<FlashTemplate>& flashTemplate() const { return m_flashTemplate; }
    void setFlashTemplate(std::shared_ptr<FlashTemplate> v) { m_flashTemplate = std::move(v); }
    const std::shared_ptr<FlashPageSource>& flashPageSource() const { return m_flashPageSource; }
    void setFlashPageSource(std::shared_ptr<FlashPageSource> v) { m_flashPageSource = std::move(v); }
    const std::shared_ptr<FlashPagesAnnotations>& flashPagesAnnotations() const { return m_flashPagesAnnotations; }
    void setFlashPagesAnnotations(std::shared_ptr<FlashPagesAnnotations> v) { m_flashPagesAnnotations = std::move(v); }
    const std::shared_ptr<FlashOutline>& flashOutline() const { return m_flashOutline; }
    void setFlashOutline(std::shared_ptr<FlashOutline> v) { m_flashOutline = std::move(v); }
    const QString& saveToFolder() const { return m_saveToFolder; }
    void setSaveToFolder(const QString& v) { m_saveToFolder = v; }
    const Text& saveToFileName() const { return m_saveToFileName; }
    void setSaveToFileName(const Text& v) { m_saveToFileName = v; }
    const std::shared_ptr<HTMLConfigInfo>& HTMLConfig() const { return m_HTMLConfig; }
    void setHTMLConfig(std::shared_ptr<HTMLConfigInfo> v) { m_HTMLConfig = std::move(v); }

    // Per-page files of the book in the output folder that the next publish
    // there may link instead of writing again (the live preview keeps one
    // across its rebuilds); none writes every file.
    const std::shared_ptr<PublishReuse>& fileReuse() const { return m_fileReuse; }
    void setFileReuse(std::shared_ptr<PublishReuse> v) { m_fileReuse = std::move(v); }
    // Whether the files written whole (the configuration, the HTML page)
    // reach the disk before the book is put in place; a book that need not
    // survive a crash (the live preview, made again at every start) does
    // without the wait.
    bool syncsToDisk() const { return m_syncsToDisk; }
    void setSyncsToDisk(bool v) { m_syncsToDisk = v; }

    const QString& resourceFolder() const { return m_resourceFolder; }
    const QString& normalPageFolder() const { return m_normalPageFolder; }
    const QString& exterFilesFolder() const { return m_exterFilesFolder; }
    const QString& annotationFilesFolder() const { return m_annotationFilesFolder; }

protected:
    // Writes every file of the book into folder, a staging folder.
    PublishResult writeBook(const QString& folder);
    // The book this publish replaces, whose annotation files are kept; none
    // when the book is made afresh.
    virtual QString previousBook() const { return m_saveToFolder; }
    // Puts a file made from one page's source at `relative` inside the book
    // being written into `folder`: linked from the book in place when the
    // file reuse knows it unchanged, else written by `make`. Every per-page
    // file goes through here (or the two steps below, for files made in
    // batches), so that a rebuild with unchanged pages writes none of them.
    // False, with the reason, when `make` fails. `origin` is what the file
    // is made from (none without a file reuse, or a source that cannot be
    // read: the file is then made and not remembered).
    using MakeFile = std::function<bool(const QString& destination, QString* error)>;
    bool placePerPageFile(const QString& folder, const QString& relative,
                          const std::optional<PublishReuse::Origin>& origin, const MakeFile& make, QString* error);
    // What a per-page file made from `source` comes from; none without a
    // file reuse, or when the source cannot be read. `kind` tells apart the
    // files made from one source ("page" for the copy of the picture). A
    // source is read once a publish.
    std::optional<PublishReuse::Origin> perPageOrigin(const QString& source, const QString& kind);
    // Reads the pages' pictures for perPageOrigin, all at once.
    void stampPageSources();
    // Keeps the folder `relative` of the book in place, with its files, as
    // the new book's rather than placing each file: only with a file reuse,
    // when `wanted` names every one of the `files` the folder is to hold and
    // the book in place has exactly those, unchanged (their notes go to
    // `details`). The book is then replaced entry by entry around it.
    bool keepFolder(const QString& relative, const std::vector<PublishReuse::Wanted>& wanted, size_t files,
                    std::vector<QByteArray>* details = nullptr);
    // True when the file was linked from the book in place: nothing to make.
    bool reusePerPageFile(const QString& folder, const QString& relative, const PublishReuse::Origin& origin,
                          QByteArray* detail = nullptr);
    // A file made at `relative` from `origin`, for the next publish to reuse.
    void rememberPerPageFile(const QString& folder, const QString& relative, const PublishReuse::Origin& origin,
                             const QByteArray& detail = {});

private:
    QString folderOrOutput(const QString& folder) const;
    void appendItem(xmlNode* extConfig, const FlashTemplateProperty& property) const;
    void appendChildPropertyToNode(xmlNode* extConfig, const FlashTemplateProperty& property) const;
    void appendPages(xmlNode* root) const;
    // The normal page of an entry of the page list, or the entry itself when
    // it has none.
    const FlashPage& normalPageFor(const FlashPage& entry) const;
    // The files of the properties and their descendants, depth first.
    PublishResult copyExtFiles(const QString& folder, const FlashTemplate::PropertyList& properties);
    PublishResult copyExtFile(const QString& extFolder, const FlashTemplateProperty& property) const;
    PublishResult writeHTMLPage(const QString& destination) const;
    // The files of the pages' words below base, linked where unchanged;
    // texts holds the words of extras, which point into them.
    bool writeTextGroups(const QString& base, const std::vector<publish::PageExtras>& extras,
                         const std::vector<std::shared_ptr<const PageText>>& texts, PublishResult& result);
    PublishResult writeViewer(const QString& destination) const;
    // Entries of the earlier book's resource folder that are not the book's
    // own files, kept in the new one.
    PublishResult keepForeignFiles(const QString& folder) const;
    // The names the book's own files and folders have in its resource folder.
    QStringList ownResourceEntries() const;

    std::shared_ptr<FlashTemplate> m_flashTemplate;
    std::shared_ptr<FlashPageSource> m_flashPageSource;
    std::shared_ptr<FlashPagesAnnotations> m_flashPagesAnnotations;
    std::shared_ptr<FlashOutline> m_flashOutline;
    QString m_saveToFolder;
    Text m_saveToFileName;
    std::shared_ptr<HTMLConfigInfo> m_HTMLConfig;
    std::shared_ptr<PublishReuse> m_fileReuse;
    bool m_reusing = false; // inside ouputTheBook, with a file reuse
    bool m_syncsToDisk = true;
    const QString m_resourceFolder;
    const QString m_normalPageFolder;
    const QString m_exterFilesFolder;
    const QString m_annotationFilesFolder;
    std::map<int, QSize> m_thumbnails; // by page number: what prepaireThumbPage made
    int m_perPageFilesMade = 0;        // in this publish, rather than linked
    QStringList m_keptFolders;         // in this publish, as the book in place has them
    std::map<QString, std::optional<PublishReuse::Stamp>> m_sourceStamps; // in this publish, by path
    bool m_keptPageAndPictures = false;
};

} // namespace quire
