#pragma once
// Draws and edits the value column of the property editor by property type:
// colour and file values in their own cells (swatch, information button),
// lists with a pop-up list, switches as a check box with its caption, and
// every other type as in-place text. A click on a cell's button area, or
// Space on its row, asks for a chooser (infoButtonClicked).
#include <QStyledItemDelegate>
#include <memory>

class QAbstractItemView;

namespace quire {

class CellButtonTracker;
class FlashTemplateOutlineDelegate;
class FlashTemplateProperty;
class InfoButtonCell;

class FlashTmplCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit FlashTmplCellDelegate(QAbstractItemView* view);
    ~FlashTmplCellDelegate() override;

    // The colour or file cell for an index, in its present state; null for
    // rows of other types.
    std::unique_ptr<InfoButtonCell> cellFor(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

signals:
    void infoButtonClicked(const QModelIndex& index);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    const FlashTemplateProperty* propertyAt(const QModelIndex& index) const;
    int typeAt(const QModelIndex& index) const;
    bool buttonCellEvent(QEvent* event, const QStyleOptionViewItem& option, const QModelIndex& index);
    bool switchCellEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                         const QModelIndex& index);
    void paintList(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void sendInfoButtonAction(const QModelIndex& index);

    CellButtonTracker* m_tracker;
};

} // namespace quire
