#include "ImportWindowServices.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace quire {

std::optional<QString> DesktopImportWindowServices::chooseDocument(const QString& current, QWidget* parent)
{
    QFileDialog chooser(parent, QFileDialog::tr("Choose a Document"));
    chooser.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    chooser.setFileMode(QFileDialog::ExistingFile);
    // Upper-case names too: the filter is case-sensitive on this system.
    chooser.setNameFilter(QFileDialog::tr("Documents (*.txt *.rtf *.pdf *.TXT *.RTF *.PDF)"));
    const QFileInfo shown(current);
    if (!current.isEmpty() && shown.absoluteDir().exists()) {
        chooser.setDirectory(shown.absolutePath());
        chooser.selectFile(shown.fileName());
    }
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return std::nullopt;
    return chooser.selectedFiles().constFirst();
}

bool DesktopImportWindowServices::openWithDefaultApplication(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace quire
