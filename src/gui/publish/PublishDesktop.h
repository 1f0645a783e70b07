#pragma once
// What the publish dialog asks of the desktop: a folder chooser, its two
// alerts and opening what it wrote. Tests answer in place of the user.
#include <QString>
#include <optional>

class QWidget;

namespace quire {

class PublishDesktop {
public:
    virtual ~PublishDesktop() = default;
    // The chosen folder's full path; none when the user cancels.
    virtual std::optional<QString> chooseFolder(const QString& start, QWidget* parent) = 0;
    // "Open the result files?": true when the user answers "Open it".
    virtual bool askToOpenResult(QWidget* parent) = 0;
    virtual void showError(const QString& text, const QString& details, QWidget* parent) = 0;
    // A page in the default browser, a folder in the file manager, a
    // published bundle by starting its launcher; false when that fails.
    virtual bool open(const QString& path) = 0;
};

// QFileDialog, QMessageBox and QDesktopServices, modal on the dialog.
class SystemPublishDesktop : public PublishDesktop {
public:
    std::optional<QString> chooseFolder(const QString& start, QWidget* parent) override;
    bool askToOpenResult(QWidget* parent) override;
    void showError(const QString& text, const QString& details, QWidget* parent) override;
    bool open(const QString& path) override;
};

} // namespace quire
