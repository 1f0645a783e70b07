// The main window's commands: each hands the book to a dialog or chooser and
// gives what comes back to the controller.
#include "MainWindow.h"

#include "SelectTemplateWindowDelegate.h"
#include "app/AppSettings.h"
#include "gui/import/ImportWindowDelegate.h"
#include "gui/publish/OutputWindowDelegate.h"
#include "gui/templates/FlashTemplateOutlineView.h"

#include <QApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QPlainTextEdit>

namespace quire {

void MainWindow::OnImportPDF()
{
    if (!m_importWindow->isVisible())
        m_importWindow->open();
}

void MainWindow::importDocument(const QString& path)
{
    // A document dropped while an import runs waits for the next one.
    if (m_importWindow->isImporting())
        return;
    m_importWindow->setDocumentPath(path);
    OnImportPDF();
}

void MainWindow::importWindowDidEnd(int returnCode)
{
    if (returnCode != 1)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_app.importWindowDidEnd(returnCode, {m_importWindow->pageWidth(), m_importWindow->pageHeight(),
                                          m_importWindow->flashPageSource(), m_importWindow->flashPagesAnnotations(),
                                          m_importWindow->flashOutline()});
    QApplication::restoreOverrideCursor();
    showDocumentTitle(AppSettings::shareInstance().lastImportedFile());
}

void MainWindow::OnExportFlipBook()
{
    m_ouputWindow->setFlashTmpl(m_app.flashTmpl());
    m_ouputWindow->setFlashPageSource(m_app.flashPageSource());
    m_ouputWindow->setFlashOutline(m_app.flashOutline());
    m_ouputWindow->setFlashPagesAnnotations(m_app.flashPagesAnnotations());
    m_ouputWindow->open();
}

void MainWindow::OnExportTmplSettings()
{
    if (!m_app.flashTmpl())
        return;
    const std::optional<QString> chosen = m_services.desktop->chooseSettingsSavePath(this);
    if (!chosen)
        return;
    const SettingsExport done = m_app.exportTmplSettings(*chosen);
    if (!done.written)
        m_services.desktop->showMessage(tr("The template settings could not be saved."),
                                        tr("“%1” could not be written: %2.").arg(done.path, done.error), this);
}

void MainWindow::OnImportTmplSettings()
{
    if (!m_app.flashTmpl())
        return;
    const std::optional<QStringList> chosen = m_services.desktop->chooseSettingsFiles(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<SettingsImport> imported = m_app.importTmplSettings(chosen);
    QApplication::restoreOverrideCursor();
    if (!imported)
        return;
    const QString file = QFileInfo(chosen->constFirst()).fileName();
    if (!imported->error.isEmpty())
        m_services.desktop->showMessage(tr("The settings in “%1” could not be read.").arg(file), imported->error, this);
    else if (!imported->refused.isEmpty())
        m_services.desktop->showMessage(
            tr("Some settings in “%1” were not taken; the properties keep their values.").arg(file),
            imported->refused.join(QLatin1Char('\n')), this);
}

void MainWindow::onSelectTemplate()
{
    m_selecteTmplWindow->prepairToTmpl(m_app.flashTmpl()->tmplName());
    m_selecteTmplWindow->open();
}

void MainWindow::selectTmplWindowDidEnd(int returnCode)
{
    if (returnCode != 1)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_app.selectTmplWindowDidEnd(returnCode, m_selecteTmplWindow->selectedStyle());
    QApplication::restoreOverrideCursor();
}

void MainWindow::OnApplyChange()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_app.applyChange();
    QApplication::restoreOverrideCursor();
}

void MainWindow::OnOpenHelp()
{
    const QString manual = D_Folio_for_macAppDelegate::helpFilePath();
    if (!QFileInfo(manual).isFile())
        m_services.desktop->showMessage(tr("The manual is missing."), tr("“%1” does not exist.").arg(manual), this);
    else if (!m_services.desktop->openWithDefaultApplication(manual))
        m_services.desktop->showMessage(tr("No application could open the manual."), manual, this);
}

void MainWindow::onOpenAbout()
{
    m_services.desktop->showAbout(D_Folio_for_macAppDelegate::versionString(), this);
}

void MainWindow::updateTmplPropertyTip()
{
    const FlashTemplateProperty* property = m_outlineView->selectedProperty();
    if (!property)
        return;
    m_toolTipBox->setTitle(textOr(property->title()));
    m_toolTip->setPlainText(textOr(property->desc()));
}

} // namespace quire
