#pragma once
// The application controller: owns the book being edited (template, pages,
// outline, annotations), starts the application and tears it down, rebuilds
// the live preview and carries out the main window's commands on the book.
// This is its model side, which needs no widgets; the main window shows what
// it does through AppDelegateWindow. Everything runs on the main thread.
#include "AppDelegateWindow.h"
#include "ApplyChangeIndicator.h"
#include "import/FlashOutline.h"
#include "import/FlashPageSource.h"
#include "import/FlashPagesAnnotations.h"
#include "publish/PublishResult.h"
#include "publish/PublishReuse.h"
#include "templates/FlashTemplate.h"
#include "util/Text.h"

#include <QLockFile>
#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>

namespace quire {

// What a finished import hands over.
struct ImportedBook {
    int pageWidth = 0;
    int pageHeight = 0;
    std::shared_ptr<FlashPageSource> flashPageSource;
    std::shared_ptr<FlashPagesAnnotations> flashPagesAnnotations; // may be absent
    std::shared_ptr<FlashOutline> flashOutline;                   // may be absent
};

// What a preview rebuild did: the page to show and how, or why there is none.
struct PreviewBuild {
    PublishResult result;
    QString page;
    PreviewLoad load = PreviewLoad::Page;
};

struct SettingsExport {
    QString path; // the chosen path, with "txt" added when it had no extension
    bool written = false;
    QString error; // why it was not written
};

class D_Folio_for_macAppDelegate : public QObject {
    Q_OBJECT
public:
    // The window may be null (no widgets); it must outlive the controller.
    explicit D_Folio_for_macAppDelegate(AppDelegateWindow* window = nullptr, QObject* parent = nullptr);
    // Ends as applicationWillTerminate() would, if it has not run.
    ~D_Folio_for_macAppDelegate() override;

    // Start-up: the log, the demonstration book in the default template,
    // the window bound to it, and the first preview.
    void applicationDidFinishLaunching();
    // Releases the book and removes the preview folder with its contents.
    void applicationWillTerminate();

    // Publishes the book into the preview folder and has the window show it;
    // a failure is logged and shown, never raised. The Apply command's
    // rebuild may leave the page on show and have its reader load the book
    // again; the rebuilds after an import, a template switch or a settings
    // import load the page.
    PreviewBuild applyChange() { return rebuildPreview(true); }
    void makeFlashPreviewFolder();
    void removeFlashPreviewFolder();
    // A property's value changed: the Apply item shows that changes wait.
    void tmplPpertyValueChanged();
    // A tick of the indicator's timer.
    void onTimerEvent() { m_indicator.onTimerEvent(); }

    // The import dialog ended; with 1 the imported book replaces the pages,
    // annotations and outline, and the template takes its page size.
    void importWindowDidEnd(int returnCode, const ImportedBook& imported);
    // Writes the template's settings; a path without an extension gets "txt".
    SettingsExport exportTmplSettings(const QString& chosen) const;
    // The settings file chosen in an open chooser: none when the user
    // cancelled (the preview is still rebuilt), an empty list when the user
    // accepted without a file (nothing happens). What the import refused, or
    // why it read nothing, comes back for the user.
    std::optional<SettingsImport> importTmplSettings(const std::optional<QStringList>& chosen);
    // The template chooser ended; with 1, selectedStyle is the chosen style's
    // picture, inside the style folder inside its template's folder.
    void selectTmplWindowDidEnd(int returnCode, const Text& selectedStyle);

    // The manual, and the application's version.
    static QString helpFilePath();
    static QString versionString();
    // "float" gives "Float": each word's first letter upper-case, the rest lower.
    static QString capitalized(const QString& text);
    // The preview folder for an application-support folder ("" when the
    // system names none).
    static QString previewFolderFor(const QString& applicationSupport);
    // The lock that the application holding the preview folder keeps beside
    // it; another one running at the same time gets a folder of its own.
    static QString previewLockFor(const QString& previewFolder);

    const std::shared_ptr<FlashTemplate>& flashTmpl() const { return m_iFlashTmpl; }
    const std::shared_ptr<FlashPageSource>& flashPageSource() const { return m_iFlashPageSource; }
    void setFlashPageSource(std::shared_ptr<FlashPageSource> v) { m_iFlashPageSource = std::move(v); }
    const std::shared_ptr<FlashPagesAnnotations>& flashPagesAnnotations() const { return m_iFlashPagesAnnotations; }
    void setFlashPagesAnnotations(std::shared_ptr<FlashPagesAnnotations> v) { m_iFlashPagesAnnotations = std::move(v); }
    const std::shared_ptr<FlashOutline>& flashOutline() const { return m_iFlashOutline; }
    void setFlashOutline(std::shared_ptr<FlashOutline> v) { m_iFlashOutline = std::move(v); }
    const QString& flashPreviewFolder() const { return m_iFlashPreviewFolder; }
    const ApplyChangeIndicator& applyChangeIndicator() const { return m_indicator; }
    // Per-page files the next rebuild may link from the preview in place.
    const PublishReuse& previewReuse() const { return *m_previewReuse; }

private:
    void loadDemoPages();
    PreviewBuild rebuildPreview(bool mayKeepPage);

    AppDelegateWindow* m_window;
    AppDelegateWindow m_noWindow;
    std::shared_ptr<FlashTemplate> m_iFlashTmpl;
    std::shared_ptr<FlashPageSource> m_iFlashPageSource;
    std::shared_ptr<FlashPagesAnnotations> m_iFlashPagesAnnotations;
    std::shared_ptr<FlashOutline> m_iFlashOutline;
    ApplyChangeIndicator m_indicator;
    QString m_iFlashPreviewFolder;
    QString m_shownPreview; // the page the window was last given
    std::unique_ptr<QLockFile> m_previewLock;
    std::shared_ptr<PublishReuse> m_previewReuse;
    bool m_launched = false;
};

} // namespace quire
