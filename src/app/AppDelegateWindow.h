#pragma once
// What the application controller asks of its main window. The controller
// is the model side and runs without any window (tests, tools); the main
// window implements this to show what the controller does. Every call comes
// on the main thread; the defaults do nothing.
#include <QString>

namespace quire {

// How a rebuilt preview is shown: its page loaded afresh, or, where the
// rebuild changed only the book's configuration and the files of
// properties, the book loaded again by the reader in the page on show.
enum class PreviewLoad { Page, BookInPage };

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
    // A rebuilt preview's page to show. With BookInPage a window showing
    // that page may have its reader load the book again instead, or load
    // the page when the reader cannot.
    virtual void loadPreview(const QString& /*page*/, PreviewLoad /*how*/) {}
    // Why the latest rebuild failed; empty once one succeeds.
    virtual void showPreviewProblem(const QString& /*reason*/) {}
};

} // namespace quire
