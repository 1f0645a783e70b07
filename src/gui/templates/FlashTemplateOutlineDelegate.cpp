#include "FlashTemplateOutlineDelegate.h"

#include "templates/PropertyValueRules.h"
#include "util/Console.h"
#include "util/Format.h"

namespace quire {

// One property edit; the first redo is the edit itself.
class PropertyValueCommand : public QUndoCommand {
public:
    PropertyValueCommand(FlashTemplateOutlineDelegate& editor, FlashTemplateProperty& property, const Text& value)
        : m_editor(editor), m_property(property), m_before(property.value()), m_after(value)
    {
        setText(FlashTemplateOutlineDelegate::tr("Change %1").arg(editor.shownTitle(property)));
    }
    void redo() override { m_editor.assignValue(m_property, m_after); }
    void undo() override { m_editor.assignValue(m_property, m_before); }

private:
    FlashTemplateOutlineDelegate& m_editor;
    FlashTemplateProperty& m_property;
    Text m_before;
    Text m_after;
};

FlashTemplateOutlineDelegate::FlashTemplateOutlineDelegate(QObject* parent) : QAbstractItemModel(parent)
{
    setObjectName(QStringLiteral("tmplDelegate"));
}

FlashTemplateOutlineDelegate::~FlashTemplateOutlineDelegate() = default;

void FlashTemplateOutlineDelegate::setFlashTmpl(FlashTemplate* flashTmpl)
{
    beginResetModel();
    m_flashTmpl = flashTmpl;
    m_undoStack.clear();
    endResetModel();
}

void FlashTemplateOutlineDelegate::reload()
{
    setFlashTmpl(m_flashTmpl);
}

void FlashTemplateOutlineDelegate::outlineViewSelectionDidChange()
{
    emit UpdateFlashTmplProTipNotification();
}

FlashTemplateProperty* FlashTemplateOutlineDelegate::propertyAt(const QModelIndex& index) const
{
    if (!m_flashTmpl || !index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<FlashTemplateProperty*>(index.internalPointer());
}

const FlashTemplate::PropertyList* FlashTemplateOutlineDelegate::siblingsOf(const FlashTemplateProperty* property) const
{
    if (property->parent())
        return &property->parent()->childProperties();
    return &m_flashTmpl->properties();
}

QModelIndex FlashTemplateOutlineDelegate::indexOf(const FlashTemplateProperty* property, int column) const
{
    if (!m_flashTmpl || !property)
        return {};
    const auto* siblings = siblingsOf(property);
    for (size_t row = 0; row < siblings->size(); ++row)
        if ((*siblings)[row].get() == property)
            return createIndex(int(row), column, const_cast<FlashTemplateProperty*>(property));
    return {};
}

QModelIndex FlashTemplateOutlineDelegate::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    FlashTemplateProperty* property = parent.isValid() ? propertyAt(parent)->childAt(row)
                                                       : m_flashTmpl->properties()[size_t(row)].get();
    return createIndex(row, column, property);
}

QModelIndex FlashTemplateOutlineDelegate::parent(const QModelIndex& child) const
{
    const FlashTemplateProperty* property = propertyAt(child);
    return property ? indexOf(property->parent()) : QModelIndex();
}

int FlashTemplateOutlineDelegate::rowCount(const QModelIndex& parent) const
{
    if (!m_flashTmpl || parent.column() > 0)
        return 0;
    if (!parent.isValid())
        return int(m_flashTmpl->properties().size());
    return propertyAt(parent)->childCount();
}

int FlashTemplateOutlineDelegate::columnCount(const QModelIndex&) const
{
    return 2;
}

QString FlashTemplateOutlineDelegate::shownTitle(const FlashTemplateProperty& property) const
{
    return property.title() ? *property.title() : tr("(Untitled)");
}

QString FlashTemplateOutlineDelegate::shownValue(const FlashTemplateProperty& property) const
{
    return property.value() ? *property.value() : tr("(Unknown)");
}

QVariant FlashTemplateOutlineDelegate::data(const QModelIndex& index, int role) const
{
    const FlashTemplateProperty* property = propertyAt(index);
    if (!property)
        return {};
    const bool isSwitch = property->propertyType() == pt_bool;
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole)
        return property->desc() ? QVariant(*property->desc()) : QVariant();
    if (index.column() == KeyColumn)
        return role == Qt::DisplayRole || role == Qt::AccessibleTextRole ? QVariant(shownTitle(*property)) : QVariant();

    switch (role) {
    case Qt::DisplayRole:
        return isSwitch ? textOr(property->aTitle()) : shownValue(*property);
    case Qt::EditRole:
        if (isSwitch)
            return valueAsBool(property->value()) ? 1 : 0;
        if (property->propertyType() == pt_list)
            return listChoiceIndex(property->valueSource(), property->value());
        // An absent value is edited from the empty text, not from its placeholder.
        return textOr(property->value());
    case Qt::CheckStateRole:
        return isSwitch ? QVariant(valueAsBool(property->value()) ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::AccessibleTextRole:
        return isSwitch ? shownTitle(*property) : shownTitle(*property) + QStringLiteral(": ") + shownValue(*property);
    default:
        return {};
    }
}

bool FlashTemplateOutlineDelegate::setData(const QModelIndex& index, const QVariant& value, int role)
{
    FlashTemplateProperty* property = propertyAt(index);
    if (!property || index.column() != ValueColumn)
        return false;
    Text newValue;
    switch (property->propertyType()) {
    case pt_bool:
        if (role == Qt::EditRole || role == Qt::CheckStateRole)
            newValue = boolValueText(value.toInt() != 0);
        break;
    case pt_list:
        if (role == Qt::EditRole)
            newValue = listChoiceAt(property->valueSource(), value.toInt());
        break;
    default:
        if (role == Qt::EditRole)
            newValue = value.toString();
        break;
    }
    if (!newValue)
        return false;
    if (property->propertyType() == pt_color)
        console::line(formatMessage("color value is:%@", {*newValue}));
    if (property->value() == newValue)
        return false;
    m_undoStack.push(new PropertyValueCommand(*this, *property, newValue));
    return true;
}

void FlashTemplateOutlineDelegate::assignValue(FlashTemplateProperty& property, const Text& value)
{
    if (!setChangedValue(property, value))
        return;
    emit dataChanged(indexOf(&property, KeyColumn), indexOf(&property, ValueColumn));
    emit FlashTmplProValueChangedNotification(&property);
}

Qt::ItemFlags FlashTemplateOutlineDelegate::flags(const QModelIndex& index) const
{
    const FlashTemplateProperty* property = propertyAt(index);
    if (!property)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() == ValueColumn)
        flags |= property->propertyType() == pt_bool ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return flags;
}

QVariant FlashTemplateOutlineDelegate::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == KeyColumn ? tr("Property") : tr("Value");
}

} // namespace quire
