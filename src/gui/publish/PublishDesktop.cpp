#include "PublishDesktop.h"

#include "publish/BookPublishJob.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

namespace quire {

std::optional<QString> SystemPublishDesktop::chooseFolder(const QString& start, QWidget* parent)
{
    QFileDialog dialog(parent, QFileDialog::tr("Choose folder"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Choose folder"));
    if (QFileInfo(start).isDir())
        dialog.setDirectory(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

bool SystemPublishDesktop::askToOpenResult(QWidget* parent)
{
    QMessageBox box(QMessageBox::Information, QMessageBox::tr("Publish"), QStringLiteral("Open the result files?"),
                    QMessageBox::NoButton, parent);
    box.setWindowModality(Qt::WindowModal);
    box.setInformativeText(QStringLiteral("Publish finished! Open the it?"));
    QPushButton* openIt = box.addButton(QStringLiteral("Open it"), QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(QStringLiteral("No"), QMessageBox::RejectRole);
    box.setDefaultButton(openIt);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == openIt;
}

void SystemPublishDesktop::showError(const QString& text, const QString& details, QWidget* parent)
{
    QMessageBox box(QMessageBox::Warning, QMessageBox::tr("Publish"), text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::WindowModal);
    box.setInformativeText(details);
    box.exec();
}

bool SystemPublishDesktop::open(const QString& path)
{
    const QFileInfo launcher(bundleLauncher(path));
    if (QFileInfo(path).isDir() && launcher.isFile() && launcher.isExecutable())
        return QProcess::startDetached(launcher.filePath(), {}, launcher.path());
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace quire
