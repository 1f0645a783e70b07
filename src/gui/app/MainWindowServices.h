#pragma once
// What the main window asks of the desktop: the choosers of the settings
// commands, messages, the about box and opening a file in its default
// application; and the services its dialogs and property editor use. Tests
// answer in place of the user.
#include "gui/import/ImportWindowServices.h"
#include "gui/publish/PublishDesktop.h"
#include "gui/templates/ValueChooser.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;

namespace quire {

class AppDesktop {
public:
    virtual ~AppDesktop() = default;
    // Where to save template settings; none when the user cancels.
    virtual std::optional<QString> chooseSettingsSavePath(QWidget* parent) = 0;
    // Settings files to read (".txt"): none when the user cancels, an empty
    // list when the user accepts without a file.
    virtual std::optional<QStringList> chooseSettingsFiles(QWidget* parent) = 0;
    // False when no application would open it.
    virtual bool openWithDefaultApplication(const QString& path) = 0;
    virtual void showMessage(const QString& text, const QString& details, QWidget* parent) = 0;
    virtual void showAbout(const QString& version, QWidget* parent) = 0;
};

// File dialogs and message boxes, modal on the window; QDesktopServices.
class SystemAppDesktop : public AppDesktop {
public:
    std::optional<QString> chooseSettingsSavePath(QWidget* parent) override;
    std::optional<QStringList> chooseSettingsFiles(QWidget* parent) override;
    bool openWithDefaultApplication(const QString& path) override;
    void showMessage(const QString& text, const QString& details, QWidget* parent) override;
    void showAbout(const QString& version, QWidget* parent) override;
};

// Everything the window hands on; each one left empty is the system's.
struct MainWindowServices {
    std::unique_ptr<AppDesktop> desktop;
    std::unique_ptr<ImportWindowServices> import;
    std::unique_ptr<PublishDesktop> publish;
    std::unique_ptr<ValueChooser> values;
};

} // namespace quire
