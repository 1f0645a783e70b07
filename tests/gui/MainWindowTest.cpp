// The main window's commands, keys, help box, drops and preview indicator,
// driven through its controls on one shared window.
#include "MainWindowFixture.h"
#include "gui/app/SelectTemplateWindowDelegate.h"
#include "gui/import/ImportWindowDelegate.h"
#include "gui/publish/OutputWindowDelegate.h"

#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolButton>
#include <functional>

using namespace quire;
using namespace quire::test;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempDir;
        s_app = new AppWindow(s_dir->file("trust"));
        ASSERT_TRUE(s_app->rebuilds([] { s_app->window->applicationDidFinishLaunching(); }));
    }
    static void TearDownTestSuite()
    {
        delete s_app;
        delete s_dir;
    }
    void SetUp() override
    {
        QApplication::setActiveWindow(w.window.get());
        w.desktop->messages.clear();
        w.desktop->opened.clear();
    }

    static inline TempDir* s_dir = nullptr;
    static inline AppWindow* s_app = nullptr;
    AppWindow& w = *s_app;
    TempDir& dir = *s_dir;
};

} // namespace

TEST_F(MainWindowTest, KeysReachTheirCommands)
{
    struct Case {
        QKeySequence keys;
        std::function<bool()> happened;
        std::function<void()> after;
    };
    // (Ctrl+E, Ctrl+R, F5 and Ctrl+Q: the end-to-end test.)
    const Case cases[] = {
        {QKeySequence("Ctrl+O"), [&] { return w.window->importWindow()->isVisible(); },
         [&] { w.window->importWindow()->reject(); }},
        {QKeySequence("Ctrl+T"), [&] { return w.window->selecteTmplWindow()->isVisible(); },
         [&] { w.window->selecteTmplWindow()->reject(); }},
        {QKeySequence("F1"), [&] { return w.desktop->opened == QStringList{D_Folio_for_macAppDelegate::helpFilePath()}; },
         [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys.toString().toStdString());
        QApplication::setActiveWindow(w.window.get());
        w.editor()->setFocus();
        QTest::keySequence(w.window.get(), c.keys);
        EXPECT_TRUE(QTest::qWaitFor(c.happened, 10000));
        c.after();
        QTest::qWait(50);
    }
    // Undo and redo are the editor's, from anywhere in the window.
    w.model()->setData(w.model()->indexOf(w.app().flashTmpl()->findProperty("bookTitle"), 1), "Tales");
    w.view()->setFocus();
    QTest::keySequence(w.window.get(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(w.value("bookTitle"), "");
    QTest::keySequence(w.window.get(), QKeySequence("Ctrl+Shift+Z"));
    EXPECT_EQ(w.value("bookTitle"), "Tales");
    w.desktop->about.clear();
    w.get<QAction>("actionAbout")->trigger();
    EXPECT_EQ(w.desktop->about, "1.0.0");
}

TEST_F(MainWindowTest, HelpBoxShowsTheSelectedPropertyInAFixedPitchFont)
{
    auto* box = w.get<QGroupBox>("toolTipBox");
    auto* help = w.get<QPlainTextEdit>("toolTip");
    EXPECT_TRUE(QFontInfo(help->font()).fixedPitch());
    for (const char* key : {"backgroundColor", "isHardCover", "flipDuration"}) {
        SCOPED_TRACE(key);
        const FlashTemplateProperty* p = w.app().flashTmpl()->findProperty(key);
        w.select(key);
        EXPECT_EQ(box->title(), textOr(p->title()));
        EXPECT_EQ(help->toPlainText(), textOr(p->desc()));
        EXPECT_FALSE(help->toPlainText().isEmpty());
    }
    const QString shown = help->toPlainText();
    w.editor()->clearSelection();
    EXPECT_EQ(help->toPlainText(), shown); // (the rows open: the editor's tests)
}

TEST_F(MainWindowTest, SettingsCommandsFollowTheirChoosers)
{
    const QString saved = dir.file("look.cfg"); // a name without an extension: the end-to-end test
    writeFile(dir.file("refused.txt"), "\nbackgroundImage=/no/such/picture.png\n");
    struct Case {
        const char* name;
        std::function<void()> run;
        bool rebuilds;
        QString message; // the start of what the user is told; empty for nothing
        std::function<void()> check;
    };
    const Case cases[] = {
        {"export to a name with its own extension",
         [&] {
             w.app().flashTmpl()->setPropertyValue("backgroundColor", "0x224466");
             w.desktop->savePath = saved;
             QTest::mouseClick(w.get<QToolButton>("btnExportTmpl"), Qt::LeftButton);
             w.app().flashTmpl()->setPropertyValue("backgroundColor", "0x000000");
         },
         false, "", [&] { EXPECT_TRUE(readFile(saved).contains("backgroundColor=0x224466")); }},
        {"export into a missing folder",
         [&] { w.desktop->savePath = dir.file("none/x.cfg"); w.get<QAction>("actionExportSettings")->trigger(); },
         false, "The template settings could not be saved.",
         [&] { EXPECT_TRUE(w.desktop->messages.join(' ').contains("No such file or directory")); }},
        {"import cancelled", [&] { w.desktop->settingsFiles.reset(); w.get<QAction>("actionImportSettings")->trigger(); },
         true, "", [&] { EXPECT_EQ(w.value("backgroundColor"), "0x000000"); }},
        {"import of the exported file from the toolbar",
         [&] {
             w.desktop->settingsFiles = QStringList{saved};
             QTest::mouseClick(w.get<QToolButton>("btnImportTmpl"), Qt::LeftButton);
         },
         true, "", [&] { EXPECT_EQ(w.value("backgroundColor"), "0x224466"); }},
        {"import of a file with a value that is refused",
         [&] { w.desktop->settingsFiles = QStringList{dir.file("refused.txt")}; w.get<QAction>("actionImportSettings")->trigger(); },
         true, "Some settings in “refused.txt” were not taken",
         [&] { EXPECT_TRUE(w.desktop->messages.value(0).contains("backgroundImage")); }},
        {"import of a missing file",
         [&] { w.desktop->settingsFiles = QStringList{dir.file("gone.txt")}; w.get<QAction>("actionImportSettings")->trigger(); },
         true, "The settings in “gone.txt” could not be read.", [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w.desktop->messages.clear();
        QSignalSpy loads(w.view(), &QWebEngineView::loadFinished);
        c.run();
        if (c.rebuilds)
            EXPECT_TRUE(loads.count() > 0 || loads.wait(20000));
        else
            EXPECT_FALSE(loads.wait(300));
        if (c.message.isEmpty())
            EXPECT_TRUE(w.desktop->messages.isEmpty()) << w.desktop->messages.join("|").toStdString();
        else
            EXPECT_TRUE(w.desktop->messages.value(0).startsWith(c.message)) << w.desktop->messages.join("|").toStdString();
        c.check();
    }
}

TEST_F(MainWindowTest, DroppedDocumentsOpenTheImportDialogWithThem)
{
    ImportWindowDelegate* dialog = w.window->importWindow();
    struct Case {
        const char* name;
        QList<QUrl> dropped;
        bool taken;
    };
    const Case cases[] = {
        {"a PDF", {QUrl::fromLocalFile("/docs/report.pdf")}, true},
        {"an upper-case TXT", {QUrl::fromLocalFile("/docs/NOTES.TXT")}, true},
        {"an RTF", {QUrl::fromLocalFile("/docs/letter.rtf")}, true},
        {"an RTFD folder", {QUrl::fromLocalFile("/docs/Pictures.rtfd")}, true},
        {"a picture", {QUrl::fromLocalFile("/docs/photo.png")}, false},
        {"two documents", {QUrl::fromLocalFile("/docs/a.pdf"), QUrl::fromLocalFile("/docs/b.pdf")}, false},
        {"a web address", {QUrl("https://example.org/a.pdf")}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dropUrls(w.window.get(), c.dropped), c.taken);
        EXPECT_EQ(dialog->isVisible(), c.taken);
        if (c.taken) {
            EXPECT_EQ(dialog->findChild<QLineEdit*>("txtFilePath")->text(), c.dropped.first().toLocalFile());
            dialog->reject();
            QTRY_VERIFY(!dialog->isVisible());
        }
    }
}

TEST_F(MainWindowTest, ChangesAnimateApplyUntilARebuildAndAFailedOneSaysWhy)
{
    QAction* apply = w.get<QAction>("toolBarItemApplyChange");
    const qint64 idle = apply->icon().cacheKey();
    const int tag = apply->data().toInt();
    w.model()->setData(w.model()->indexOf(w.app().flashTmpl()->findProperty("flipDuration"), 1), "650");
    w.model()->setData(w.model()->indexOf(w.app().flashTmpl()->findProperty("flipDuration"), 1), "600");
    EXPECT_TRUE(QTest::qWaitFor([&] { return apply->data().toInt() == (tag + 1) % 3; }, 2000));
    EXPECT_NE(apply->icon().cacheKey(), idle);

    // The preview folder turned into a file: the rebuild fails and says so.
    const QString folder = w.app().flashPreviewFolder();
    QDir(folder).removeRecursively();
    writeFile(folder, "not a folder");
    apply->trigger();
    EXPECT_EQ(apply->icon().cacheKey(), idle);
    EXPECT_TRUE(w.window->statusBar()->currentMessage().contains(folder))
        << w.window->statusBar()->currentMessage().toStdString();
    QFile::remove(folder);
    EXPECT_TRUE(w.rebuilds([&] { apply->trigger(); }));
    EXPECT_TRUE(w.window->statusBar()->currentMessage().isEmpty() && apply->icon().cacheKey() == idle);
}
