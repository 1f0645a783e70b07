// The application controller without widgets: start-up, the live preview
// and the commands' effects on the book, seen through a recording window.
#include "app/D_Folio_for_macAppDelegate.h"
#include "app/QuillUtility.h"
#include "support/TestEnv.h"
#include "templates/TemplateFixture.h"
#include "util/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <functional>

using namespace quire;
using namespace quire::test;

namespace {

struct RecordingWindow : AppDelegateWindow {
    QStringList calls;
    QString problem;
    void makeKeyAndOrderFront() override { calls << "front"; }
    void fillMainScreen() override { calls << "screen"; }
    void bindPropertyEditor() override { calls << "editor"; }
    void observeNotifications() override { calls << "observe"; }
    void useFixedPitchHelpFont() override { calls << "font"; }
    void reloadOutlineView() override { calls << "reload"; }
    void setTemplateTitle(const QString& title) override { calls << "title " + title; }
    void setApplyPicture(const QString&) override {} // (the apply picture's cycle: MainWindowTest)
    void loadPreview(const QString& page, PreviewLoad how) override
    {
        calls << (how == PreviewLoad::BookInPage ? "book in " : "load ") + QFileInfo(page).fileName();
    }
    void showPreviewProblem(const QString& reason) override { problem = reason; }
};

class AppDelegate : public ResourceFixture {
protected:
    void SetUp() override
    {
        ResourceFixture::SetUp();
        QuillUtility::setFlashTrustFolder(dir.file("trust"));
        const QString props = propertyXml("pt_number", "pageWidth", "600") + propertyXml("pt_number", "pageHeight", "800")
            + propertyXml("pt_color", "backgroundColor", "0x000000");
        for (const QString& name : {QString("float"), QString("slate")}) {
            const QString own = name == "slate" ? propertyXml("pt_color", "slateOnly", "0x111111") : "";
            addTemplate(name, definitionXml(props + own));
            writeFile(res("AppFiles/Templates/" + name + "/index.html"), "<title>${index.title}</title>");
            writeFile(res("AppFiles/Templates/" + name + "/book.swf"), "viewer");
            addStyle(name, "Blank", "backgroundColor=0x123456\n");
            writeFile(res("AppFiles/Styles/" + name + "/Blank/shot.jpg"), "shot");
        }
        for (const char* name : {"02.jpg", "01.jpg", "03.jpg", "00.png"})
            writeFile(res(QString("DemoImgs/") + name), name);
        app.applicationDidFinishLaunching();
        window.calls.clear();
    }
    void TearDown() override
    {
        app.applicationWillTerminate();
        QuillUtility::setFlashTrustFolder(QString());
        ResourceFixture::TearDown();
    }
    QString preview(const QString& relative = QString()) const
    {
        return relative.isEmpty() ? app.flashPreviewFolder() : app.flashPreviewFolder() + "/" + relative;
    }
    QString value(const QString& key) const { return app.flashTmpl()->propertyValueFor(key, "(none)"); }
    QString trustText() const
    {
        QStringDecoder utf16(QStringDecoder::Utf16);
        return utf16(readFile(dir.file("trust/PT.cfg")));
    }

    RecordingWindow window;
    D_Folio_for_macAppDelegate app{&window};
};

} // namespace

TEST_F(AppDelegate, StartsWithTheDemonstrationBookInTheDefaultTemplateAndItsPreview)
{
    D_Folio_for_macAppDelegate fresh(&window);
    fresh.applicationDidFinishLaunching();
    EXPECT_EQ(window.calls, QStringList({"front", "screen", "editor", "observe", "font", "load index.html"}));
    EXPECT_EQ(fresh.flashTmpl()->tmplName(), "float");
    // The pictures in file-name order, the PNG left out.
    QStringList pages;
    for (const auto& page : fresh.flashPageSource()->normalPages())
        pages << QString::number(page->pageIndex()) + " " + QFileInfo(textOr(page->pageFilePath())).fileName();
    EXPECT_EQ(pages, QStringList({"1 01.jpg", "2 02.jpg", "3 03.jpg"}));
    EXPECT_FALSE(fresh.flashOutline() || fresh.flashPagesAnnotations());
    EXPECT_EQ(readFile(fresh.flashPreviewFolder() + "/files/page/2.jpg"), "02.jpg");
    EXPECT_EQ(readFile(fresh.flashPreviewFolder() + "/index.html"), "<title>Preview</title>");

    // The first application previews in Quire/preview; one started while it
    // runs previews beside it, and leaves the first one's preview alone.
    const QString shared = testHome() + "/.local/share/Quire/preview";
    EXPECT_EQ(app.flashPreviewFolder(), shared);
    EXPECT_TRUE(fresh.flashPreviewFolder().startsWith(shared + "-")) << fresh.flashPreviewFolder().toStdString();
    const QString second = fresh.flashPreviewFolder();
    fresh.applicationWillTerminate();
    EXPECT_TRUE(!QFileInfo::exists(second) && QFileInfo::exists(shared + "/index.html"));
}

// Apply has the reader on show load the book again where only its
// configuration changed, else the page is loaded.
TEST_F(AppDelegate, RebuildsKeepThePreviewFolderTrustedAndMendWhatWentMissing)
{
    struct Case {
        const char* name;
        std::function<void()> before;
        bool publishes;
        int reused; // page files linked rather than copied
        QString shown = "book in index.html";
    };
    const QString tmpl = "AppFiles/Templates/float/";
    const Case cases[] = {
        {"nothing changed", [] {}, true, 3},
        {"a colour changed", [this] { app.flashTmpl()->setPropertyValue("backgroundColor", "0x102030"); }, true, 3},
        {"the folder removed while running", [this] { QDir(preview()).removeRecursively(); }, true, 0, "load index.html"},
        {"a page picture of the preview damaged", [this] { writeFile(preview("files/page/1.jpg"), "x"); }, true, 2,
         "load index.html"},
        {"the template's page changed", [&] { writeFile(res(tmpl + "index.html"), "<p>${index.title}</p>"); }, true, 3,
         "load index.html"},
        {"the template's viewer changed", [&] { writeFile(res(tmpl + "book.swf"), "viewer 2"); }, true, 3,
         "load index.html"},
        {"the folder replaced by a file",
         [this] { QDir(preview()).removeRecursively(); writeFile(preview(), "file"); }, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.applyChange();
        const QString trustBefore = trustText();
        ASSERT_EQ(trustBefore.count(preview()), 1);
        window.calls.clear();
        app.tmplPpertyValueChanged();
        c.before();
        log::Capture log(log::Level::Error);

        const PreviewBuild build = app.applyChange();
        EXPECT_EQ(build.result.ok(), c.publishes) << build.result.description().toStdString();
        EXPECT_EQ(trustText(), trustBefore);
        if (c.publishes) {
            EXPECT_EQ(window.calls, QStringList{c.shown});
            EXPECT_EQ(build.load == PreviewLoad::BookInPage, c.shown.startsWith("book"));
            EXPECT_EQ(app.previewReuse().reusedCount(), c.reused);
            EXPECT_EQ(readFile(preview("files/page/1.jpg")), "01.jpg");
            EXPECT_TRUE(window.problem.isEmpty() && log.messages().isEmpty()) << window.problem.toStdString();
        } else {
            EXPECT_TRUE(window.calls.isEmpty() && !window.problem.isEmpty());
            EXPECT_EQ(log.messages().size(), 1);
            QFile::remove(preview());
        }
    }
    const QString folder = preview();
    app.applicationWillTerminate();
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(AppDelegate, CommandsChangeTheBookAndRebuildThePreview)
{
    auto pages = std::make_shared<FlashPageSourceImg>();
    writeFile(dir.file("doc/1.jpg"), "imported");
    pages->addImgPageFromFile(dir.file("doc/1.jpg"));
    pages->generateNormalPages();
    struct Case {
        const char* name;
        std::function<void()> command;
        QStringList calls;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"an import that ended with 1",
         [&] { app.importWindowDidEnd(1, {612, 792, pages, nullptr, nullptr}); },
         {"reload", "load index.html"},
         [&] {
             EXPECT_EQ(value("pageWidth") + " x " + value("pageHeight"), "612 x 792");
             EXPECT_EQ(app.flashPageSource(), pages);
             EXPECT_EQ(readFile(preview("files/page/1.jpg")), "imported");
         }},
        {"an import that ended with 0", [&] { app.importWindowDidEnd(0, {1, 2, nullptr, nullptr, nullptr}); }, {},
         [&] { EXPECT_EQ(app.flashPageSource(), pages); }},
        {"the settings chooser accepted with no file", [&] { app.importTmplSettings(QStringList()); }, {},
         [&] { EXPECT_EQ(value("backgroundColor"), "0x000000"); }},
        {"the template chooser cancelled",
         [&] { app.selectTmplWindowDidEnd(0, res("AppFiles/Styles/slate/Blank/shot.jpg")); }, {},
         [&] { EXPECT_EQ(app.flashTmpl()->tmplName(), "float"); }},
        {"style Blank of template slate chosen",
         [&] { app.selectTmplWindowDidEnd(1, res("AppFiles/Styles/slate/Blank/shot.jpg")); },
         {"reload", "title Slate", "load index.html"},
         [&] {
             EXPECT_EQ(app.flashTmpl()->tmplName(), "slate");
             EXPECT_EQ(value("slateOnly") + " " + value("backgroundColor"), "0x111111 0x123456"); // the style's
             EXPECT_EQ(value("pageWidth"), "612"); // the page size stays
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.calls.clear();
        c.command();
        EXPECT_EQ(window.calls, c.calls);
        c.check();
    }
    // A template's title is its name capitalized word by word.
    EXPECT_EQ(D_Folio_for_macAppDelegate::capitalized("dark SLATE") + "|" + D_Folio_for_macAppDelegate::capitalized(""),
              "Dark Slate|");
}
