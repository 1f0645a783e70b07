// The property editor driven through its controls: the model's structure,
// the value rules, the announcements, the choosers, undo and the keyboard.
#include "EditorFixture.h"
#include "gui/templates/FlashTmplCellDelegate.h"
#include "gui/templates/InfoButtonCell.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

namespace quire::test {
namespace {

TEST_F(EditorFixture, ModelStructureUnderTheModelTesterAndShownTexts)
{
    QtWarnings warnings;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    model.reload();
    EXPECT_EQ(warnings.messages(), QStringList());
    const QModelIndex group = model.indexOf(find("group"));
    EXPECT_EQ(std::pair(model.rowCount(), model.rowCount(group)), std::pair(4, 2));
    EXPECT_TRUE(!model.hasChildren(model.indexOf(find("text"))) && view.isExpanded(group));

    // The texts shown for absent values, and a switch's state and caption.
    find("text")->setTitle(std::nullopt);
    find("list")->setValue(std::nullopt);
    EXPECT_EQ(QStringList({model.indexOf(find("text")).data().toString(), valueIndex("list").data().toString(),
                           valueIndex("switch").data().toString(), valueIndex("color").data(Qt::ToolTipRole).toString(),
                           valueIndex("color").data(Qt::AccessibleTextRole).toString()}),
              QStringList({"(Untitled)", "(Unknown)", "Caption of switch", "Help on color", "Title of color: 0x00ff00"}));
    EXPECT_EQ(valueIndex("switch").data(Qt::CheckStateRole).toInt(), Qt::Checked); // "Show"
    model.setFlashTmpl(nullptr);
    EXPECT_EQ(model.rowCount(), 0);

    // Each shipped template shows whole, every row tall enough for its text.
    const QStringList names = FlashTemplate::tmplNames();
    ASSERT_FALSE(names.isEmpty());
    for (const QString& path : names) {
        tmpl.loadTemplate(QFileInfo(path).fileName());
        model.setFlashTmpl(&tmpl);
        view.grab();
        int rows = 0;
        for (QModelIndex row = model.index(0, 1); row.isValid(); row = view.indexBelow(row), ++rows)
            EXPECT_GE(view.visualRect(row).height(), view.fontMetrics().height());
        EXPECT_GT(rows, 10) << path.toStdString();
    }
    EXPECT_EQ(warnings.messages(), QStringList());
}

TEST_F(EditorFixture, SetValueRulesAnnounceOnlyRealChanges)
{
    const struct {
        const char* key;
        QVariant given;
        int role;
        const char* expected;
        int announced;
    } cases[] = {
        {"list", 2, Qt::EditRole, "large", 1},
        {"list", 2, Qt::EditRole, "large", 0},  // the same value
        {"list", 3, Qt::EditRole, "large", 0},  // outside the choices: dropped
        {"list", -1, Qt::EditRole, "large", 0},
        {"switch", Qt::Unchecked, Qt::CheckStateRole, "NO", 1},
        {"switch", 5, Qt::EditRole, "YES", 1},  // not "Show" again
        {"color", "#zz", Qt::EditRole, "#zz", 1}, // typed text is taken as it is
        {"file", "STYLE_RESOURCE:a.png", Qt::EditRole, "STYLE_RESOURCE:a.png", 1},
        {"group", "x", Qt::EditRole, "x", 1},   // a parent edits like any of its type
    };
    for (const auto& c : cases) {
        changed.clear();
        model.setData(valueIndex(c.key), c.given, c.role);
        EXPECT_EQ(value(c.key), c.expected) << c.key;
        ASSERT_EQ(changed.count(), c.announced) << c.key << " " << c.expected;
        if (c.announced) {
            EXPECT_EQ(changed.at(0).at(0).value<FlashTemplateProperty*>(), find(c.key));
        }
    }
    EXPECT_FALSE(model.setData(model.indexOf(find("text")), "other")); // the key column
    EXPECT_EQ(value("text"), "hello");
}

TEST_F(EditorFixture, ListPopupCommitsThePickedChoice)
{
    for (const auto& [moves, expected, announced] : {std::tuple{1, "large", 1}, std::tuple{0, "large", 1}}) {
        select("list");
        key(Qt::Key_F2);
        auto* list = view.findChild<QComboBox*>();
        ASSERT_TRUE(list);
        EXPECT_EQ(list->count(), 3);
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->view()->isVisible(); }));
        for (int i = 0; i < moves; ++i)
            QTest::keyClick(list->view(), Qt::Key_Down);
        QTest::keyClick(list->view(), Qt::Key_Return);
        EXPECT_EQ(value("list"), expected);
        EXPECT_EQ(changed.count(), announced);
        QTest::qWait(0); // let the closed editor go
    }
}

TEST_F(EditorFixture, SwitchTogglesByClickAndSpace)
{
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cellRect("switch").center());
    EXPECT_EQ(value("switch"), "NO");
    select("switch");
    key(Qt::Key_Space);
    EXPECT_EQ(value("switch"), "YES");
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(EditorFixture, TextEditsInPlaceFromTheKeyboard)
{
    select("text");
    key(Qt::Key_Return);
    auto* line = view.findChild<QLineEdit*>();
    ASSERT_TRUE(line);
    line->selectAll();
    QTest::keyClicks(line, "abc");
    QTest::keyClick(line, Qt::Key_Return);
    QTest::qWait(0); // the commit is queued; the closed editor goes
    EXPECT_EQ(value("text"), "abc");
    find("text")->setValue(std::nullopt);
    key(Qt::Key_F2); // opened and closed untouched: an absent value stays absent
    line = view.findChild<QLineEdit*>();
    ASSERT_TRUE(line);
    EXPECT_EQ(line->text(), "");
    QTest::keyClick(line, Qt::Key_Return);
    QTest::qWait(0);
    EXPECT_EQ(value("text"), "(none)");
    EXPECT_EQ(changed.count(), 1);
}

// The swatch and the info button ask the chooser; a cancelled colour
// chooser keeps the colour, a cancelled file chooser clears the file.
TEST_F(EditorFixture, ChoosersSetTheValueAndCancelKeepsTheColourButClearsTheFile)
{
    const QPoint swatch = cellRect("color").topLeft() + QPoint(12, 8);
    const QPoint info(cellRect("file").right() - 7, cellRect("file").top() + 9);
    chooser->color = QColor(Qt::red);
    chooser->file = QStringLiteral("/pictures/a.jpg");
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, swatch);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, info);
    EXPECT_EQ(std::tuple(chooser->initial, chooser->extensions, chooser->suggested),
              std::tuple(QColor(0, 255, 0), QStringList({"jpg", "png"}), QString("/old.png")));
    EXPECT_EQ(value("color") + " " + value("file"), "0xff0000 /pictures/a.jpg");
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, swatch); // the same colour
    chooser->color.reset();
    chooser->file.reset();
    for (const char* row : {"color", "file"}) { // cancelled from the keyboard
        select(row);
        key(Qt::Key_Space);
    }
    EXPECT_EQ(value("color") + " " + value("file"), "0xff0000 ");
    EXPECT_EQ(chooser->calls, 5);
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(EditorFixture, UndoAndRedoSetAndAnnounceTheSameWay)
{
    model.setData(valueIndex("text"), "one");
    model.setData(valueIndex("text"), "two");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(value("text"), "one");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(value("text"), "hello");
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(value("text"), "one");
    EXPECT_EQ(changed.count(), 5);
    EXPECT_EQ(changed.last().at(0).value<FlashTemplateProperty*>(), find("text"));
    model.reload();
    EXPECT_FALSE(model.undoStack()->canUndo());
}

} // namespace
} // namespace quire::test
