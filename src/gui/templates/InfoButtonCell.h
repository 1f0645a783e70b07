#pragma once
// Common ground of the property editor's cells: a line of text beside a
// small button area that the mouse presses and hovers. A cell is made for
// one drawing or editing pass; its geometry is in its own frame (bounds), in
// device-independent pixels.
#include <QFont>
#include <QPalette>
#include <QImage>
#include <QRect>
#include <QString>
#include <optional>

class QPainter;

namespace quire {

class InfoButtonCell {
public:
    // What lies under a point: the editable text, the button area (tracked
    // while the mouse is down), other content, or nothing.
    enum class Hit { None, EditableText, Trackable, Content };

    explicit InfoButtonCell(const QString& text = QString(), const QFont& font = QFont());
    virtual ~InfoButtonCell() = default;

    const QString& stringValue() const { return m_text; }
    void setStringValue(const QString& text) { m_text = text; }
    const QFont& font() const { return m_font; }
    void setFont(const QFont& font) { m_font = font; }
    // Highlighted: the cell's row is selected.
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool on) { m_highlighted = on; }
    bool mouseDownInInfoButton() const { return iMouseDownInInfoButton; }
    void setMouseDownInInfoButton(bool on) { iMouseDownInInfoButton = on; }
    bool mouseHoveredInInfoButton() const { return iMouseHoveredInInfoButton; }
    void setMouseHoveredInInfoButton(bool on) { iMouseHoveredInInfoButton = on; }

    // The text's natural size in the cell's font.
    QSize textSize() const;

    // The area that acts as the button; none when the cell has no room for it.
    virtual std::optional<QRect> buttonRectForBounds(const QRect& bounds) const = 0;
    virtual QRect titleRectForBounds(const QRect& bounds) const = 0;
    virtual QSize cellSizeForBounds(const QRect& bounds) const = 0;
    // Where an in-place text editor goes.
    virtual QRect editingRectForBounds(const QRect& bounds) const = 0;
    virtual Hit hitTestForPoint(const QPoint& point, const QRect& bounds) const = 0;
    virtual void drawInterior(QPainter& painter, const QRect& bounds, const QPalette& palette) const = 0;

    // "info-" + "selected"/"normal" + "-mouse"/"-hovered"/"".
    QString infoButtonImageName() const;

protected:
    QColor textColor(const QPalette& palette) const;
    // Draws the information-button picture for the current state.
    void drawInfoButton(QPainter& painter, const QRect& rect) const;

private:
    QString m_text;
    QFont m_font;
    bool m_highlighted = false;
    bool iMouseDownInInfoButton = false;
    bool iMouseHoveredInInfoButton = false;
};

// A picture of the resource folder by name ("info-normal"), the "@2x"
// variant when the device pixel ratio calls for it; null when missing.
QImage namedResourcePicture(const QString& name, qreal devicePixelRatio);

} // namespace quire
