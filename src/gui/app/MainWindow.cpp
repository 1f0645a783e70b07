#include "MainWindow.h"

#include "PreviewView.h"
#include "SelectTemplateWindowDelegate.h"
#include "gui/import/ImportWindowDelegate.h"
#include "gui/publish/OutputWindowDelegate.h"
#include "gui/templates/FlashTemplateOutlineDelegate.h"
#include "gui/templates/FlashTemplateOutlineView.h"
#include "util/Resources.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace quire {

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)), m_app(this)
{
    if (!m_services.desktop)
        m_services.desktop = std::make_unique<SystemAppDesktop>();
    setObjectName(QStringLiteral("window"));
    setWindowTitle(QStringLiteral("Quire"));
    setAcceptDrops(true);
    buildWidgets();
    buildActions();
    buildMenus();
    buildToolBar();

    m_importWindow = new ImportWindowDelegate(this, std::move(m_services.import));
    m_importWindow->setObjectName(QStringLiteral("importWindow"));
    m_ouputWindow = new OutputWindowDelegate(this, std::move(m_services.publish));
    m_ouputWindow->setObjectName(QStringLiteral("ouputWindow"));
    m_selecteTmplWindow = new SelectTemplateWindowDelegate(this);
    m_selecteTmplWindow->setObjectName(QStringLiteral("selecteTmplWindow"));
    connect(m_importWindow, &QDialog::finished, this, &MainWindow::importWindowDidEnd);
    connect(m_selecteTmplWindow, &QDialog::finished, this, &MainWindow::selectTmplWindowDidEnd);
    connect(m_webView, &PreviewView::previewFailed, this, [this](const QUrl& url) {
        statusBar()->showMessage(tr("The preview page %1 could not be shown.").arg(url.toLocalFile()));
    });
}

MainWindow::~MainWindow()
{
    // The editor shows the template the controller is about to release.
    m_tmplDelegate->setFlashTmpl(nullptr);
    m_app.applicationWillTerminate();
}

void MainWindow::buildWidgets()
{
    m_outlineView = new FlashTemplateOutlineView(this);
    if (m_services.values)
        m_outlineView->setValueChooser(std::move(m_services.values));
    m_tmplDelegate = new FlashTemplateOutlineDelegate(this);
    m_tmplDelegate->setObjectName(QStringLiteral("tmplDelegate"));

    m_toolTipBox = new QGroupBox(tr("Help"), this);
    m_toolTipBox->setObjectName(QStringLiteral("toolTipBox"));
    m_toolTip = new QPlainTextEdit(m_toolTipBox);
    m_toolTip->setObjectName(QStringLiteral("toolTip"));
    m_toolTip->setReadOnly(true);
    m_toolTip->setPlaceholderText(tr("Select a property to read what it does."));
    auto* boxLayout = new QVBoxLayout(m_toolTipBox);
    boxLayout->setContentsMargins(4, 4, 4, 4);
    boxLayout->addWidget(m_toolTip);

    auto* left = new QSplitter(Qt::Vertical, this);
    left->addWidget(m_outlineView);
    left->addWidget(m_toolTipBox);
    left->setStretchFactor(0, 3);
    left->setStretchFactor(1, 1);
    left->setChildrenCollapsible(false);

    m_webView = new PreviewView(this);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("mainSplitter"));
    split->addWidget(left);
    split->addWidget(m_webView);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    // Room for the property names and values; the book takes the rest.
    left->setMinimumWidth(300);
    split->setSizes({400, 880});
    setCentralWidget(split);
    statusBar();
    resize(1200, 780);
}

QAction* MainWindow::action(const QString& text, const char* objectName, void (MainWindow::*slot)(),
                            const QList<QKeySequence>& keys)
{
    auto* a = new QAction(text, this);
    a->setObjectName(QLatin1String(objectName));
    a->setShortcuts(keys);
    connect(a, &QAction::triggered, this, slot);
    return a;
}

void MainWindow::buildActions()
{
    m_import = action(tr("&Import…"), "actionImport", &MainWindow::OnImportPDF, {QKeySequence(Qt::CTRL | Qt::Key_O)});
    m_import->setToolTip(tr("Import a text, RTF or PDF document as the book's pages (Ctrl+O)"));
    m_publish = action(tr("&Publish…"), "actionPublish", &MainWindow::OnExportFlipBook,
                       {QKeySequence(Qt::CTRL | Qt::Key_E)});
    m_publish->setToolTip(tr("Publish the book as a web folder or a desktop application (Ctrl+E)"));
    m_importSettings = action(tr("Import &Settings…"), "actionImportSettings", &MainWindow::OnImportTmplSettings);
    m_importSettings->setToolTip(tr("Read the template's settings from a file"));
    m_exportSettings = action(tr("&Export Settings…"), "actionExportSettings", &MainWindow::OnExportTmplSettings);
    m_exportSettings->setToolTip(tr("Save the template's settings to a file"));
    m_chooseTemplate = action(tr("Choose &Template…"), "actionChooseTemplate", &MainWindow::onSelectTemplate,
                              {QKeySequence(Qt::CTRL | Qt::Key_T)});
    m_toolBarItemApplyChange = action(tr("&Apply"), "toolBarItemApplyChange", &MainWindow::OnApplyChange,
                                      {QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F5)});
    m_toolBarItemApplyChange->setToolTip(tr("Rebuild the preview with the changes (Ctrl+R, F5)"));
    m_toolBarItemApplyChange->setData(0);
    setApplyPicture(QStringLiteral("apply"));
    m_help = action(tr("Quire &Help"), "actionHelp", &MainWindow::OnOpenHelp, {QKeySequence(Qt::Key_F1)});
    m_about = action(tr("&About Quire"), "actionAbout", &MainWindow::onOpenAbout);
    m_quit = new QAction(tr("&Quit"), this);
    m_quit->setObjectName(QStringLiteral("actionQuit"));
    m_quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_quit->setMenuRole(QAction::QuitRole);
    connect(m_quit, &QAction::triggered, this, &QWidget::close);
    m_undo = m_tmplDelegate->undoStack()->createUndoAction(this, tr("&Undo"));
    m_undo->setObjectName(QStringLiteral("actionUndo"));
    m_undo->setShortcut(QKeySequence::Undo);
    m_redo = m_tmplDelegate->undoStack()->createRedoAction(this, tr("&Redo"));
    m_redo->setObjectName(QStringLiteral("actionRedo"));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addActions({m_import, m_publish});
    file->addSeparator();
    file->addActions({m_importSettings, m_exportSettings});
    file->addSeparator();
    file->addAction(m_quit);
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addActions({m_undo, m_redo});
    QMenu* book = menuBar()->addMenu(tr("&Book"));
    book->addActions({m_chooseTemplate, m_toolBarItemApplyChange});
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addActions({m_help, m_about});
}

void MainWindow::buildToolBar()
{
    QToolBar* bar = addToolBar(tr("Commands"));
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(24, 24));
    auto* label = new QLabel(tr("Template:"), bar);
    label->setContentsMargins(6, 0, 4, 0);
    bar->addWidget(label);
    m_btnFloat = new QToolButton(bar);
    m_btnFloat->setObjectName(QStringLiteral("btnFloat"));
    m_btnFloat->setToolTip(tr("Choose the template and its style (Ctrl+T)"));
    m_btnFloat->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(m_btnFloat, &QToolButton::clicked, this, &MainWindow::onSelectTemplate);
    label->setBuddy(m_btnFloat);
    bar->addWidget(m_btnFloat);
    bar->addSeparator();
    bar->addActions({m_import, m_publish});
    bar->addSeparator();
    bar->addActions({m_importSettings, m_exportSettings});
    bar->widgetForAction(m_importSettings)->setObjectName(QStringLiteral("btnImportTmpl"));
    bar->widgetForAction(m_exportSettings)->setObjectName(QStringLiteral("btnExportTmpl"));
    bar->addSeparator();
    bar->addAction(m_toolBarItemApplyChange);
}

void MainWindow::applicationDidFinishLaunching()
{
    m_app.applicationDidFinishLaunching();
}

void MainWindow::makeKeyAndOrderFront()
{
    show();
    raise();
    activateWindow();
}

void MainWindow::fillMainScreen()
{
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shown) {
        resize(0, 0);
        return;
    }
    // The whole screen the window starts on, less what the desktop keeps.
    setGeometry(shown->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::bindPropertyEditor()
{
    m_tmplDelegate->setFlashTmpl(m_app.flashTmpl().get());
    m_outlineView->setModel(m_tmplDelegate);
    m_outlineView->setIndentation(8);
    setTemplateTitle(D_Folio_for_macAppDelegate::capitalized(m_app.flashTmpl()->tmplName()));
}

void MainWindow::observeNotifications()
{
    connect(m_tmplDelegate, &FlashTemplateOutlineDelegate::UpdateFlashTmplProTipNotification, this,
            &MainWindow::updateTmplPropertyTip);
    connect(m_tmplDelegate, &FlashTemplateOutlineDelegate::FlashTmplProValueChangedNotification, &m_app,
            &D_Folio_for_macAppDelegate::tmplPpertyValueChanged);
}

void MainWindow::useFixedPitchHelpFont()
{
    m_toolTip->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void MainWindow::reloadOutlineView()
{
    m_tmplDelegate->reload();
}

void MainWindow::setTemplateTitle(const QString& title)
{
    m_btnFloat->setText(title);
}

void MainWindow::setApplyPicture(const QString& name)
{
    auto found = m_applyPictures.find(name);
    if (found == m_applyPictures.end())
        found = m_applyPictures.emplace(name, QIcon(resourcePath(name + QStringLiteral(".png")))).first;
    m_toolBarItemApplyChange->setIcon(found->second);
    m_toolBarItemApplyChange->setData(m_app.applyChangeIndicator().tag());
}

void MainWindow::loadPreview(const QString& page, PreviewLoad how)
{
    m_webView->showPreview(page, how == PreviewLoad::BookInPage);
}

void MainWindow::showPreviewProblem(const QString& reason)
{
    if (reason.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(tr("The preview could not be rebuilt: %1").arg(reason));
}

void MainWindow::showDocumentTitle(const QString& document)
{
    setWindowFilePath(document);
    setWindowTitle(document.isEmpty() ? QStringLiteral("Quire")
                                      : tr("%1 — Quire").arg(QFileInfo(document).fileName()));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (ImportWindowDelegate::droppedDocument(event->mimeData()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    if (const auto path = ImportWindowDelegate::droppedDocument(event->mimeData())) {
        event->acceptProposedAction();
        importDocument(*path);
    }
}

} // namespace quire
