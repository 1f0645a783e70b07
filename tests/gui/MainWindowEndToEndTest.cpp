// The application as a user meets it: the real window with its real preview
// driven through its actions and dialogs, from the demonstration book to a
// published one. The book is published into $QUIRE_APP_BOOK when set (the
// browser test that reads it next), else into a temporary folder.
#include "../import/PdfFixtures.h"
#include "MainWindowFixture.h"
#include "gui/app/SelectTemplateWindowDelegate.h"
#include "gui/import/ImportWindowDelegate.h"
#include "gui/publish/OutputWindowDelegate.h"
#include "util/Resources.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QToolButton>

using namespace quire;
using namespace quire::test;

namespace {

int demoPageCount()
{
    return QDir(resourcePath("DemoImgs")).entryList({"*.jpg"}, QDir::Files).size();
}

} // namespace

TEST(MainWindowEndToEnd, FromTheDemonstrationBookToAPublishedOne)
{
    TempDir dir;
    AppWindow w(dir.file("trust"));

    // Start-up: the demonstration book's first page in the preview.
    ASSERT_TRUE(w.rebuilds([&] { w.window->applicationDidFinishLaunching(); }));
    QVariantMap reader = w.reader();
    EXPECT_EQ(reader.value("spread").toString() + " " + reader.value("firstPage").toString(), "1 1");
    EXPECT_EQ(reader.value("status").toString(), QString("Page 1 of %1").arg(demoPageCount()));
    EXPECT_EQ(w.get<QToolButton>("btnFloat")->text(), "Float");
    const QString previewFolder = w.app().flashPreviewFolder();

    // A PDF with bookmarks dropped on the window and imported.
    const QString pdf = pdfFixture("outline.pdf");
    ImportWindowDelegate* import = w.window->importWindow();
    ASSERT_TRUE(dropUrls(w.window.get(), {QUrl::fromLocalFile(pdf)}));
    ASSERT_TRUE(import->isVisible());
    QApplication::setActiveWindow(import);
    ASSERT_TRUE(QTest::qWaitForWindowActive(import));
    auto* bookmarks = import->findChild<QCheckBox*>("btnImportBookMark");
    if (!bookmarks->isChecked())
        QTest::mouseClick(bookmarks, Qt::LeftButton, {}, QPoint(8, bookmarks->height() / 2));
    ASSERT_TRUE(bookmarks->isChecked());
    ASSERT_TRUE(w.rebuilds([&] { QTest::mouseClick(import->findChild<QPushButton*>("btnOK"), Qt::LeftButton); }));
    EXPECT_FALSE(import->isVisible());
    EXPECT_EQ(w.value("pageWidth") + " x " + w.value("pageHeight"), "612 x 792");
    EXPECT_TRUE(w.app().flashOutline());
    EXPECT_EQ(w.reader().value("status").toString(), "Page 1 of 10");
    EXPECT_TRUE(w.window->windowTitle().startsWith("outline.pdf")) << w.window->windowTitle().toStdString();

    // A colour picked and the hard cover switched on through the editor;
    // Apply shows both.
    QAction* apply = w.get<QAction>("toolBarItemApplyChange");
    const int tag = apply->data().toInt();
    w.editor()->setFocus();
    w.values->color = QColor(255, 0, 0);
    w.select("backgroundColor");
    QTest::keyClick(w.editor(), Qt::Key_Space);
    EXPECT_EQ(w.value("backgroundColor"), "0xff0000");
    w.select("isHardCover");
    QTest::keyClick(w.editor(), Qt::Key_Space);
    EXPECT_EQ(w.value("isHardCover"), "YES");
    EXPECT_TRUE(QTest::qWaitFor([&] { return apply->data().toInt() != tag; }, 3000));
    // Only the book is loaded again: the page stays, with what was set in it.
    w.evaluate("window.quireSamePage = true");
    ASSERT_TRUE(w.rebuilds([&] { w.key(Qt::Key_R, Qt::ControlModifier); }));
    EXPECT_TRUE(w.evaluate("window.quireSamePage === true").toBool());
    reader = w.reader();
    EXPECT_EQ(reader.value("background").toString(), "#ff0000");
    EXPECT_GT(reader.value("hardPages").toInt(), 0);

    // The reader sent to page 3 by its address stays there across a rebuild.
    // (One page at a time in a narrow view, two side by side in a wide one.)
    const auto onPage3 = [&] { return QStringList({"3", "2-3"}).contains(w.reader().value("spread").toString()); };
    w.view()->page()->runJavaScript("location.hash = '#page=3'");
    EXPECT_TRUE(QTest::qWaitFor([&] { return onPage3() && w.view()->shownPage() == 3; }, 10000));
    ASSERT_TRUE(w.rebuilds([&] { w.key(Qt::Key_F5); }));
    EXPECT_TRUE(onPage3());

    // Template "classic", its second style, through the chooser.
    SelectTemplateWindowDelegate* chooser = w.window->selecteTmplWindow();
    QTest::mouseClick(w.get<QToolButton>("btnFloat"), Qt::LeftButton);
    ASSERT_TRUE(chooser->isVisible());
    QApplication::setActiveWindow(chooser);
    ASSERT_TRUE(QTest::qWaitForWindowActive(chooser));
    auto* templates = chooser->findChild<QListView*>("iTableViewTmpls");
    int classic = -1;
    for (int row = 0; row < templates->model()->rowCount(); ++row)
        if (QFileInfo(chooser->iTmplListData().at(row)).fileName() == "classic")
            classic = row;
    ASSERT_GE(classic, 0);
    clickRow(templates, classic);
    clickRow(chooser->findChild<QListView*>("iImgBrowserView"), 1);
    ASSERT_TRUE(w.rebuilds([&] { QTest::mouseClick(chooser->findChild<QPushButton*>("btnOK"), Qt::LeftButton); }));
    EXPECT_EQ(w.get<QToolButton>("btnFloat")->text(), "Classic");
    EXPECT_EQ(w.reader().value("theme").toString(), "classic");
    EXPECT_EQ(w.value("pageWidth"), "612");

    // Settings exported, changed, and imported back.
    w.model()->setData(w.model()->indexOf(w.app().flashTmpl()->findProperty("backgroundColor"), 1), "0x336699");
    w.desktop->savePath = dir.file("look");
    w.get<QAction>("actionExportSettings")->trigger();
    w.model()->setData(w.model()->indexOf(w.app().flashTmpl()->findProperty("backgroundColor"), 1), "0x000000");
    w.desktop->settingsFiles = QStringList{dir.file("look.txt")};
    ASSERT_TRUE(w.rebuilds([&] { w.get<QAction>("actionImportSettings")->trigger(); }));
    EXPECT_EQ(w.value("backgroundColor"), "0x336699");
    EXPECT_EQ(w.reader().value("background").toString(), "#336699");
    EXPECT_TRUE(w.desktop->messages.isEmpty()) << w.desktop->messages.join("\n").toStdString();

    // Published as a web folder.
    const QString out = qEnvironmentVariableIsSet("QUIRE_APP_BOOK") ? qEnvironmentVariable("QUIRE_APP_BOOK")
                                                                     : dir.file("published");
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    OutputWindowDelegate* publish = w.window->ouputWindow();
    w.publish->folder = out;
    w.key(Qt::Key_E, Qt::ControlModifier);
    ASSERT_TRUE(publish->isVisible());
    QApplication::setActiveWindow(publish);
    ASSERT_TRUE(QTest::qWaitForWindowActive(publish));
    QTest::mouseClick(publish->findChild<QPushButton*>("btnSelectFolder"), Qt::LeftButton);
    publish->findChild<QLineEdit*>("txtOutputName")->setText("book");
    publish->findChild<QLineEdit*>("txtTitle")->setText("Outline Book");
    auto* webFolder = publish->findChild<QAbstractButton*>("rbWebFolder");
    QTest::mouseClick(webFolder, Qt::LeftButton, {}, QPoint(8, webFolder->height() / 2));
    EXPECT_TRUE(webFolder->isChecked());
    QSignalSpy published(publish, &OutputWindowDelegate::publishDidEnd);
    QTest::mouseClick(publish->findChild<QPushButton*>("btnPublish"), Qt::LeftButton);
    ASSERT_TRUE(published.wait(60000));
    EXPECT_TRUE(published.first().first().toBool()) << w.publish->errors.join("\n").toStdString();
    EXPECT_TRUE(QFileInfo::exists(out + "/book.html"));
    // What the browser test expects to find in the book.
    const QJsonObject expected{{"page", "book.html"}, {"title", "Outline Book"}, {"pages", 10},
                               {"background", "#336699"}, {"theme", "classic"}};
    writeFile(out + "/expected.json", QJsonDocument(expected).toJson());

    // Quitting removes the preview.
    w.key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.window->isVisible(); }, 5000));
    w.window.reset();
    EXPECT_FALSE(QFileInfo::exists(previewFolder));
}
