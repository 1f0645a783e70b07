#pragma once
// The import dialog: the user picks a text, RTF or PDF document, the pages,
// a quality and whether to bring over bookmarks and links; the document is
// imported in the background with its progress shown. The dialog finishes
// with 1 once an import produced pages (the caller then takes the results)
// and with 0 when the user cancels while nothing runs.
#include "ImportWindowServices.h"
#include "import/DocumentImport.h"
#include "import/ImportOperationQueue.h"

#include <QDialog>
#include <memory>

class QButtonGroup;
class QComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QProgressBar;
class QPushButton;

namespace quire {

class ImportWindowDelegate : public QDialog {
    Q_OBJECT
public:
    // Window-modal on its parent's window when given a parent. Without
    // services it uses the desktop's.
    explicit ImportWindowDelegate(QWidget* parent = nullptr,
                                  std::unique_ptr<ImportWindowServices> services = nullptr);
    ~ImportWindowDelegate() override;

    // The results of the import that finished the dialog with 1.
    int pageWidth() const { return m_pageWidth; }
    int pageHeight() const { return m_pageHeight; }
    std::shared_ptr<FlashPageSource> flashPageSource() const { return m_flashPageSource; }
    std::shared_ptr<FlashPagesAnnotations> flashPagesAnnotations() const { return m_flashPagesAnnotations; }
    std::shared_ptr<FlashOutline> flashOutline() const { return m_flashOutline; }

    // An import runs (its end not yet handled).
    bool isImporting() const { return m_awaitingCompletion; }
    // The document to import next, as if chosen in the chooser.
    void setDocumentPath(const QString& path);
    // The single local text, RTF or PDF file dragged in; none for anything else.
    static std::optional<QString> droppedDocument(const QMimeData* data);

public slots:
    void onImportAction();
    // Cancels a running import and stays open; closes with 0 when idle.
    void onCancelAction();
    void onBrowseFileAction();
    void onOpenTheFileAction();
    void onPageRangeTypeChangeAction();
    // Escape and the window's close button cancel as Cancel does.
    void reject() override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void loadSettings();
    void storeChoices();
    void enableButtons(bool enabled);
    void showInfo(const QString& text);
    void startImport();
    bool allPages() const;
    // On the worker: hands the message to the window's thread, never waiting.
    void anyThread_handleMSG(const ImportProgressInfo& info, const std::weak_ptr<DocumentImport>& from);
    void mainThread_handleMSG(const ImportProgressInfo& info, const std::weak_ptr<DocumentImport>& from);
    void importFinished(const std::weak_ptr<DocumentImport>& finished);

    std::unique_ptr<ImportWindowServices> m_services;

    QLineEdit* m_txtFilePath;
    QPushButton* m_btnBrowse;
    QLineEdit* m_txtImportFile;
    QPushButton* m_btnOpenFile;
    QButtonGroup* m_pageRangeType;
    QLineEdit* m_txtPageRange;
    QComboBox* m_importQuality;
    QCheckBox* m_btnImportBookMark;
    QCheckBox* m_btnImportLinks;
    QLabel* m_lblInfo;
    QProgressBar* m_prgBar;
    QPushButton* m_btnOK;
    QPushButton* m_btnCancel;

    int m_pageWidth = 0;
    int m_pageHeight = 0;
    std::shared_ptr<FlashPageSource> m_flashPageSource;
    std::shared_ptr<FlashPagesAnnotations> m_flashPagesAnnotations;
    std::shared_ptr<FlashOutline> m_flashOutline;

    std::unique_ptr<ImportOperationQueue> m_iQueue;
    // The latest import; its completion is the only one that counts.
    std::shared_ptr<DocumentImport> m_importPDF;
    bool m_awaitingCompletion = false; // the latest import's end not yet handled
    bool m_cancelledByUser = false;    // the latest import was cancelled
    bool m_controlsEnabled = true;
};

} // namespace quire
