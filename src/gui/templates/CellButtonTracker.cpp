#include "CellButtonTracker.h"

#include <QMouseEvent>
#include <QWidget>

namespace quire {

CellButtonTracker::CellButtonTracker(QWidget* viewport, QObject* parent) : QObject(parent), m_viewport(viewport)
{
    viewport->installEventFilter(this);
}

bool CellButtonTracker::isPressed(const QModelIndex& index) const
{
    return m_pressedInside && m_pressedIndex == index;
}

bool CellButtonTracker::isHovered(const QModelIndex& index) const
{
    return m_hoveredIndex.isValid() && m_hoveredIndex == index;
}

void CellButtonTracker::hover(const QModelIndex& index, const QRect& button)
{
    if (!isTracking())
        setHovered(index, button);
}

void CellButtonTracker::setHovered(const QModelIndex& index, const QRect& button)
{
    m_hoveredButton = button;
    if (m_hoveredIndex == index)
        return;
    const QModelIndex before = m_hoveredIndex;
    m_hoveredIndex = index;
    if (before.isValid())
        emit cellChanged(before);
    if (index.isValid())
        emit cellChanged(index);
}

void CellButtonTracker::press(const QModelIndex& index, const QRect& button)
{
    m_pressedIndex = index;
    m_button = button;
    m_pressedInside = false;
    setPressedInside(true);
}

void CellButtonTracker::setPressedInside(bool inside)
{
    if (m_pressedInside == inside)
        return;
    m_pressedInside = inside;
    emit cellChanged(m_pressedIndex);
}

bool CellButtonTracker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_viewport)
        return false;
    switch (event->type()) {
    case QEvent::Leave:
        if (!isTracking())
            setHovered(QModelIndex());
        return false;
    case QEvent::MouseMove: {
        const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (!isTracking()) {
            // The view marks the button it enters; leaving one is seen here.
            if (m_hoveredIndex.isValid() && !m_hoveredButton.contains(point))
                setHovered(QModelIndex());
            return false;
        }
        const bool inside = m_button.contains(point);
        setPressedInside(inside);
        setHovered(inside ? QModelIndex(m_pressedIndex) : QModelIndex(), m_button);
        // While a button is held the view neither selects nor drags.
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!isTracking() || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        const QModelIndex index = m_pressedIndex;
        const bool click = m_pressedInside;
        setPressedInside(false);
        m_pressedIndex = QModelIndex();
        // The view still gets the release, to end its own press state.
        if (click && index.isValid())
            emit clicked(index);
        return false;
    }
    default:
        return false;
    }
}

} // namespace quire
