// The template chooser driven through its controls, over small catalogues
// built in temporary folders and over the shipped one.
#include "gui/app/SelectTemplateWindowDelegate.h"
#include "gui/app/SelectTemplateModels.h"
#include "gui/app/SelectTmplItemCell.h"
#include "support/TestEnv.h"
#include "util/Resources.h"

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using quire::SelectTemplateWindowDelegate;

namespace {

// A resource folder holding only the templates and styles a test adds.
struct Catalogue {
    quire::test::TempDir dir;
    Catalogue() { quire::setResourceFolder(dir.path()); }
    ~Catalogue() { quire::setResourceFolder(QString()); }

    // A folder below "AppFiles", with a solid picture of the given name and size
    // unless the name is empty; returns the picture's path.
    QString add(const QString& folder, const QString& picture = {}, QSize size = {}, QColor color = Qt::red)
    {
        QDir().mkpath(dir.file("AppFiles/" + folder));
        const QString path = dir.file("AppFiles/" + folder + "/" + picture);
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        if (!picture.isEmpty())
            image.save(path);
        return path;
    }
    void addTemplate(const QString& name) { add("Templates/" + name, "icon.png", {32, 32}); }
    QString addStyle(const QString& tmpl, const QString& style)
    {
        return add("Styles/" + tmpl + "/" + style, "shot.jpg", {320, 213}, Qt::blue);
    }
};

// The chooser as the main window opens it, with what each part shows.
struct Chooser {
    SelectTemplateWindowDelegate dialog;
    QSignalSpy finished{&dialog, &QDialog::finished};

    explicit Chooser(const QString& tmplName)
    {
        dialog.prepairToTmpl(tmplName);
        dialog.open();
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    QListView* templates() { return dialog.findChild<QListView*>("iTableViewTmpls"); }
    QListView* styles() { return dialog.findChild<QListView*>("iImgBrowserView"); }
    void press(const char* button) { QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton); }
    void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
    QString focused() const { return QApplication::focusWidget()->objectName(); }

    static QStringList names(QListView* view)
    {
        QStringList names;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            names << view->model()->index(row, 0).data().toString();
        return names;
    }
    static QString selectedName(QListView* view)
    {
        const QModelIndexList rows = view->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().data().toString() : QString();
    }
    static QImage picture(QListView* styles, int row)
    {
        return styles->model()->index(row, 0).data(quire::StyleImageRole).value<QImage>();
    }
    static void click(QListView* view, int row, bool twice = false)
    {
        const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
        // A real double-click starts with a click; QTest's sends only the second press.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }
};

// Templates "float" (spelled as given) and "slate"; float's styles include one
// without a picture and a resource folder inside a style. Returns the path of
// the second style's picture.
QString floatCatalogue(Catalogue& c, const QString& spelling = "float")
{
    c.addTemplate(spelling);
    c.add("Templates/slate");
    c.addStyle("float", "Blank");
    c.add("Styles/float/Blank/images");
    const QString second = c.add("Styles/float/NoShot") + "shot.jpg";
    c.addStyle("float", "Second");
    c.addStyle("slate", "Ocean");
    return second;
}

} // namespace

TEST(Chooser, OpensOnTheNamedTemplateWhateverItsSpelling)
{
    for (const QString spelling : {"FLOAT", "Float", "float"}) {
        SCOPED_TRACE(spelling.toStdString());
        Catalogue c;
        floatCatalogue(c, spelling);
        Chooser chooser("float");
        EXPECT_EQ(Chooser::selectedName(chooser.templates()), spelling);
        EXPECT_EQ(chooser.templates()->visualRect(chooser.templates()->model()->index(0, 0)).height(), 35);
        // Styles in walk order without a style's own folders; a missing
        // picture still listed by name; nothing chosen yet.
        EXPECT_EQ(Chooser::names(chooser.styles()), QStringList({"Blank", "NoShot", "Second"}));
        EXPECT_FALSE(Chooser::picture(chooser.styles(), 0).isNull());
        EXPECT_TRUE(Chooser::picture(chooser.styles(), 1).isNull());
        EXPECT_FALSE(chooser.dialog.findChild<QPushButton*>("btnOK")->isEnabled());
    }
}

TEST(Chooser, EndsWithTheChosenStyleOrNone)
{
    const struct {
        const char* how;
        std::function<void(Chooser&)> act;
        int code; // -1: still open
    } rows[] = {
        {"double-click", [](Chooser& c) { Chooser::click(c.styles(), 1, true); }, 1},
        {"click, OK", [](Chooser& c) { Chooser::click(c.styles(), 1); c.press("btnOK"); }, 1},
        {"Tab, Right, Return", [](Chooser& c) { c.key(Qt::Key_Tab); c.key(Qt::Key_Right); c.key(Qt::Key_Return); }, 1},
        {"click, Cancel", [](Chooser& c) { Chooser::click(c.styles(), 1); c.press("btnCancel"); }, 0},
        {"click, Escape", [](Chooser& c) { Chooser::click(c.styles(), 1); c.key(Qt::Key_Escape); }, 0},
        {"Return, nothing chosen", [](Chooser& c) { c.key(Qt::Key_Return); }, -1},
        {"another template, OK", [](Chooser& c) { Chooser::click(c.styles(), 1); Chooser::click(c.templates(), 1); c.press("btnOK"); }, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        Catalogue c;
        const QString second = floatCatalogue(c);
        Chooser chooser("float");
        row.act(chooser);
        EXPECT_EQ(chooser.dialog.isVisible(), row.code < 0);
        EXPECT_EQ(chooser.finished.size(), row.code < 0 ? 0 : 1);
        if (row.code >= 0 && !chooser.finished.isEmpty())
            EXPECT_EQ(chooser.finished.first().first().toInt(), row.code);
        if (row.code == 1) {
            EXPECT_EQ(chooser.dialog.selectedStyle(), second);
            EXPECT_EQ(chooser.dialog.selectedItemIndex(), 1u);
        } else if (row.code < 0) {
            EXPECT_FALSE(chooser.dialog.selectedStyle());
        }
    }
}

TEST(Chooser, KeyboardMovesThroughListsAndButtons)
{
    Catalogue c;
    floatCatalogue(c);
    Chooser chooser("float");
    EXPECT_EQ(chooser.focused(), "iTableViewTmpls");
    chooser.key(Qt::Key_Down);
    EXPECT_EQ(Chooser::selectedName(chooser.templates()), "slate");
    EXPECT_EQ(Chooser::names(chooser.styles()), QStringList{"Ocean"});
    chooser.key(Qt::Key_Tab); // reaching the styles selects one, so OK is in the chain
    EXPECT_EQ(Chooser::selectedName(chooser.styles()), "Ocean");
    QStringList order{chooser.focused()};
    for (int i = 0; i < 4; ++i) {
        chooser.key(Qt::Key_Tab);
        order << chooser.focused();
    }
    EXPECT_EQ(order, QStringList({"iImgBrowserView", "btnRefresh", "btnCancel", "btnOK", "iTableViewTmpls"}));
}

TEST(Chooser, RefreshListsNewTemplatesAndKeepsTheStyles)
{
    Catalogue c;
    floatCatalogue(c);
    Chooser chooser("float");
    c.addTemplate("added");
    c.addStyle("float", "Later");
    chooser.press("btnRefresh");
    EXPECT_EQ(Chooser::names(chooser.templates()), QStringList({"added", "float", "slate"}));
    EXPECT_EQ(Chooser::selectedName(chooser.templates()), "float");
    EXPECT_EQ(Chooser::names(chooser.styles()), QStringList({"Blank", "NoShot", "Second"}));
}

TEST(Chooser, ListsEveryShippedTemplateAndStyle)
{
    const auto folders = [](const QString& in) {
        return QDir(quire::resourcePath("AppFiles/" + in)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    };
    const QStringList templates = folders("Templates");
    ASSERT_GE(templates.size(), 3);
    Chooser chooser("float");
    ASSERT_EQ(Chooser::names(chooser.templates()), templates);
    for (int row = 0; row < templates.size(); ++row) {
        SCOPED_TRACE(templates[row].toStdString());
        Chooser::click(chooser.templates(), row);
        EXPECT_FALSE(QImage(chooser.templates()->model()->index(row, 0).data(quire::TmplIconFileRole).toString()).isNull());
        const QStringList styles = folders("Styles/" + templates[row]);
        EXPECT_FALSE(styles.isEmpty());
        EXPECT_EQ(Chooser::names(chooser.styles()), styles);
        for (int s = 0; s < styles.size(); ++s)
            EXPECT_FALSE(Chooser::picture(chooser.styles(), s).isNull()) << styles[s].toStdString();
    }
}

TEST(Chooser, RowsDrawTheirIconAndTitleInTheCellsPlaces)
{
    const struct {
        QRectF frame;
        QSizeF title;
        QRectF titleArea, iconArea;
    } rows[] = {
        {{0, 0, 100, 35}, {50, 17}, {35, 1, 29, 17}, {1, 3, 32, 32}},
        {{0, 0, 60, 35}, {50, 17}, {35, 1, 0, 17}, {1, 3, 32, 32}},
        {{10, 35, 300, 35}, {40, 17}, {45, 36, 40, 17}, {1, 38, 32, 32}},
        {{0, 0, 32, 35}, {40, 17}, {35, 1, 0, 17}, {}},
        {{0, 0, 100, 35}, {}, {35, 1, 0, 0}, {1, 3, 32, 32}},
    };
    for (const auto& row : rows) {
        const quire::SelectTmplCellLayout layout = quire::selectTmplCellLayout(row.frame, row.title);
        EXPECT_EQ(layout.titleArea, row.titleArea);
        EXPECT_EQ(layout.iconArea, row.iconArea);
    }

    // Drawn: float's red icon in its place, nothing there for slate's missing one.
    Catalogue c;
    floatCatalogue(c);
    Chooser chooser("float");
    QListView* list = chooser.templates();
    const QImage shown = list->viewport()->grab().toImage();
    const auto iconCentre = [&](int row) {
        return shown.pixelColor(1 + 16, list->visualRect(list->model()->index(row, 0)).top() + 3 + 16);
    };
    EXPECT_EQ(iconCentre(0), QColor(Qt::red));
    EXPECT_NE(iconCentre(1), QColor(Qt::red));
}
