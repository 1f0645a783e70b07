// The import dialog driven through its controls: documents of each kind
// imported into pages, bad input, cancelling, the keyboard and drops.
#include "../import/PdfFixtures.h"
#include "QtPrinting.h"
#include "app/AppSettings.h"
#include "gui/import/ImportWindowDelegate.h"
#include "import/FlashPageSourcePDF.h"
#include "import/PdfDocument.h"
#include "import/text/TextToPdf.h"
#include "support/TestEnv.h"
#include "util/Log.h"

#include <QApplication>
#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using namespace quire;
using quire::test::pdfFixture;
using quire::test::TempDir;
using quire::test::writeFile;

namespace {

constexpr int kImportTimeout = 60000;

struct FakeDesktop : ImportWindowServices {
    std::optional<QString> chosen;
    QStringList opened;
    std::optional<QString> chooseDocument(const QString&, QWidget*) override { return chosen; }
    bool openWithDefaultApplication(const QString& path) override { return (opened << path, true); }
};

// The settings the dialog starts from: the six choices of the import.
struct Choices {
    QString file;
    int rangeType = 0;
    QString range;
    int quality = 0;
    bool bookmarks = false;
    bool links = false;

    void store() const
    {
        AppSettings& s = AppSettings::shareInstance();
        s.setLastImportedFile(file);
        s.setImportPageRangeType(rangeType);
        s.setImportPageRange(range);
        s.setImportQualityLevel(quality);
        s.setImportBookmark(bookmarks);
        s.setImportLinks(links);
    }
};

struct Dialog {
    FakeDesktop* desktop = new FakeDesktop;
    ImportWindowDelegate dialog;
    QSignalSpy finished{&dialog, &QDialog::finished};

    explicit Dialog(const Choices& choices = {})
        : dialog((choices.store(), nullptr), std::unique_ptr<ImportWindowServices>(desktop))
    {
        dialog.open();
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    template <typename T>
    T* get(const char* name)
    {
        T* w = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    QLineEdit* field(const char* name) { return get<QLineEdit>(name); }
    void type(const char* name, const QString& text)
    {
        field(name)->clear();
        QTest::keyClicks(field(name), text);
    }
    void click(const char* name) { QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton); }
    void chooseRange(int id) { click(id == 1 ? "pageRangeSome" : "pageRangeAll"); }
    QString info() { return get<QLabel>("lblInfo")->text(); }
    bool idle() { return get<QPushButton>("btnOK")->isEnabled() && get<QProgressBar>("prgBar")->isHidden(); }
    // Until the import ended: the dialog finished, or it is ready again.
    bool waitForEnd() { return QTest::qWaitFor([&] { return !finished.isEmpty() || idle(); }, kImportTimeout); }
    int result() { return finished.isEmpty() ? -1 : finished.constFirst().constFirst().toInt(); }
};

QString rtfPicture()
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("{\\pict\\pngblip\\picw20\\pich10\\picwgoal300\\pichgoal150 %1}")
        .arg(QString::fromLatin1(png.toHex()));
}

void writeLines(const QString& path, int count)
{
    QString lines;
    for (int i = 1; i <= count; ++i)
        lines += QStringLiteral("Line %1 of a plain text that runs over several pages.\n").arg(i);
    writeFile(path, lines.toUtf8());
}

// Qt's warnings while alive (pixmaps used off the window's thread, say).
struct QtWarnings {
    static inline QStringList seen;
    QtMessageHandler previous;
    QtWarnings()
    {
        seen.clear();
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && type != QtInfoMsg && !text.contains("propagateSizeHints"))
                seen << text;
        });
    }
    ~QtWarnings() { qInstallMessageHandler(previous); }
};

} // namespace

TEST(ImportDialog, SetsUpFromTheSettingsAndEnablesTheRangeByItsChoice)
{
    const struct {
        Choices stored;
        int checkedId;
        int qualityIndex;
    } cases[] = {
        {{"/docs/a.rtf", 1, "2-4", 3, true, false}, 1, 3},
        {{"", 0, "7", 0, false, true}, 0, 0},
        // Choices the controls lack fall back to all pages and the best quality.
        {{"b.txt", 5, "", 9, false, false}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.file.toStdString());
        Dialog d(c.stored);
        EXPECT_EQ(d.field("txtFilePath")->text(), c.stored.file);
        EXPECT_EQ(d.get<QButtonGroup>("pageRangeType")->checkedId(), c.checkedId);
        EXPECT_EQ(d.field("txtPageRange")->text(), c.stored.range);
        EXPECT_EQ(d.get<QComboBox>("importQuality")->currentIndex(), c.qualityIndex);
        EXPECT_EQ(d.get<QCheckBox>("btnImportBookMark")->isChecked(), c.stored.bookmarks);
        EXPECT_EQ(d.get<QCheckBox>("btnImportLinks")->isChecked(), c.stored.links);
        EXPECT_EQ(d.field("txtPageRange")->isEnabled(), c.checkedId == 1);
        d.chooseRange(1 - c.checkedId);
        EXPECT_EQ(d.field("txtPageRange")->isEnabled(), c.checkedId == 0);
    }
}

TEST(ImportDialog, ImportsEachKindOfDocumentIntoPages)
{
    TempDir dir;
    writeLines(dir.file("report.TXT"), 120);
    writeFile(dir.file("three.rtf"), QStringLiteral("{\\rtf1\\ansi First page. %1\\page Second page.\\page Third.\\par}")
                                         .arg(rtfPicture())
                                         .toUtf8());
    const struct {
        QString source;
        int rangeType;
        QString range;
        int quality;
        bool bookmarks, links;
        int pages;      // 0: as many as the printed PDF has, more than one
        int firstPage;  // page number of the first page
        int jpegQuality;
        QSize size;
    } cases[] = {
        {dir.file("report.TXT"), 0, "", 1, false, false, 0, 1, 85, {648, 468}},
        {dir.file("three.rtf"), 1, "2-3", 4, false, false, 2, 2, 25, {648, 468}},
        {pdfFixture("plain.pdf"), 1, "2-4", 3, false, false, 3, 2, 45, {612, 792}},
        // The all-pages choice ignores the range field.
        {pdfFixture("outline.pdf"), 0, "2-4", 2, true, true, 10, 1, 65, {612, 792}},
        // The first page as shown: cropped, then turned a quarter.
        {pdfFixture("oddities.pdf"), 0, "", 0, false, true, 2, 1, 100, {780, 600}},
        {pdfFixture("sizes.pdf"), 1, "1", 0, true, false, 1, 1, 100, {595, 841}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source.toStdString());
        QtWarnings warnings;
        Dialog d(Choices{"elsewhere.pdf"});
        d.type("txtFilePath", c.source);
        d.chooseRange(c.rangeType);
        if (c.rangeType == 1)
            d.type("txtPageRange", c.range);
        d.get<QComboBox>("importQuality")->setCurrentIndex(c.quality);
        d.get<QCheckBox>("btnImportBookMark")->setChecked(c.bookmarks);
        d.get<QCheckBox>("btnImportLinks")->setChecked(c.links);
        d.click("btnOK");
        EXPECT_FALSE(d.get<QPushButton>("btnOK")->isEnabled());
        ASSERT_TRUE(d.waitForEnd());
        ASSERT_EQ(d.result(), 1) << d.info().toStdString();

        const auto source = std::dynamic_pointer_cast<FlashPageSourcePDF>(d.dialog.flashPageSource());
        ASSERT_TRUE(source);
        // The PDF read is shown: the source itself, or the printed "quire.pdf".
        const QString pdf = d.field("txtImportFile")->text();
        EXPECT_EQ(pdf, c.source.endsWith(".pdf") ? c.source : TextToPdf::quireFolder() + "/quire.pdf");
        const int pages = c.pages ? c.pages : pdf::PdfDocument::open(pdf)->pageCount();
        EXPECT_GT(pages, c.pages ? 0 : 1);
        ASSERT_EQ(int(source->normalPages().size()), pages);
        EXPECT_EQ(source->pages().front()->pageIndex(), c.firstPage);
        EXPECT_TRUE(QFileInfo(*source->pages().back()->pageFilePath()).isFile());
        EXPECT_EQ(source->quality(), c.jpegQuality);
        EXPECT_EQ(QSize(d.dialog.pageWidth(), d.dialog.pageHeight()), c.size);
        EXPECT_EQ(bool(d.dialog.flashOutline()), c.bookmarks);
        EXPECT_EQ(bool(d.dialog.flashPagesAnnotations()), c.links);
        // Progress counted the pages, on a bar that knew how many.
        EXPECT_EQ(d.info(), QStringLiteral("Importing:%1/%1").arg(pages));
        EXPECT_EQ(d.get<QProgressBar>("prgBar")->maximum(), pages);
        EXPECT_EQ(d.get<QProgressBar>("prgBar")->value(), pages);
        EXPECT_TRUE(warnings.seen.isEmpty()) << warnings.seen.join('\n').toStdString();

        // The choices were saved before the import started.
        AppSettings saved;
        EXPECT_EQ(QVariantList({saved.lastImportedFile(), saved.importPageRangeType(), saved.importPageRange(),
                                saved.importQualityLevel(), saved.importBookmark(), saved.importLinks()}),
                  QVariantList({c.source, c.rangeType, c.rangeType == 1 ? c.range : "", c.quality, int(c.bookmarks),
                                int(c.links)}));
    }
}

TEST(ImportDialog, BadInputShowsItsMessageAndLeavesTheControlsReady)
{
    TempDir dir;
    writeFile(dir.file("notes.odt"), "x");
    writeFile(dir.file("fake.rtf"), "this is not rtf at all");
    QDir().mkpath(dir.file("folder.pdf"));
    const struct {
        QString source;
        QString range; // empty: all pages
        QString words;
    } cases[] = {
        {dir.file("missing.txt"), "", "Import file does not exist."},
        {"", "", "Import file does not exist."},
        {dir.file("notes.odt"), "", "notes.odt: unknown kind of document \".odt\""},
        {dir.file("folder.pdf"), "", "folder.pdf: not a readable file"},
        {dir.file("fake.rtf"), "", "“fake.rtf” is not an RTF document"},
        {pdfFixture("encrypted.pdf"), "", "password"},
        {pdfFixture("truncated.pdf"), "", "truncated.pdf: "},
        {pdfFixture("plain.pdf"), "200", "plain.pdf: Page 200 is not in the document (10 pages)"},
        {pdfFixture("plain.pdf"), "two", "plain.pdf: Page 0 is not in the document"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source.toStdString());
        Dialog d;
        d.type("txtFilePath", c.source);
        d.chooseRange(c.range.isEmpty() ? 0 : 1);
        d.type("txtPageRange", c.range);
        d.click("btnOK");
        ASSERT_TRUE(d.waitForEnd());
        EXPECT_TRUE(d.finished.isEmpty());
        EXPECT_TRUE(d.dialog.isVisible());
        EXPECT_TRUE(d.info().contains(c.words)) << d.info().toStdString();
        EXPECT_FALSE(d.get<QLabel>("lblInfo")->isHidden());
        EXPECT_TRUE(d.get<QComboBox>("importQuality")->isEnabled());
        EXPECT_EQ(d.field("txtPageRange")->isEnabled(), !c.range.isEmpty());
        EXPECT_FALSE(d.dialog.flashPageSource());
    }
}

TEST(ImportDialog, CancelWhileImportingStaysOpenAndTheNextImportIsTheOneThatCounts)
{
    TempDir dir;
    writeLines(dir.file("long.txt"), 3000);

    Dialog d;
    d.type("txtFilePath", dir.file("long.txt"));
    d.click("btnOK");
    EXPECT_EQ(d.info(), "Initialization the file, please wait a Minute...");
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.info().startsWith("Importing:"); }, kImportTimeout));
    QTest::keyClick(&d.dialog, Qt::Key_Escape);
    EXPECT_TRUE(d.idle());
    EXPECT_TRUE(d.dialog.isVisible());

    // A second import at once; the first one's late end changes nothing.
    d.type("txtFilePath", pdfFixture("oddities.pdf"));
    d.click("btnOK");
    ASSERT_TRUE(d.waitForEnd());
    ASSERT_EQ(d.result(), 1) << d.info().toStdString();
    QTest::qWait(300);
    EXPECT_EQ(d.finished.size(), 1);
    EXPECT_EQ(d.dialog.flashPageSource()->sourceFile(), pdfFixture("oddities.pdf"));
    EXPECT_EQ(d.dialog.pageWidth(), 780);
}

TEST(ImportDialog, CancelledImportEndsIdleAndCancelWhenIdleCloses)
{
    log::Capture log(log::Level::Warn);
    Dialog d(Choices{pdfFixture("plain.pdf")});
    d.click("btnOK");
    d.click("btnCancel");
    // What the window shows after the cancel stays when the import ends.
    d.type("txtFilePath", "missing.txt");
    d.click("btnOK");
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.contains("import files failed..."); }, kImportTimeout));
    EXPECT_TRUE(d.idle());
    EXPECT_EQ(d.info(), "Import file does not exist.");
    EXPECT_FALSE(d.get<QLabel>("lblInfo")->isHidden());
    EXPECT_TRUE(d.finished.isEmpty());
    EXPECT_FALSE(d.dialog.flashPageSource());
    // Now idle: Escape closes the dialog with nothing.
    QTest::keyClick(&d.dialog, Qt::Key_Escape);
    EXPECT_EQ(d.result(), 0);
    EXPECT_FALSE(d.dialog.isVisible());
}

TEST(ImportDialog, KeyboardAloneReachesEveryControlAndEnterImports)
{
    Dialog d(Choices{pdfFixture("plain.pdf"), 1, "1"});
    d.field("txtFilePath")->setFocus();
    QStringList order;
    for (int i = 0; i < 11; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // The radio buttons are one stop: the arrow keys choose between them.
    EXPECT_EQ(order, QStringList({"txtFilePath", "btnBrowse", "txtImportFile", "btnOpenFile", "pageRangeAll",
                                  "txtPageRange", "importQuality", "btnImportBookMark", "btnImportLinks", "btnCancel",
                                  "btnOK"}));
    QTest::keyClick(d.field("txtPageRange"), Qt::Key_Return);
    ASSERT_TRUE(d.waitForEnd());
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(d.dialog.flashPageSource()->pages().size(), 1u);
}

TEST(ImportDialog, BrowseDropAndOpenFillAndShowTheFiles)
{
    TempDir dir;
    Dialog d(Choices{"first.txt"});
    // Browsing: a cancelled chooser changes nothing.
    d.click("btnBrowse");
    EXPECT_EQ(d.field("txtFilePath")->text(), "first.txt");
    d.desktop->chosen = dir.file("chosen.rtf");
    d.click("btnBrowse");
    EXPECT_EQ(d.field("txtFilePath")->text(), dir.file("chosen.rtf"));

    // Dropping: documents of the three kinds, nothing else.
    for (const QString name : {"notes.odt", "Dropped.PDF", "two.txt"}) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dir.file(name))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&d.dialog, &enter);
        EXPECT_EQ(enter.isAccepted(), !name.endsWith(".odt")) << name.toStdString();
        if (!enter.isAccepted())
            continue;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&d.dialog, &drop);
    }
    EXPECT_EQ(d.field("txtFilePath")->text(), dir.file("two.txt"));

    // Opening: nothing before an import, then the PDF it read.
    d.click("btnOpenFile");
    EXPECT_TRUE(d.desktop->opened.isEmpty());
    EXPECT_FALSE(d.get<QLabel>("lblInfo")->isHidden());
    d.type("txtFilePath", pdfFixture("plain.pdf"));
    d.chooseRange(1);
    d.type("txtPageRange", "99");
    d.click("btnOK");
    ASSERT_TRUE(d.waitForEnd());
    d.click("btnOpenFile");
    EXPECT_EQ(d.desktop->opened, QStringList{pdfFixture("plain.pdf")});
}
