#pragma once
// The property editor's data: the current template's property tree as a
// two-column model ("key" shows the title, "value" the value), the rules by
// which an edited value becomes the property's value, the undo history of
// those edits, and the editor's two announcements.
//
// Value column by type, for Qt::EditRole: a list gives and takes the index
// of its choice; a switch gives 1 or 0 and takes a number (non-zero is "YES")
// or a Qt::CheckStateRole state; every other type gives and takes the text.
#include "templates/FlashTemplate.h"

#include <QAbstractItemModel>
#include <QUndoStack>

namespace quire {

class FlashTemplateOutlineDelegate : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { KeyColumn = 0, ValueColumn = 1 };

    explicit FlashTemplateOutlineDelegate(QObject* parent = nullptr);
    ~FlashTemplateOutlineDelegate() override;

    FlashTemplate* flashTmpl() const { return m_flashTmpl; }
    // Shows another template (not owned); null shows no rows.
    void setFlashTmpl(FlashTemplate* flashTmpl);
    // Rebuilds the rows after the template's tree changed (template switch,
    // settings import). The undo history goes with the old rows.
    void reload();

    FlashTemplateProperty* propertyAt(const QModelIndex& index) const;
    QModelIndex indexOf(const FlashTemplateProperty* property, int column = KeyColumn) const;

    // Every change made through the editor, for Edit > Undo and Redo.
    QUndoStack* undoStack() { return &m_undoStack; }

    // The view calls this when its selected row changes.
    void outlineViewSelectionDidChange();

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // A value that equals the current one changes nothing and announces
    // nothing; a list index outside the choices is dropped. Any other value
    // is set on the property as it is, through the undo history.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // A property's value changed through the editor, its undo or its redo.
    void FlashTmplProValueChangedNotification(quire::FlashTemplateProperty* property);
    // The selected row changed.
    void UpdateFlashTmplProTipNotification();

private:
    friend class PropertyValueCommand;

    const FlashTemplate::PropertyList* siblingsOf(const FlashTemplateProperty* property) const;
    QString shownTitle(const FlashTemplateProperty& property) const;
    QString shownValue(const FlashTemplateProperty& property) const;
    // Sets the value, repaints its row and announces the change.
    void assignValue(FlashTemplateProperty& property, const Text& value);

    FlashTemplate* m_flashTmpl = nullptr;
    QUndoStack m_undoStack;
};

} // namespace quire
