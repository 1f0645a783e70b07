// The publish dialog driven through its controls, with a desktop that
// answers the chooser and the alerts in place of the user.
#include "DialogDriver.h"
#include "app/AppSettings.h"
#include "gui/publish/OutputWindowDelegate.h"
#include "publish/PublishFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <vector>

using namespace quire;
using namespace quire::test;

namespace {

// What the user answers, and what the dialog asked.
struct Desk : PublishDesktop {
    std::optional<QString> chosenFolder, chooserStart;
    bool openIt = true;
    int asked = 0;
    QStringList errors, opened; // the details of each error alert; what was opened

    std::optional<QString> chooseFolder(const QString& start, QWidget*) override
    {
        return chooserStart = start, chosenFolder;
    }
    bool askToOpenResult(QWidget*) override { return ++asked, openIt; }
    void showError(const QString&, const QString& details, QWidget*) override { errors << details; }
    bool open(const QString& path) override { return opened << path, true; }
};

// The four choices the dialog keeps in the settings: folder, name, title, kind.
using Choices = std::tuple<QString, QString, QString, int>;

Choices stored()
{
    AppSettings fresh; // reads what was saved
    return {fresh.lastOutputFileFolder(), fresh.lastOutputFileName(), fresh.lastOutputFileTitle(), fresh.outputType()};
}

// The dialog as the main window opens it, after the settings were c.
struct Dialog : OutputWindowDelegate, DialogDriver {
    Desk* desk;
    QSignalSpy ended{this, &OutputWindowDelegate::publishDidEnd};
    Dialog(const Choices& c, const std::shared_ptr<FlashTemplate>& tmpl, const std::shared_ptr<FlashPageSource>& pages,
           Desk* answers = new Desk)
        : OutputWindowDelegate((store(c), nullptr), std::unique_ptr<PublishDesktop>(answers)), DialogDriver(this),
          desk(answers)
    {
        setFlashTmpl(tmpl);
        setFlashPageSource(pages);
        openModal();
    }
    static void store(const Choices& c)
    {
        AppSettings& s = AppSettings::shareInstance();
        s.setLastOutputFileFolder(std::get<0>(c));
        s.setLastOutputFileName(std::get<1>(c));
        s.setLastOutputFileTitle(std::get<2>(c));
        s.setOutputType(std::get<3>(c));
        s.saveSettings();
    }
    // Waits until the publish has ended and its alerts are answered.
    bool waitForPublish() { return QTest::qWaitFor([&] { return !ended.isEmpty(); }, 60000); }
};

class PublishDialog : public PublishFixture {
protected:
    void SetUp() override
    {
        PublishFixture::SetUp();
        writeFile(res("AppFiles/TmplData/mac.app/Contents/Info.plist"), "plist");
        tmpl = makeTemplate("");
        pages = makePages(3);
    }
    std::unique_ptr<Dialog> open(const Choices& c) { return std::make_unique<Dialog>(c, tmpl, pages); }

    std::shared_ptr<FlashTemplate> tmpl;
    std::shared_ptr<FlashPageSourceImg> pages;
};

} // namespace

TEST_F(PublishDialog, PublishesEachKindStoresTheChoicesAndOffersToOpenIt)
{
    const struct {
        const char* kind;
        QString folder; // relative to the test folder; made when missing
        QString name;
        bool openIt;
        QString result, page;
    } cases[] = {
        {"rbWebFolder", "shelf", "mybook", true, "shelf/mybook.html", "shelf/mybook.html"},
        {"rbWebFolder", "shelf", "mybook.html", false, "shelf/mybook.html.html", "shelf/mybook.html.html"},
        {"rbDesktopApplication", "deep/er", "mybook", true, "deep/er/mybook.app",
         "deep/er/mybook.app/Contents/Resources/index.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result.toStdString());
        const auto d = open({"/elsewhere", "old", "Old title", 0});
        d->desk->openIt = c.openIt;
        d->type("txtOutputFolder", dir.file(c.folder));
        d->type("txtOutputName", c.name);
        d->type("txtTitle", "Tides & Times");
        d->click(c.kind);
        d->click("btnPublish");
        ASSERT_TRUE(d->waitForPublish());
        EXPECT_EQ(std::tuple(d->ends.size(), d->endCode(), d->desk->errors.join('\n'), d->desk->asked),
                  std::tuple(1, 1, QString(), 1));
        EXPECT_EQ(d->desk->opened, c.openIt ? QStringList{dir.file(c.result)} : QStringList{});
        EXPECT_TRUE(readFile(dir.file(c.page)).contains("<title>Tides &amp; Times</title>"));
        EXPECT_TRUE(QFileInfo(QFileInfo(dir.file(c.page)).absolutePath() + "/files/book.bin").isFile());
        EXPECT_EQ(stored(), Choices(dir.file(c.folder), c.name, "Tides & Times", QByteArray(c.kind) != "rbWebFolder"));
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
        const auto d = open(c.choices);
        d->setFlashTmpl(c.withoutPage ? pageless : tmpl);
        Dialog::store({"/before", "before", "before", 0});
        publish::setMomentHook(c.hook);
        d->key(Qt::Key_Return);
        const bool ended = d->waitForPublish();
        publish::setMomentHook(nullptr);
        ASSERT_TRUE(ended);
        ASSERT_EQ(d->desk->errors.size(), 1);
        EXPECT_TRUE(d->desk->errors[0].startsWith(c.words)) << d->desk->errors[0].toStdString();
        EXPECT_TRUE(!d->desk->asked && d->ends.isEmpty() && d->isVisible());
        EXPECT_TRUE(d->get<QPushButton>("btnPublish")->isEnabled());
        EXPECT_EQ(stored(), c.choices);
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
        bool escape; // else the Cancel button
    } cases[] = {{1, "rbDesktopApplication", true}, {0, "rbWebFolder", false}, {7, "rbWebFolder", true}};
    for (const auto& c : cases) {
        const Choices before{dir.file("shelf"), "kept", "Kept title", c.storedType};
        const auto d = open(before);
        EXPECT_EQ(QStringList({d->text("txtOutputFolder"), d->text("txtOutputName"), d->text("txtTitle")}),
                  QStringList({dir.file("shelf"), "kept", "Kept title"}));
        EXPECT_TRUE(d->get<QRadioButton>(c.checked)->isChecked());
        d->type("txtOutputName", "changed");
        d->click(c.storedType == 1 ? "rbWebFolder" : "rbDesktopApplication");
        c.escape ? d->key(Qt::Key_Escape) : d->click("btnCancel");
        EXPECT_EQ(d->endCode(), 0);
        EXPECT_EQ(stored(), before);
        EXPECT_FALSE(QFileInfo::exists(dir.file("shelf")));
    }
}

TEST_F(PublishDialog, TheChooserFillsTheFolderAndCancellingKeepsIt)
{
    const auto d = open({"/start/here", "b", "T", 0});
    d->desk->chosenFolder = dir.file("picked");
    d->click("btnSelectFolder");
    EXPECT_EQ(d->desk->chooserStart, "/start/here");
    EXPECT_EQ(d->text("txtOutputFolder"), dir.file("picked"));
    d->desk->chosenFolder.reset();
    d->click("btnSelectFolder");
    EXPECT_EQ(d->text("txtOutputFolder"), dir.file("picked"));
    // The open-folder button shows an existing folder, and says when there is none.
    d->click("btnOpenFolder");
    EXPECT_EQ(d->desk->errors.size(), 1);
    d->type("txtOutputFolder", dir.path());
    d->click("btnOpenFolder");
    EXPECT_EQ(d->desk->opened, QStringList{dir.path()});
}

// The system desktop starts a published bundle's launcher.
TEST_F(PublishDialog, OpeningABundleStartsItsLauncher)
{
    const QString launcher = dir.file("b.app/Contents/MacOS/launch");
    writeFile(launcher, "#!/bin/sh\npwd > \"$0.ran\"\n");
    QFile::setPermissions(launcher, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(SystemPublishDesktop().open(dir.file("b.app")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(launcher + ".ran").size() > 0; }, 20000));
    EXPECT_EQ(readFile(launcher + ".ran").trimmed(), QFile::encodeName(dir.file("b.app/Contents/MacOS")));
}
