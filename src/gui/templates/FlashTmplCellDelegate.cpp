#include "FlashTmplCellDelegate.h"

#include "CellButtonTracker.h"
#include "FlashTemplateOutlineDelegate.h"
#include "FlashTmplColorCell.h"
#include "FlashTmplFileCell.h"
#include "templates/ColorText.h"
#include "templates/PropertyValueRules.h"
#include "util/Log.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace quire {
namespace {

// Room for the pop-up list's arrow at the right of a list value.
constexpr int kListArrowWidth = 14;
// Every row is at least as tall as the colour and file cells plus a pixel
// above and below them, so that rows of all types keep one rhythm.
constexpr int kCellHeight = 17;
constexpr int kRowSpacing = 1;

// The frame a value cell lays itself out in: the row less its spacing.
QRect cellBounds(const QRect& row)
{
    return row.adjusted(0, kRowSpacing, 0, -kRowSpacing);
}

QStyle* styleOf(const QStyleOptionViewItem& option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

bool isLeftButton(const QEvent* event)
{
    return static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

QPoint pointOf(const QEvent* event)
{
    return static_cast<const QMouseEvent*>(event)->position().toPoint();
}

} // namespace

FlashTmplCellDelegate::FlashTmplCellDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view), m_tracker(new CellButtonTracker(view->viewport(), this))
{
    connect(m_tracker, &CellButtonTracker::cellChanged, view, qOverload<const QModelIndex&>(&QAbstractItemView::update));
    connect(m_tracker, &CellButtonTracker::clicked, this, &FlashTmplCellDelegate::sendInfoButtonAction);
}

FlashTmplCellDelegate::~FlashTmplCellDelegate() = default;

void FlashTmplCellDelegate::sendInfoButtonAction(const QModelIndex& index)
{
    // The swatch reports its clicks in the log; the information button does not.
    const bool color = typeAt(index) == pt_color;
    if (color) {
        QLOG_DEBUG("Trigger action now....");
        QLOG_DEBUG("Trigger action now 222....");
    }
    const bool received = isSignalConnected(QMetaMethod::fromSignal(&FlashTmplCellDelegate::infoButtonClicked));
    emit infoButtonClicked(index);
    if (color) {
        if (received)
            QLOG_DEBUG("send action ok");
        else
            QLOG_DEBUG("send failed,,,,");
    }
}

const FlashTemplateProperty* FlashTmplCellDelegate::propertyAt(const QModelIndex& index) const
{
    const auto* model = qobject_cast<const FlashTemplateOutlineDelegate*>(index.model());
    return model ? model->propertyAt(index) : nullptr;
}

int FlashTmplCellDelegate::typeAt(const QModelIndex& index) const
{
    const FlashTemplateProperty* property = propertyAt(index);
    return property && index.column() == FlashTemplateOutlineDelegate::ValueColumn ? property->propertyType() : -1;
}

std::unique_ptr<InfoButtonCell> FlashTmplCellDelegate::cellFor(const QStyleOptionViewItem& option,
                                                               const QModelIndex& index) const
{
    std::unique_ptr<InfoButtonCell> cell;
    const int type = typeAt(index);
    const FlashTemplateProperty* property = propertyAt(index);
    if (type == pt_color) {
        auto color = std::make_unique<FlashTmplColorCell>(index.data(Qt::DisplayRole).toString(), option.font);
        color->setColor(colorFromHexRGB(property->value()));
        cell = std::move(color);
    } else if (type == pt_file) {
        auto file = std::make_unique<FlashTmplFileCell>(textOr(property->value()), option.font);
        file->setPro(const_cast<FlashTemplateProperty*>(property));
        cell = std::move(file);
    } else {
        return nullptr;
    }
    cell->setHighlighted(option.state & QStyle::State_Selected);
    cell->setMouseDownInInfoButton(m_tracker->isPressed(index));
    cell->setMouseHoveredInInfoButton(m_tracker->isHovered(index));
    return cell;
}

void FlashTmplCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    if (const auto cell = cellFor(option, index)) {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        styleOf(option)->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);
        QPalette palette = option.palette;
        palette.setCurrentColorGroup(option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive);
        cell->drawInterior(*painter, cellBounds(option.rect), palette);
        return;
    }
    if (typeAt(index) == pt_list) {
        paintList(painter, option, index);
        return;
    }
    QStyledItemDelegate::paint(painter, option, index);
}

void FlashTmplCellDelegate::paintList(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const
{
    QStyleOptionViewItem full = option;
    initStyleOption(&full, index);
    QStyle* style = styleOf(option);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &full, painter, option.widget);

    QStyleOptionViewItem text = option;
    text.rect.setRight(option.rect.right() - kListArrowWidth);
    QStyledItemDelegate::paint(painter, text, index);

    QStyleOption arrow;
    if (option.widget)
        arrow.initFrom(option.widget);
    arrow.rect = QRect(text.rect.right() + 1, option.rect.y(), kListArrowWidth - 4, option.rect.height());
    arrow.palette = option.palette;
    if (option.state & QStyle::State_Selected)
        arrow.palette.setColor(QPalette::ButtonText, option.palette.color(QPalette::HighlightedText));
    arrow.state = QStyle::State_Enabled;
    style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, option.widget);
}

QSize FlashTmplCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), kCellHeight + 2 * kRowSpacing));
    if (const auto cell = cellFor(option, index))
        size.setWidth(cell->cellSizeForBounds(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)).width());
    else if (typeAt(index) == pt_list)
        size.rwidth() += kListArrowWidth;
    return size;
}

QWidget* FlashTmplCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const
{
    const FlashTemplateProperty* property = propertyAt(index);
    if (!property || index.column() != FlashTemplateOutlineDelegate::ValueColumn)
        return nullptr;
    QWidget* editor = nullptr;
    if (property->propertyType() == pt_list) {
        auto* list = new QComboBox(parent);
        list->setFrame(false);
        list->addItems(listChoices(property->valueSource()));
        // Picking an item commits it at once, as a pop-up button does.
        auto* self = const_cast<FlashTmplCellDelegate*>(this);
        connect(list, &QComboBox::activated, self, [self, list] {
            emit self->commitData(list);
            emit self->closeEditor(list);
        });
        QTimer::singleShot(0, list, &QComboBox::showPopup);
        editor = list;
    } else {
        editor = QStyledItemDelegate::createEditor(parent, option, index);
    }
    if (editor)
        editor->setAccessibleName(index.data(Qt::AccessibleTextRole).toString());
    return editor;
}

void FlashTmplCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        list->setCurrentIndex(index.data(Qt::EditRole).toInt());
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void FlashTmplCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, list->currentIndex(), Qt::EditRole);
        return;
    }
    // Text left as it was is not committed: an absent value stays absent.
    if (auto* text = qobject_cast<QLineEdit*>(editor); text && !text->isModified())
        return;
    QStyledItemDelegate::setModelData(editor, model, index);
}

void FlashTmplCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                 const QModelIndex& index) const
{
    if (const auto cell = cellFor(option, index)) {
        editor->setGeometry(cell->editingRectForBounds(cellBounds(option.rect)));
        return;
    }
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
}

bool FlashTmplCellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                        const QModelIndex& index)
{
    const int type = typeAt(index);
    if ((type == pt_color || type == pt_file) && buttonCellEvent(event, option, index))
        return true;
    if (type == pt_bool && switchCellEvent(event, model, option, index))
        return true;
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool FlashTmplCellDelegate::buttonCellEvent(QEvent* event, const QStyleOptionViewItem& option,
                                            const QModelIndex& index)
{
    const auto cell = cellFor(option, index);
    const auto button = cell->buttonRectForBounds(cellBounds(option.rect));
    const auto onButton = [&] { return button && button->contains(pointOf(event)); };
    switch (event->type()) {
    case QEvent::MouseMove:
        if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton && onButton())
            m_tracker->hover(index, *button);
        return false;
    case QEvent::MouseButtonPress:
        // The view still selects the row; the tracker follows the button.
        if (isLeftButton(event) && onButton())
            m_tracker->press(index, *button);
        return false;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // The tracker has clicked already; no text editing starts here.
        return isLeftButton(event) && onButton();
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            sendInfoButtonAction(index);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

bool FlashTmplCellDelegate::switchCellEvent(QEvent* event, QAbstractItemModel* model,
                                            const QStyleOptionViewItem& option, const QModelIndex& index)
{
    // The whole cell, caption included, is the check box.
    if (event->type() != QEvent::MouseButtonRelease || !isLeftButton(event) || !option.rect.contains(pointOf(event)))
        return false;
    const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    return true;
}

} // namespace quire
