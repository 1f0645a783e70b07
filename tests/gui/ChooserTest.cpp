// The template chooser driven through its controls over small catalogues
// built in temporary folders (the shipped catalogue: tests/styles).
#include "DialogDriver.h"
#include "gui/app/SelectTemplateModels.h"
#include "gui/app/SelectTemplateWindowDelegate.h"
#include "util/Resources.h"

#include <QDir>
#include <QListView>
#include <functional>

using namespace quire;
using namespace quire::test;

namespace {

// A resource folder with templates "float" (spelled as given) and "slate";
// float's styles include one without a picture and a resource folder inside
// a style.
struct Catalogue {
    TempDir dir;
    explicit Catalogue(const QString& spelling = "float")
    {
        setResourceFolder(dir.path());
        addTemplate(spelling);
        add("Templates/slate");
        for (const char* style : {"float/Blank", "float/Second", "slate/Ocean"})
            addStyle(style);
        add("Styles/float/Blank/images");
        add("Styles/float/NoShot");
    }
    ~Catalogue() { setResourceFolder(QString()); }
    // A folder below "AppFiles", with a solid picture unless `picture` is empty.
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
    QString addStyle(const QString& style) { return add("Styles/" + style, "shot.jpg", {320, 213}, Qt::blue); }
};

// The chooser as the main window opens it on "float".
struct Chooser : SelectTemplateWindowDelegate, DialogDriver {
    Chooser() : DialogDriver(this)
    {
        prepairToTmpl("float");
        openModal();
    }
    QListView* templates() { return get<QListView>("iTableViewTmpls"); }
    QListView* styles() { return get<QListView>("iImgBrowserView"); }

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
};

} // namespace

TEST(Chooser, OpensOnTheNamedTemplateWhateverItsSpelling)
{
    for (const QString spelling : {"FLOAT", "Float", "float"}) {
        SCOPED_TRACE(spelling.toStdString());
        Catalogue c(spelling);
        Chooser chooser;
        EXPECT_EQ(Chooser::selectedName(chooser.templates()), spelling);
        // The styles in walk order without a style's own folders, one without
        // a picture listed by name (OK with nothing chosen: EndsWithTheChosenStyleOrNone).
        EXPECT_EQ(Chooser::names(chooser.styles()), QStringList({"Blank", "NoShot", "Second"}));
        const auto picture = [&](int row) {
            return chooser.styles()->model()->index(row, 0).data(StyleImageRole).value<QImage>();
        };
        EXPECT_EQ(std::pair(picture(0).isNull(), picture(1).isNull()), std::pair(false, true));
    }
}

TEST(Chooser, EndsWithTheChosenStyleOrNone)
{
    const struct {
        const char* how;
        std::function<void(Chooser&)> act;
        int code; // -1: still open
    } rows[] = {
        {"double-click", [](Chooser& c) { clickRow(c.styles(), 1, true); }, 1},
        {"click, OK", [](Chooser& c) { clickRow(c.styles(), 1); c.click("btnOK"); }, 1},
        {"Tab, Right, Return", [](Chooser& c) { c.key(Qt::Key_Tab); c.key(Qt::Key_Right); c.key(Qt::Key_Return); }, 1},
        {"click, Cancel", [](Chooser& c) { clickRow(c.styles(), 1); c.click("btnCancel"); }, 0},
        {"click, Escape", [](Chooser& c) { clickRow(c.styles(), 1); c.key(Qt::Key_Escape); }, 0},
        {"Return, nothing chosen", [](Chooser& c) { c.key(Qt::Key_Return); }, -1},
        {"another template, OK",
         [](Chooser& c) { clickRow(c.styles(), 1); clickRow(c.templates(), 1); c.click("btnOK"); }, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        Catalogue c;
        Chooser chooser;
        row.act(chooser);
        EXPECT_EQ(chooser.isVisible(), row.code < 0);
        EXPECT_EQ(chooser.endCode(), row.code);
        EXPECT_EQ(chooser.ends.size(), row.code < 0 ? 0 : 1);
        if (row.code == 1) {
            EXPECT_EQ(chooser.selectedStyle(), c.dir.file("AppFiles/Styles/float/NoShot/shot.jpg"));
            EXPECT_EQ(chooser.selectedItemIndex(), 1u);
        } else if (row.code < 0) {
            EXPECT_FALSE(chooser.selectedStyle());
        }
    }
}

TEST(Chooser, KeyboardMovesThroughListsAndButtonsAndRefreshListsNewTemplates)
{
    Catalogue c;
    Chooser chooser;
    EXPECT_EQ(chooser.focused(), "iTableViewTmpls");
    chooser.key(Qt::Key_Down);
    EXPECT_EQ(Chooser::selectedName(chooser.templates()), "slate");
    EXPECT_EQ(Chooser::names(chooser.styles()), QStringList{"Ocean"});
    chooser.key(Qt::Key_Tab); // reaching the styles selects one, so OK is in the chain
    EXPECT_EQ(Chooser::selectedName(chooser.styles()), "Ocean");

    clickRow(chooser.templates(), 0);
    c.addTemplate("added");
    c.addStyle("float/Later");
    chooser.click("btnRefresh"); // the new template listed, the styles kept
    EXPECT_EQ(Chooser::names(chooser.templates()), QStringList({"added", "float", "slate"}));
    EXPECT_EQ(Chooser::selectedName(chooser.templates()), "float");
    EXPECT_EQ(Chooser::names(chooser.styles()), QStringList({"Blank", "NoShot", "Second"}));
}

