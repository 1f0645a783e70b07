#pragma once
// What the application controller asks of its main window. The controller
// is the model side and runs without any window (tests, tools); the main
// window implements this to show what the controller does. Every call comes
// on the main thread; the defaults do nothing.
#include <QString>

namespace quire {

class AppDelegateWindow {
public:
    virtual ~AppDelegateWindow() = default;

    // Start-up, in the order the controller calls them.
    virtual void makeKeyAndOrderFront() {}
    virtual void fillMainScreen() {}
    virtual void bindPropertyEditor() {}
    virtual void observeNotifications() {}
    virtual void useFixedPitchHelpFont() {}

    // The template's property tree changed (import, settings, template).
    virtual void reloadOutlineView() {}
    // The template button's title after a template switch.
    virtual void setTemplateTitle(const QString& /*title*/) {}
    // The Apply item's picture: "apply", or "apply1" to "apply3" while
    // changes are pending.
    virtual void setApplyPicture(const QString& /*name*/) {}
    // A rebuilt preview's page to show.
    virtual void loadPreview(const QString& /*page*/) {}
    // Why the latest rebuild failed; empty once one succeeds.
    virtual void showPreviewProblem(const QString& /*reason*/) {}
};

} // namespace quire
