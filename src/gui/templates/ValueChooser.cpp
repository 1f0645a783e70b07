#include "ValueChooser.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>

namespace quire {

std::optional<QColor> DialogValueChooser::chooseColor(const QColor& initial, QWidget* parent)
{
    QColorDialog dialog(initial, parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

std::optional<QString> DialogValueChooser::chooseFile(const QString& description, const QStringList& extensions,
                                                      const QString& suggested, QWidget* parent)
{
    QFileDialog dialog(parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!extensions.isEmpty()) {
        QStringList patterns;
        for (const QString& extension : extensions)
            patterns << QStringLiteral("*.") + extension;
        const QString label = description.isEmpty() ? QFileDialog::tr("Files") : description;
        dialog.setNameFilter(label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    if (!suggested.isEmpty()) {
        const QFileInfo info(suggested);
        if (info.isAbsolute())
            dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace quire
