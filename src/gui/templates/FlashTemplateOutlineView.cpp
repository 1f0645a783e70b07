#include "FlashTemplateOutlineView.h"

#include "FlashTemplateOutlineDelegate.h"
#include "FlashTmplCellDelegate.h"
#include "FlashTmplColorCell.h"
#include "FlashTmplFileCell.h"
#include "ValueChooser.h"
#include "templates/ColorText.h"
#include "templates/FileFilter.h"
#include "util/Log.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>

namespace quire {
namespace {

// The description before "|" in a file filter, for the chooser's label.
QString filterDescription(const Text& valueSource)
{
    return valueSource && valueSource->contains(QLatin1Char('|')) ? valueSource->section(QLatin1Char('|'), 0, 0)
                                                                  : QString();
}

} // namespace

FlashTemplateOutlineView::FlashTemplateOutlineView(QWidget* parent)
    : QTreeView(parent), m_cells(new FlashTmplCellDelegate(this)), m_chooser(std::make_unique<DialogValueChooser>())
{
    setObjectName(QStringLiteral("outlineView"));
    setItemDelegate(m_cells);
    setIndentation(8);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setAllColumnsShowFocus(true);
    setEditTriggers(DoubleClicked | SelectedClicked | EditKeyPressed);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    // The values take the rest of the width, down to the header's minimum
    // (a stretched last section would not go below the default size).
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionResized, this, [this](int section) {
        if (section == FlashTemplateOutlineDelegate::KeyColumn && !m_fitting)
            m_fitKeyColumn = false;
    });
    connect(m_cells, &FlashTmplCellDelegate::infoButtonClicked, this, &FlashTemplateOutlineView::onInfoButton);
}

FlashTemplateOutlineView::~FlashTemplateOutlineView() = default;

void FlashTemplateOutlineView::setModel(QAbstractItemModel* model)
{
    auto* editor = qobject_cast<FlashTemplateOutlineDelegate*>(model);
    if (model && !editor) {
        qWarning("FlashTemplateOutlineView shows only a FlashTemplateOutlineDelegate");
        return;
    }
    if (QAbstractItemModel* before = this->model())
        disconnect(before, &QAbstractItemModel::modelReset, this, nullptr);
    QTreeView::setModel(model);
    if (editor) {
        header()->setSectionResizeMode(FlashTemplateOutlineDelegate::KeyColumn, QHeaderView::Interactive);
        header()->setSectionResizeMode(FlashTemplateOutlineDelegate::ValueColumn, QHeaderView::Stretch);
        connect(editor, &QAbstractItemModel::modelReset, this, &FlashTemplateOutlineView::showAllRows);
        showAllRows();
    }
}

void FlashTemplateOutlineView::showAllRows()
{
    expandAll();
    fitKeyColumn();
}

void FlashTemplateOutlineView::fitKeyColumn()
{
    if (!m_fitKeyColumn || !model())
        return;
    const QScopedValueRollback fitting(m_fitting, true);
    const int room = std::max(header()->minimumSectionSize(), viewport()->width() / 2);
    setColumnWidth(FlashTemplateOutlineDelegate::KeyColumn,
                   std::min(sizeHintForColumn(FlashTemplateOutlineDelegate::KeyColumn), room));
}

void FlashTemplateOutlineView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    fitKeyColumn();
}

FlashTemplateOutlineDelegate* FlashTemplateOutlineView::tmplDelegate() const
{
    return qobject_cast<FlashTemplateOutlineDelegate*>(model());
}

FlashTemplateProperty* FlashTemplateOutlineView::selectedProperty() const
{
    const auto* editor = tmplDelegate();
    if (!editor || !selectionModel())
        return nullptr;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : editor->propertyAt(rows.constFirst());
}

void FlashTemplateOutlineView::setValueChooser(std::unique_ptr<ValueChooser> chooser)
{
    m_chooser = std::move(chooser);
}

bool FlashTemplateOutlineView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // A row edits its value whichever column the pointer or the cursor is in.
    const QModelIndex value =
        index.isValid() ? index.siblingAtColumn(FlashTemplateOutlineDelegate::ValueColumn) : index;
    return QTreeView::edit(value, trigger, event);
}

void FlashTemplateOutlineView::keyPressEvent(QKeyEvent* event)
{
    auto* editor = tmplDelegate();
    if (editor && event->matches(QKeySequence::Undo)) {
        editor->undoStack()->undo();
        return;
    }
    if (editor && event->matches(QKeySequence::Redo)) {
        editor->undoStack()->redo();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != EditingState && currentIndex().isValid()) {
        if (edit(currentIndex(), EditKeyPressed, event))
            return;
    }
    QTreeView::keyPressEvent(event);
}

void FlashTemplateOutlineView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QTreeView::selectionChanged(selected, deselected);
    if (auto* editor = tmplDelegate())
        editor->outlineViewSelectionDidChange();
}

void FlashTemplateOutlineView::onInfoButton(const QModelIndex& index)
{
    const FlashTemplateProperty* property = tmplDelegate() ? tmplDelegate()->propertyAt(index) : nullptr;
    if (!property)
        return;
    if (property->propertyType() == pt_color)
        onSelectColor(index);
    else if (property->propertyType() == pt_file)
        onSelectFile(index);
}

void FlashTemplateOutlineView::onSelectColor(const QModelIndex& index)
{
    QLOG_DEBUG("Seleting color now");
    auto* editor = tmplDelegate();
    const QPersistentModelIndex value = index.siblingAtColumn(FlashTemplateOutlineDelegate::ValueColumn);
    const FlashTemplateProperty* property = editor ? editor->propertyAt(value) : nullptr;
    if (!property)
        return;
    FlashTmplColorCell cell(textOr(property->value()), font());
    cell.setColor(colorFromHexRGB(property->value()));
    const std::optional<QColor> chosen = m_chooser->chooseColor(cell.color(), this);
    if (!chosen || !value.isValid())
        return;
    cell.setColor2(*chosen);
    editor->setData(value, cell.stringValue(), Qt::EditRole);
}

void FlashTemplateOutlineView::onSelectFile(const QModelIndex& index)
{
    auto* editor = tmplDelegate();
    const QPersistentModelIndex value = index.siblingAtColumn(FlashTemplateOutlineDelegate::ValueColumn);
    FlashTemplateProperty* property = editor ? editor->propertyAt(value) : nullptr;
    if (!property)
        return;
    FlashTmplFileCell cell(textOr(property->value()), font());
    cell.setPro(property);
    const std::optional<QString> chosen =
        m_chooser->chooseFile(filterDescription(property->valueSource()), fileFilterExtensions(property->valueSource()),
                              cell.stringValue(), this);
    if (!value.isValid())
        return;
    // Cancelling is how a file value is cleared.
    cell.setFileName2(chosen ? *chosen : QString());
    editor->setData(value, cell.stringValue(), Qt::EditRole);
}

} // namespace quire
