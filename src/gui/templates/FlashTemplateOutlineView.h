#pragma once
// The property editor's tree: every row expanded, 8 pixels of indentation
// per level, one row selected at a time, each row editing its value. It
// picks colours and files for the value cells' buttons.
//
// Keyboard: arrows move; F2 or Enter edits the value in place (a list opens
// its pop-up); Space toggles a switch and opens the chooser of a colour or
// file value; Ctrl+Z and Ctrl+Shift+Z undo and redo edits.
#include <QTreeView>
#include <memory>

namespace quire {

class FlashTemplateOutlineDelegate;
class FlashTemplateProperty;
class FlashTmplCellDelegate;
class ValueChooser;

class FlashTemplateOutlineView : public QTreeView {
    Q_OBJECT
public:
    explicit FlashTemplateOutlineView(QWidget* parent = nullptr);
    ~FlashTemplateOutlineView() override;

    // Takes a FlashTemplateOutlineDelegate; any other model is refused.
    void setModel(QAbstractItemModel* model) override;
    FlashTemplateOutlineDelegate* tmplDelegate() const;
    FlashTmplCellDelegate* cellDelegate() const { return m_cells; }
    // The property of the selected row; null without a selection.
    FlashTemplateProperty* selectedProperty() const;

    using QTreeView::edit;

    // The dialogs are the default.
    void setValueChooser(std::unique_ptr<ValueChooser> chooser);

public slots:
    // Picks a colour for a colour row; Cancel keeps the value.
    void onSelectColor(const QModelIndex& index);
    // Picks a file for a file row; Cancel empties the value.
    void onSelectFile(const QModelIndex& index);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void onInfoButton(const QModelIndex& index);
    void showAllRows();
    // The names take what they need, but no more than half the width, until
    // the user sizes the column.
    void fitKeyColumn();

    FlashTmplCellDelegate* m_cells;
    std::unique_ptr<ValueChooser> m_chooser;
    bool m_fitKeyColumn = true;
    bool m_fitting = false;
};

} // namespace quire
