// The publish dialog driven through its controls, with a desktop that
// answers the chooser and the alerts in place of the user; published books
// are read back as the publishing tests read them.
#include "app/AppSettings.h"
#include "gui/publish/OutputWindowDelegate.h"
#include "publish/PublishFixture.h"
#include "util/Xml.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <vector>

using namespace quire;
using namespace quire::test;

namespace {

// What the user answers, and what the dialog asked.
struct Desk {
    std::optional<QString> chosenFolder;
    bool openIt = true;
    QString chooserStart;
    int asked = 0;
    QStringList errors; // the details of each error alert
    QStringList opened;
};

struct FakeDesktop : PublishDesktop {
    explicit FakeDesktop(Desk& d) : desk(d) {}
    std::optional<QString> chooseFolder(const QString& start, QWidget*) override
    {
        desk.chooserStart = start;
        return desk.chosenFolder;
    }
    bool askToOpenResult(QWidget*) override { return ++desk.asked, desk.openIt; }
    void showError(const QString&, const QString& details, QWidget*) override { desk.errors << details; }
    bool open(const QString& path) override { return desk.opened << path, true; }
    Desk& desk;
};

struct Choices {
    QString folder, name, title;
    int type = 0;
    bool operator==(const Choices&) const = default;
};

Choices stored()
{
    AppSettings fresh; // reads what was saved
    return {fresh.lastOutputFileFolder(), fresh.lastOutputFileName(), fresh.lastOutputFileTitle(), fresh.outputType()};
}

void store(const Choices& c)
{
    AppSettings& s = AppSettings::shareInstance();
    s.setLastOutputFileFolder(c.folder);
    s.setLastOutputFileName(c.name);
    s.setLastOutputFileTitle(c.title);
    s.setOutputType(c.type);
    s.saveSettings();
}

class PublishDialog : public PublishFixture {
protected:
    void SetUp() override
    {
        PublishFixture::SetUp();
        writeFile(res("AppFiles/TmplData/mac.app/Contents/Info.plist"), "plist");
        tmpl = makeTemplate("");
        pages = makePages(3);
    }

    // The dialog as the main window opens it, after the settings were c.
    void open(const Choices& c)
    {
        store(c);
        dialog = std::make_unique<OutputWindowDelegate>(nullptr, std::make_unique<FakeDesktop>(desk));
        dialog->setFlashTmpl(tmpl);
        dialog->setFlashPageSource(pages);
        finished = std::make_unique<QSignalSpy>(dialog.get(), &QDialog::finished);
        ended = std::make_unique<QSignalSpy>(dialog.get(), &OutputWindowDelegate::publishDidEnd);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    template <typename W = QLineEdit>
    W* control(const char* name) const
    {
        return dialog->findChild<W*>(QLatin1String(name));
    }
    void type(const char* field, const QString& text)
    {
        QLineEdit* edit = control(field);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    void click(const char* button) { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }
    void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
    QString focused() const { return QApplication::focusWidget()->objectName(); }
    // Waits until the publish has ended and its alerts are answered.
    bool waitForPublish() { return QTest::qWaitFor([&] { return ended->count() > 0; }, 60000); }

    // A published book read back: its page and its sealed configuration.
    void expectBook(const QString& book, const QString& page, const QString& title)
    {
        EXPECT_TRUE(readFile(book + "/" + page).contains("<title>" + title.toUtf8() + "</title>"));
        EXPECT_EQ(readFile(book + "/book.swf"), QByteArray(kViewer));
        const auto doc = xml::parseMemory(unzippedConfiguration(book + "/files/book.bin"));
        ASSERT_TRUE(doc.doc);
        int found = 0;
        for (xmlNode* p : xml::children(xml::firstChild(xmlDocGetRootElement(doc.doc.get()), "pages"), "page"))
            for (xmlNode* url : xml::children(p))
                found += QFileInfo(book + "/" + xml::text(url)).isFile() ? 1 : 0;
        EXPECT_EQ(found, 9); // three pages, three URLs each
    }

    Desk desk;
    std::shared_ptr<FlashTemplate> tmpl;
    std::shared_ptr<FlashPageSourceImg> pages;
    std::unique_ptr<OutputWindowDelegate> dialog;
    std::unique_ptr<QSignalSpy> finished, ended;
};

// Holds a publish once its staging folder is made, until the test lets it go.
QSemaphore g_reached, g_go;
void holdAtStaging(const char* moment)
{
    if (qstrcmp(moment, "staging made") == 0) {
        g_reached.release();
        g_go.acquire();
    }
}

} // namespace

TEST_F(PublishDialog, PublishesEachKindStoresTheChoicesAndOffersToOpenIt)
{
    const struct {
        const char* kind;
        QString folder; // relative to the test folder; made when missing
        QString name;
        bool openIt;
        QString result, book, page;
    } cases[] = {
        {"rbWebFolder", "shelf", "mybook", true, "shelf/mybook.html", "shelf", "mybook.html"},
        {"rbWebFolder", "shelf", "mybook.html", false, "shelf/mybook.html.html", "shelf", "mybook.html.html"},
        {"rbDesktopApplication", "deep/er", "mybook", true, "deep/er/mybook.app",
         "deep/er/mybook.app/Contents/Resources", "index.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result.toStdString());
        desk = Desk{};
        desk.openIt = c.openIt;
        open({"/elsewhere", "old", "Old title", 0});
        type("txtOutputFolder", dir.file(c.folder));
        type("txtOutputName", c.name);
        type("txtTitle", "Tides & Times");
        click(c.kind);
        click("btnPublish");
        ASSERT_TRUE(waitForPublish());

        EXPECT_EQ(finished->count(), 1);
        EXPECT_EQ(dialog->result(), 1);
        EXPECT_TRUE(desk.errors.isEmpty()) << desk.errors.join('\n').toStdString();
        EXPECT_EQ(desk.asked, 1);
        EXPECT_EQ(desk.opened, c.openIt ? QStringList{dir.file(c.result)} : QStringList{});
        EXPECT_TRUE(QFileInfo::exists(dir.file(c.result)));
        expectBook(dir.file(c.book), c.page, "Tides &amp; Times");
        const Choices expected{dir.file(c.folder), c.name, "Tides & Times", qstrcmp(c.kind, "rbWebFolder") == 0 ? 0 : 1};
        EXPECT_TRUE(stored() == expected);
    }
    EXPECT_TRUE(QFileInfo(dir.file("deep/er/mybook.app/Contents/Info.plist")).isFile());
}

// Each failure names the folder or file and why, gives no success alert and
// keeps the dialog open; the choices are stored all the same.
TEST_F(PublishDialog, AFailedPublishShowsTheReasonAndNoSuccess)
{
    const auto pageless = makeTemplate("", QByteArray(), "pageless");
    const publish::MomentHook raise = [](const char* moment) {
        if (qstrcmp(moment, "page file") == 0)
            throw std::runtime_error("the disk went away");
    };
    struct Case {
        Choices choices;
        QString words;
        bool withoutPage = false;
        publish::MomentHook hook = nullptr;
    };
    std::vector<Case> cases = {
        {{dir.file("missing/shelf"), "b", "T", 0},
         dir.file("missing/shelf") + ": cannot be created: the folder " + dir.file("missing") + " does not exist"},
        {{"", "b", "T", 1}, "no output folder was given"},
        {{"books", "b", "T", 0}, "books: not a full path"},
        {{dir.file("shelf"), "", "T", 0}, dir.file("shelf") + ": the book has no name"},
        {{dir.file("shelf"), "b", "T", 0}, dir.file("shelf/b.html") + ": cannot be made: the template", true},
        {{dir.file("shelf"), "b", "T", 0}, dir.file("shelf") + ": the disk went away (publish)", false, raise},
    };
    SmallDisk disk(256 * 1024);
    if (disk.makeReadOnly()) {
        for (const int type : {0, 1})
            cases.push_back({{disk.file("shelf"), "b", "T", type}, disk.file("shelf") + ": cannot be created: Read-only"});
    } else {
        std::printf("read-only disk not tried: %s\n", qPrintable(disk.why()));
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.toStdString());
        desk = Desk{};
        open(c.choices);
        dialog->setFlashTmpl(c.withoutPage ? pageless : tmpl);
        store({"/before", "before", "before", 0});
        publish::setMomentHook(c.hook);
        key(Qt::Key_Return);
        const bool ended = waitForPublish();
        publish::setMomentHook(nullptr);
        ASSERT_TRUE(ended);
        ASSERT_EQ(desk.errors.size(), 1);
        EXPECT_TRUE(desk.errors[0].startsWith(c.words)) << desk.errors[0].toStdString();
        EXPECT_EQ(desk.asked, 0);
        EXPECT_EQ(finished->count(), 0);
        EXPECT_TRUE(dialog->isVisible() && control<QPushButton>("btnPublish")->isEnabled());
        EXPECT_TRUE(stored() == c.choices);
    }
    // No page, no staging folder, no folder in a missing one.
    EXPECT_TRUE(QDir(dir.file("shelf")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.file("missing")));
}

TEST_F(PublishDialog, OpensWithTheStoredChoicesAndCancelKeepsThem)
{
    const struct {
        int storedType;
        const char* checked;
        Qt::Key cancel; // Escape, or none for the Cancel button
    } cases[] = {{1, "rbDesktopApplication", Qt::Key_Escape}, {0, "rbWebFolder", Qt::Key_unknown},
                 {7, "rbWebFolder", Qt::Key_Escape}};
    for (const auto& c : cases) {
        const Choices before{dir.file("shelf"), "kept", "Kept title", c.storedType};
        open(before);
        EXPECT_EQ(control("txtOutputFolder")->text(), before.folder);
        EXPECT_EQ(control("txtOutputName")->text(), "kept");
        EXPECT_EQ(control("txtTitle")->text(), "Kept title");
        EXPECT_TRUE(control<QRadioButton>(c.checked)->isChecked());

        type("txtOutputName", "changed");
        click(c.storedType == 1 ? "rbWebFolder" : "rbDesktopApplication");
        if (c.cancel == Qt::Key_Escape)
            key(Qt::Key_Escape);
        else
            click("btnCancel");
        EXPECT_EQ(finished->count(), 1);
        EXPECT_EQ(dialog->result(), 0);
        EXPECT_TRUE(stored() == before);
        EXPECT_FALSE(QFileInfo::exists(dir.file("shelf")));
    }
}

TEST_F(PublishDialog, TheChooserFillsTheFolderAndCancellingKeepsIt)
{
    open({"/start/here", "b", "T", 0});
    desk.chosenFolder = dir.file("picked");
    click("btnSelectFolder");
    EXPECT_EQ(desk.chooserStart, "/start/here");
    EXPECT_EQ(control("txtOutputFolder")->text(), dir.file("picked"));
    desk.chosenFolder.reset();
    click("btnSelectFolder");
    EXPECT_EQ(control("txtOutputFolder")->text(), dir.file("picked"));

    // The open-folder button shows an existing folder, and says when there is none.
    click("btnOpenFolder");
    EXPECT_EQ(desk.errors.size(), 1);
    type("txtOutputFolder", dir.path());
    click("btnOpenFolder");
    EXPECT_EQ(desk.opened, QStringList{dir.path()});
}

TEST_F(PublishDialog, UsableWithTheKeyboardAlone)
{
    open({dir.file("shelf"), "b", "T", 0});
    EXPECT_EQ(focused(), "txtOutputFolder");
    QStringList order;
    for (int i = 0; i < 8; ++i) {
        key(Qt::Key_Tab);
        order << focused();
    }
    EXPECT_EQ(order, QStringList({"btnSelectFolder", "btnOpenFolder", "txtOutputName", "txtTitle", "rbWebFolder",
                                  "btnCancel", "btnPublish", "txtOutputFolder"}));
    // Arrows move between the kinds; Enter in a field publishes.
    type("txtTitle", "Typed");
    key(Qt::Key_Tab);
    key(Qt::Key_Right);
    EXPECT_TRUE(control<QRadioButton>("rbDesktopApplication")->isChecked());
    QTest::mouseClick(control("txtTitle"), Qt::LeftButton);
    key(Qt::Key_Enter);
    ASSERT_TRUE(waitForPublish());
    EXPECT_EQ(dialog->result(), 1);
    EXPECT_TRUE(QFileInfo(dir.file("shelf/b.app/Contents/Resources/index.html")).isFile());
}

TEST_F(PublishDialog, BusyWhileTheBookIsWritten)
{
    open({dir.file("shelf"), "b", "T", 0});
    publish::setMomentHook(holdAtStaging);
    click("btnPublish");
    const bool reached = QTest::qWaitFor([] { return g_reached.tryAcquire(); }, 60000);
    if (reached) {
        QApplication::processEvents();
        EXPECT_TRUE(control<QProgressBar>("busyIndicator")->isVisible());
        for (const char* name : {"txtOutputFolder", "txtTitle", "btnPublish", "btnCancel", "rbDesktopApplication"})
            EXPECT_FALSE(control<QWidget>(name)->isEnabled()) << name;
        QTest::keyClick(dialog.get(), Qt::Key_Escape); // no way out while it writes
        dialog->close();
        EXPECT_TRUE(dialog->isVisible());
        g_go.release();
    }
    const bool done = reached && waitForPublish();
    publish::setMomentHook(nullptr);
    ASSERT_TRUE(done);
    EXPECT_FALSE(control<QProgressBar>("busyIndicator")->isVisible());
    EXPECT_EQ(dialog->result(), 1);
    EXPECT_EQ(finished->count(), 1);
}

// The system desktop starts a published bundle's launcher.
TEST_F(PublishDialog, OpeningABundleStartsItsLauncher)
{
    const QString launcher = dir.file("b.app/Contents/MacOS/launch");
    writeFile(launcher, "#!/bin/sh\npwd > \"$0.ran\"\n");
    QFile::setPermissions(launcher, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    SystemPublishDesktop desktop;
    ASSERT_TRUE(desktop.open(dir.file("b.app")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(launcher + ".ran").size() > 0; }, 20000));
    EXPECT_EQ(readFile(launcher + ".ran").trimmed(), QFile::encodeName(dir.file("b.app/Contents/MacOS")));
}
