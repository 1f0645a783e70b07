#pragma once
// Quire's main window: the property editor with the selected property's
// help below it on the left, the live preview on the right, a toolbar and
// menus with the commands. It is the window side of the application
// controller, which owns the book; the commands hand the book to the
// dialogs, shown window-modal, and take their results back when they end.
#include "MainWindowServices.h"
#include "app/D_Folio_for_macAppDelegate.h"

#include <QIcon>
#include <QMainWindow>
#include <map>

class QAction;
class QGroupBox;
class QPlainTextEdit;
class QToolButton;

namespace quire {

class FlashTemplateOutlineDelegate;
class FlashTemplateOutlineView;
class ImportWindowDelegate;
class OutputWindowDelegate;
class PreviewView;
class SelectTemplateWindowDelegate;

class MainWindow : public QMainWindow, private AppDelegateWindow {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowServices services = {}, QWidget* parent = nullptr);
    // Ends the controller: the book released, the preview folder removed.
    ~MainWindow() override;

    // Starts the application in this window (the controller's start-up).
    void applicationDidFinishLaunching();
    // Opens the import dialog with this document chosen.
    void importDocument(const QString& path);

    D_Folio_for_macAppDelegate& appDelegate() { return m_app; }
    PreviewView* webView() const { return m_webView; }
    ImportWindowDelegate* importWindow() const { return m_importWindow; }
    OutputWindowDelegate* ouputWindow() const { return m_ouputWindow; }
    SelectTemplateWindowDelegate* selecteTmplWindow() const { return m_selecteTmplWindow; }

public slots:
    void OnImportPDF();
    void OnExportFlipBook();
    void OnExportTmplSettings();
    void OnImportTmplSettings();
    void onSelectTemplate();
    void OnApplyChange();
    void OnOpenHelp();
    void onOpenAbout();
    void updateTmplPropertyTip();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // AppDelegateWindow
    void makeKeyAndOrderFront() override;
    void fillMainScreen() override;
    void bindPropertyEditor() override;
    void observeNotifications() override;
    void useFixedPitchHelpFont() override;
    void reloadOutlineView() override;
    void setTemplateTitle(const QString& title) override;
    void setApplyPicture(const QString& name) override;
    void loadPreview(const QString& page, PreviewLoad how) override;
    void showPreviewProblem(const QString& reason) override;

    void buildWidgets();
    void buildActions();
    void buildMenus();
    void buildToolBar();
    QAction* action(const QString& text, const char* objectName, void (MainWindow::*slot)(),
                    const QList<QKeySequence>& keys = {});
    void importWindowDidEnd(int returnCode);
    void selectTmplWindowDidEnd(int returnCode);
    void showDocumentTitle(const QString& document);

    MainWindowServices m_services;
    D_Folio_for_macAppDelegate m_app;

    FlashTemplateOutlineView* m_outlineView;
    FlashTemplateOutlineDelegate* m_tmplDelegate = nullptr;
    QGroupBox* m_toolTipBox;
    QPlainTextEdit* m_toolTip;
    PreviewView* m_webView;
    QToolButton* m_btnFloat;
    ImportWindowDelegate* m_importWindow;
    OutputWindowDelegate* m_ouputWindow;
    SelectTemplateWindowDelegate* m_selecteTmplWindow;

    QAction* m_chooseTemplate = nullptr;
    QAction* m_import = nullptr;
    QAction* m_publish = nullptr;
    QAction* m_importSettings = nullptr;
    QAction* m_exportSettings = nullptr;
    QAction* m_toolBarItemApplyChange = nullptr;
    QAction* m_help = nullptr;
    QAction* m_about = nullptr;
    QAction* m_quit = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    std::map<QString, QIcon> m_applyPictures;
};

} // namespace quire
