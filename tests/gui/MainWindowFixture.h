#pragma once
// The main window on the offscreen platform with its real web view, the
// desktop's choosers and alerts answered by the test, and questions put to
// the reader in the preview.
#include "EditorFixture.h"
#include "app/QuillUtility.h"
#include "gui/app/MainWindow.h"
#include "gui/app/PreviewView.h"
#include "gui/templates/FlashTemplateOutlineDelegate.h"
#include "gui/templates/FlashTemplateOutlineView.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVariantMap>
#include <gtest/gtest.h>

namespace quire::test {

struct FakeAppDesktop : AppDesktop {
    std::optional<QString> savePath;
    std::optional<QStringList> settingsFiles;
    QStringList opened, messages;
    QString about;
    std::optional<QString> chooseSettingsSavePath(QWidget*) override { return savePath; }
    std::optional<QStringList> chooseSettingsFiles(QWidget*) override { return settingsFiles; }
    bool openWithDefaultApplication(const QString& path) override { return (opened << path, true); }
    void showMessage(const QString& text, const QString& details, QWidget*) override { messages << text + "\n" + details; }
    void showAbout(const QString& version, QWidget*) override { about = version; }
};

struct FakeImportServices : ImportWindowServices {
    std::optional<QString> chooseDocument(const QString&, QWidget*) override { return std::nullopt; }
    bool openWithDefaultApplication(const QString&) override { return true; }
};

struct FakePublishDesktop : PublishDesktop {
    std::optional<QString> folder;
    QStringList errors;
    std::optional<QString> chooseFolder(const QString&, QWidget*) override { return folder; }
    bool askToOpenResult(QWidget*) override { return false; }
    void showError(const QString& text, const QString& details, QWidget*) override { errors << text + ": " + details; }
    bool open(const QString&) override { return true; }
};

// One main window, to be started as the application starts it.
struct AppWindow {
    FakeAppDesktop* desktop = new FakeAppDesktop;
    FakePublishDesktop* publish = new FakePublishDesktop;
    ScriptedChooser* values = new ScriptedChooser;
    std::unique_ptr<MainWindow> window;

    AppWindow(const QString& trustFolder)
    {
        QuillUtility::setFlashTrustFolder(trustFolder);
        window = std::make_unique<MainWindow>(MainWindowServices{std::unique_ptr<AppDesktop>(desktop),
                                                                 std::make_unique<FakeImportServices>(),
                                                                 std::unique_ptr<PublishDesktop>(publish),
                                                                 std::unique_ptr<ValueChooser>(values)});
    }
    ~AppWindow()
    {
        window.reset();
        QuillUtility::setFlashTrustFolder(QString());
    }

    template <typename T = QWidget>
    T* get(const char* name) const
    {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    PreviewView* view() const { return window->webView(); }
    FlashTemplateOutlineView* editor() const { return get<FlashTemplateOutlineView>("outlineView"); }
    FlashTemplateOutlineDelegate* model() const { return editor()->tmplDelegate(); }
    D_Folio_for_macAppDelegate& app() const { return window->appDelegate(); }
    QString value(const QString& key) const { return app().flashTmpl()->propertyValueFor(key, "(none)"); }
    void select(const QString& key) const { editor()->setCurrentIndex(model()->indexOf(app().flashTmpl()->findProperty(key))); }
    void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window.get(), Qt::Key(k), modifiers);
    }

    // What a script in the preview's page gives.
    QVariant evaluate(const QString& script) const
    {
        QVariant answer;
        bool answered = false;
        view()->page()->runJavaScript(script, [&](const QVariant& v) {
            answer = v;
            answered = true;
        });
        if (!QTest::qWaitFor([&] { return answered; }, 10000))
            ADD_FAILURE() << "the preview did not answer";
        return answer;
    }
    // What the reader in the preview reports (PreviewView::kReaderStateScript).
    QVariantMap reader() const { return evaluate(QString::fromUtf8(PreviewView::kReaderStateScript)).toMap(); }
    // Runs what should rebuild the preview; true once the reader in the
    // rebuilt page shows the pictures of its spread. (Questions put to the
    // page while it loads slow it down: the first picture's mark comes first.)
    template <typename F>
    bool rebuilds(F&& action) const
    {
        QSignalSpy shown(view(), &PreviewView::firstPageShown);
        action();
        QApplication::setActiveWindow(window.get());
        if (shown.isEmpty() && !shown.wait(30000))
            return false;
        return QTest::qWaitFor([&] {
            const QVariantMap r = reader();
            if (r.value("state") == "ready" && r.value("pictures").toInt() > 0 && r.value("loaded") == r.value("pictures"))
                return true;
            QTest::qWait(100);
            return false;
        }, 10000);
    }
};

} // namespace quire::test
