#pragma once
// What the import dialog asks of the desktop: a document chosen in a file
// chooser, and a file opened in its default application. Tests answer in
// place of the desktop.
#include <QString>
#include <optional>

class QWidget;

namespace quire {

class ImportWindowServices {
public:
    virtual ~ImportWindowServices() = default;
    // A text, RTF or PDF document's full path; none when the user cancels.
    virtual std::optional<QString> chooseDocument(const QString& current, QWidget* parent) = 0;
    // False when no application would open it.
    virtual bool openWithDefaultApplication(const QString& path) = 0;
};

// A file chooser modal on the dialog's window, and QDesktopServices.
class DesktopImportWindowServices : public ImportWindowServices {
public:
    std::optional<QString> chooseDocument(const QString& current, QWidget* parent) override;
    bool openWithDefaultApplication(const QString& path) override;
};

} // namespace quire
