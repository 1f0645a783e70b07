#pragma once
// The mouse over the button areas of a view's cells. A press on a button
// starts tracking, which lasts until the release wherever the pointer goes:
// the button shows pressed while the pointer is over it, and a release over
// it clicks; a release anywhere else sends nothing. Hovering marks the
// button under the pointer.
#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QRect>

class QWidget;

namespace quire {

class CellButtonTracker : public QObject {
    Q_OBJECT
public:
    // Follows the mouse in the view's viewport.
    explicit CellButtonTracker(QWidget* viewport, QObject* parent = nullptr);

    // The pointer is over a cell's button area (viewport coordinates); the
    // mark goes when the pointer leaves that area.
    void hover(const QModelIndex& index, const QRect& button);
    // A press inside a cell's button area (viewport coordinates).
    void press(const QModelIndex& index, const QRect& button);

    bool isTracking() const { return m_pressedIndex.isValid(); }
    bool isPressed(const QModelIndex& index) const;
    bool isHovered(const QModelIndex& index) const;

signals:
    void clicked(const QModelIndex& index);
    // The cell looks different now.
    void cellChanged(const QModelIndex& index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setHovered(const QModelIndex& index, const QRect& button = QRect());
    void setPressedInside(bool inside);

    QPointer<QWidget> m_viewport;
    QPersistentModelIndex m_hoveredIndex;
    QRect m_hoveredButton;
    QPersistentModelIndex m_pressedIndex;
    QRect m_button;
    bool m_pressedInside = false;
};

} // namespace quire
