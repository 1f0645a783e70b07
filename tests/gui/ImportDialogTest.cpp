// The import dialog driven through its controls: documents of each kind
// imported into pages, bad input, cancelling, the keyboard and drops. (The
// messages themselves: the import's and the converter's tests.)
#include "../import/PdfFixtures.h"
#include "DialogDriver.h"
#include "app/AppSettings.h"
#include "gui/import/ImportWindowDelegate.h"
#include "import/FlashPageSourcePDF.h"
#include "import/PdfDocument.h"
#include "import/text/TextToPdf.h"
#include "util/Log.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace quire;
using namespace quire::test;

namespace {

struct FakeDesktop : ImportWindowServices {
    std::optional<QString> chosen;
    QStringList opened;
    std::optional<QString> chooseDocument(const QString&, QWidget*) override { return chosen; }
    bool openWithDefaultApplication(const QString& path) override { return (opened << path, true); }
};

// The six choices of an import, as stored in the settings or set in the controls.
struct Choices {
    QString file;
    int rangeType = 0;
    QString range = {};
    int quality = 0;
    bool bookmarks = false, links = false;
};

// The dialog as the main window opens it, after the settings were c.
struct Dialog : ImportWindowDelegate, DialogDriver {
    FakeDesktop* desktop;
    explicit Dialog(const Choices& c = {}, FakeDesktop* services = new FakeDesktop)
        : ImportWindowDelegate((store(c), nullptr), std::unique_ptr<ImportWindowServices>(services)),
          DialogDriver(this), desktop(services)
    {
        openModal();
    }
    static void store(const Choices& c)
    {
        AppSettings& s = AppSettings::shareInstance();
        s.setLastImportedFile(c.file);
        s.setImportPageRangeType(c.rangeType);
        s.setImportPageRange(c.range);
        s.setImportQualityLevel(c.quality);
        s.setImportBookmark(c.bookmarks);
        s.setImportLinks(c.links);
    }
    void choose(const Choices& c)
    {
        type("txtFilePath", c.file);
        click(c.rangeType == 1 ? "pageRangeSome" : "pageRangeAll");
        type("txtPageRange", c.range);
        get<QComboBox>("importQuality")->setCurrentIndex(c.quality);
        get<QCheckBox>("btnImportBookMark")->setChecked(c.bookmarks);
        get<QCheckBox>("btnImportLinks")->setChecked(c.links);
    }
    QString info() { return get<QLabel>("lblInfo")->text(); }
    bool idle() { return get<QPushButton>("btnOK")->isEnabled() && get<QProgressBar>("prgBar")->isHidden(); }
    // Until the import ended: the dialog finished, or it is ready again.
    bool waitForEnd() { return QTest::qWaitFor([&] { return !ends.isEmpty() || idle(); }, 60000); }
};

QByteArray lines(int count)
{
    return QByteArray("A line of a plain text that runs over several pages.\n").repeated(count);
}

} // namespace

TEST(ImportDialog, SetsUpFromTheSettingsEnablesTheRangeByItsChoiceAndEscapeClosesIt)
{
    const struct {
        Choices stored;
        int checkedId, qualityIndex;
    } cases[] = {
        {{"/docs/a.rtf", 1, "2-4", 3, true, false}, 1, 3},
        {{"", 0, "7", 0, false, true}, 0, 0},
        // Choices the controls lack fall back to all pages and the best quality.
        {{"b.txt", 5, "", 9, false, false}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.file.toStdString());
        Dialog d(c.stored);
        EXPECT_EQ(d.text("txtFilePath") + "|" + d.text("txtPageRange"), c.stored.file + "|" + c.stored.range);
        EXPECT_EQ(d.get<QButtonGroup>("pageRangeType")->checkedId(), c.checkedId);
        EXPECT_EQ(d.get<QComboBox>("importQuality")->currentIndex(), c.qualityIndex);
        EXPECT_EQ(d.get<QCheckBox>("btnImportBookMark")->isChecked(), c.stored.bookmarks);
        EXPECT_EQ(d.get<QCheckBox>("btnImportLinks")->isChecked(), c.stored.links);
        EXPECT_EQ(d.get("txtPageRange")->isEnabled(), c.checkedId == 1);
        d.click(c.checkedId == 1 ? "pageRangeAll" : "pageRangeSome");
        EXPECT_EQ(d.get("txtPageRange")->isEnabled(), c.checkedId == 0);
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_EQ(d.endCode(), 0);
        EXPECT_FALSE(d.isVisible() || d.flashPageSource());
    }
}

TEST(ImportDialog, ImportsEachKindOfDocumentIntoPages)
{
    TempDir dir;
    writeFile(dir.file("report.TXT"), lines(120));
    const QString rtf = sourceDir() + "/tests/import/text/samples/features.rtf"; // two pages, with pictures
    const struct {
        Choices choices;
        int pages;     // 0: as many as the printed PDF has, more than one
        int firstPage; // page number of the first page
        int jpegQuality;
        QSize size;
    } cases[] = {
        {{dir.file("report.TXT"), 0, "", 1}, 0, 1, 85, {648, 468}},
        {{rtf, 1, "2", 4}, 1, 2, 25, {648, 468}},
        {{pdfFixture("plain.pdf"), 1, "2-4", 3}, 3, 2, 45, {612, 792}},
        // The all-pages choice ignores the range field.
        {{pdfFixture("outline.pdf"), 0, "2-4", 2, true, true}, 10, 1, 65, {612, 792}},
        // The first page as shown: cropped, then turned a quarter.
        {{pdfFixture("oddities.pdf"), 0, "", 0, false, true}, 2, 1, 100, {780, 600}},
    };
    for (const auto& [choices, count, firstPage, jpegQuality, size] : cases) {
        SCOPED_TRACE(choices.file.toStdString());
        QtWarnings warnings; // pictures drawn off the window's thread, say
        Dialog d(Choices{"elsewhere.pdf"});
        d.choose(choices);
        d.click("btnOK");
        EXPECT_FALSE(d.get<QPushButton>("btnOK")->isEnabled());
        ASSERT_TRUE(d.waitForEnd());
        ASSERT_EQ(d.endCode(), 1) << d.info().toStdString();
        const auto source = std::dynamic_pointer_cast<FlashPageSourcePDF>(d.flashPageSource());
        ASSERT_TRUE(source);
        // The PDF read is shown: the source itself, or the printed "quire.pdf".
        const QString pdf = d.text("txtImportFile");
        EXPECT_EQ(pdf, choices.file.endsWith(".pdf") ? choices.file : TextToPdf::quireFolder() + "/quire.pdf");
        const int pages = count ? count : pdf::PdfDocument::open(pdf)->pageCount();
        EXPECT_GT(pages, count ? 0 : 1);
        ASSERT_EQ(int(source->normalPages().size()), pages);
        EXPECT_EQ(source->pages().front()->pageIndex(), firstPage);
        EXPECT_TRUE(QFileInfo(*source->pages().back()->pageFilePath()).isFile());
        EXPECT_EQ(std::tuple(source->quality(), QSize(d.pageWidth(), d.pageHeight()), bool(d.flashOutline()),
                             bool(d.flashPagesAnnotations())),
                  std::tuple(jpegQuality, size, choices.bookmarks, choices.links));
        // Progress counted the pages, on a bar that knew how many.
        EXPECT_EQ(std::pair(d.info(), d.get<QProgressBar>("prgBar")->maximum()),
                  std::pair(QStringLiteral("Importing:%1/%1").arg(pages), pages));
        EXPECT_TRUE(warnings.messages().isEmpty()) << warnings.messages().join('\n').toStdString();
        // The choices were saved before the import started.
        AppSettings saved;
        EXPECT_EQ(QVariantList({saved.lastImportedFile(), saved.importPageRangeType(), saved.importPageRange(),
                                saved.importQualityLevel(), saved.importBookmark(), saved.importLinks()}),
                  QVariantList({choices.file, choices.rangeType, choices.rangeType == 1 ? choices.range : "",
                                choices.quality, int(choices.bookmarks), int(choices.links)}));
    }
}

TEST(ImportDialog, BadInputShowsItsMessageAndLeavesTheControlsReady)
{
    TempDir dir;
    QDir().mkpath(dir.file("folder.pdf"));
    const std::pair<Choices, QString> cases[] = {
        {{dir.file("missing.txt")}, "Import file does not exist."},
        {{""}, "Import file does not exist."},
        {{dir.file("folder.pdf")}, "folder.pdf: not a readable file"},
        {{pdfFixture("plain.pdf"), 1, "200"}, "plain.pdf: Page 200 is not in the document (10 pages)"},
        {{pdfFixture("plain.pdf"), 1, "two"}, "plain.pdf: Page 0 is not in the document"},
    };
    for (const auto& [choices, words] : cases) {
        SCOPED_TRACE(words.toStdString());
        Dialog d;
        d.choose(choices);
        d.click("btnOK");
        ASSERT_TRUE(d.waitForEnd());
        EXPECT_TRUE(d.ends.isEmpty() && d.isVisible() && !d.flashPageSource());
        EXPECT_TRUE(d.info().contains(words)) << d.info().toStdString();
        EXPECT_TRUE(!d.get<QLabel>("lblInfo")->isHidden() && d.get<QComboBox>("importQuality")->isEnabled());
        EXPECT_EQ(d.get("txtPageRange")->isEnabled(), choices.rangeType == 1);
    }
}

// A cancelled import's late end leaves the window as the user left it.
TEST(ImportDialog, CancelWhileImportingStaysOpenAndTheNextImportIsTheOneThatCounts)
{
    log::Capture log(log::Level::Warn);
    TempDir dir;
    writeFile(dir.file("long.txt"), lines(3000));
    Dialog d;
    d.type("txtFilePath", dir.file("long.txt"));
    d.click("btnOK");
    EXPECT_EQ(d.info(), "Initialization the file, please wait a Minute...");
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.info().startsWith("Importing:"); }, 60000));
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(d.idle() && d.isVisible());
    d.type("txtFilePath", "missing.txt");
    d.click("btnOK");
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.contains("import files failed..."); }, 60000));
    EXPECT_TRUE(d.idle() && d.ends.isEmpty() && !d.flashPageSource());
    EXPECT_EQ(d.info(), "Import file does not exist.");

    // Cancelled with the button and started again at once.
    d.type("txtFilePath", pdfFixture("oddities.pdf"));
    d.click("btnOK");
    d.click("btnCancel");
    d.click("btnOK");
    ASSERT_TRUE(d.waitForEnd());
    ASSERT_EQ(d.endCode(), 1) << d.info().toStdString();
    QTest::qWait(300);
    EXPECT_EQ(d.ends.size(), 1);
    EXPECT_EQ(d.flashPageSource()->sourceFile(), pdfFixture("oddities.pdf"));
    EXPECT_EQ(d.pageWidth(), 780);
}

TEST(ImportDialog, KeyboardAloneReachesEveryControlAndEnterImports)
{
    Dialog d(Choices{pdfFixture("plain.pdf"), 1, "1"});
    d.get("txtFilePath")->setFocus();
    // The radio buttons are one stop: the arrow keys choose between them.
    EXPECT_EQ(d.tabOrder(10), QStringList({"txtFilePath", "btnBrowse", "txtImportFile", "btnOpenFile", "pageRangeAll",
                                           "txtPageRange", "importQuality", "btnImportBookMark", "btnImportLinks",
                                           "btnCancel", "btnOK"}));
    QTest::keyClick(d.get("txtPageRange"), Qt::Key_Return);
    ASSERT_TRUE(d.waitForEnd());
    EXPECT_EQ(d.endCode(), 1);
    EXPECT_EQ(d.flashPageSource()->pages().size(), 1u);
}

TEST(ImportDialog, BrowseDropAndOpenFillAndShowTheFiles)
{
    TempDir dir;
    Dialog d(Choices{"first.txt"});
    d.click("btnBrowse"); // a cancelled chooser changes nothing
    EXPECT_EQ(d.text("txtFilePath"), "first.txt");
    d.desktop->chosen = dir.file("chosen.rtf");
    d.click("btnBrowse");
    EXPECT_EQ(d.text("txtFilePath"), dir.file("chosen.rtf"));

    // A dropped document fills the field (which drops are taken: MainWindowTest).
    EXPECT_TRUE(dropUrls(&d, {QUrl::fromLocalFile(dir.file("two.txt"))}));
    EXPECT_EQ(d.text("txtFilePath"), dir.file("two.txt"));

    // Opening: nothing before an import, then the PDF it read.
    d.click("btnOpenFile");
    EXPECT_TRUE(d.desktop->opened.isEmpty() && !d.get<QLabel>("lblInfo")->isHidden());
    d.choose({pdfFixture("plain.pdf"), 1, "99"});
    d.click("btnOK");
    ASSERT_TRUE(d.waitForEnd());
    d.click("btnOpenFile");
    EXPECT_EQ(d.desktop->opened, QStringList{pdfFixture("plain.pdf")});
}
