#include "MainWindowServices.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace quire {

std::optional<QString> SystemAppDesktop::chooseSettingsSavePath(QWidget* parent)
{
    QFileDialog dialog(parent, QFileDialog::tr("Export Template Settings"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QFileDialog::tr("Template settings (*.txt)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QStringList> SystemAppDesktop::chooseSettingsFiles(QWidget* parent)
{
    QFileDialog dialog(parent, QFileDialog::tr("Import Template Settings"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Upper-case names too: the filter is case-sensitive on this system.
    dialog.setNameFilter(QFileDialog::tr("Template settings (*.txt *.TXT)"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFiles();
}

bool SystemAppDesktop::openWithDefaultApplication(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void SystemAppDesktop::showMessage(const QString& text, const QString& details, QWidget* parent)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quire"), text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::WindowModal);
    box.setInformativeText(details);
    box.exec();
}

void SystemAppDesktop::showAbout(const QString& version, QWidget* parent)
{
    QMessageBox::about(parent, QMessageBox::tr("About Quire"),
                       QMessageBox::tr("<h3>Quire</h3><p>Version %1</p>"
                                       "<p>Turns documents into page-flip books.</p>"
                                       "<p>Free software under the GNU Affero General Public License, "
                                       "version 3 or later.</p>")
                           .arg(version.toHtmlEscaped()));
}

} // namespace quire
