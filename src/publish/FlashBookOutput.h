#pragma once
// The publisher: writes a complete book folder (page pictures, the files
// that file-typed properties name, the HTML page, the sealed configuration
// and the viewer) from a template and a page source.
#include "HTMLConfigInfo.h"
#include "import/FlashOutline.h"
#include "import/FlashPageSource.h"
#include "import/FlashPagesAnnotations.h"
#include "templates/FlashTemplate.h"
#include "util/Text.h"
#include "util/Xml.h"

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
    // made; when it does not exist nothing is written. File steps that fail
    // are skipped and the rest goes on. When the template has no readable
    // HTML page the book is still written without it, and then
    // quire::Error("ERROR_NO_HTML_PAGE") is thrown so the caller can tell
    // the user the publish is incomplete.
    virtual void ouputTheBook();

    // The steps of ouputTheBook; the empty text selects the output folder.
    void prepaireNomalPage(const QString& folder);
    void prepaireZoomendPage(const QString& folder);
    void prepaireThumbPage(const QString& folder);
    void prepaireExtFiles(const QString& folder);
    void prepaireExtFiles(const QString& folder, const FlashTemplateProperty& childPro);
    void PrepareAnnotationFiles(const QString& folder);

    // The book configuration document, built afresh on every call.
    xml::DocPtr bookXML() const;
    // Writes the sealed configuration to path (and the script form beside
    // it); a failure is reported on standard error and the publish goes on.
    void ouputBookXML(const QString& path) const;

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

    const QString& resourceFolder() const { return m_resourceFolder; }
    const QString& normalPageFolder() const { return m_normalPageFolder; }
    const QString& exterFilesFolder() const { return m_exterFilesFolder; }
    const QString& annotationFilesFolder() const { return m_annotationFilesFolder; }

private:
    QString folderOrOutput(const QString& folder) const;
    void appendItem(xmlNode* extConfig, const FlashTemplateProperty& property) const;
    void appendChildPropertyToNode(xmlNode* extConfig, const FlashTemplateProperty& property) const;
    void appendPages(xmlNode* root) const;
    void copyExtFile(const QString& extFolder, const FlashTemplateProperty& property) const;
    // Step 6; throws quire::Error when the page cannot be produced.
    void writeHTMLPage() const;

    std::shared_ptr<FlashTemplate> m_flashTemplate;
    std::shared_ptr<FlashPageSource> m_flashPageSource;
    std::shared_ptr<FlashPagesAnnotations> m_flashPagesAnnotations;
    std::shared_ptr<FlashOutline> m_flashOutline;
    QString m_saveToFolder;
    Text m_saveToFileName;
    std::shared_ptr<HTMLConfigInfo> m_HTMLConfig;
    const QString m_resourceFolder;
    const QString m_normalPageFolder;
    const QString m_exterFilesFolder;
    const QString m_annotationFilesFolder;
};

} // namespace quire
