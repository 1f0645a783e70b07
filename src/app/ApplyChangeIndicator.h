#pragma once
// The pending-changes indicator: the first property change starts a timer
// that cycles the Apply item's picture ("apply2", "apply3", "apply1", ...)
// every 0.33 seconds until the next rebuild shows "apply" again. Further
// changes neither restart nor speed it; the phase carries over from one
// running period to the next.
#include <QObject>
#include <QString>
#include <QTimer>

namespace quire {

class ApplyChangeIndicator : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 330;

    explicit ApplyChangeIndicator(QObject* parent = nullptr);

    // A property's value changed.
    void start();
    // A rebuild began.
    void stop();
    // One tick of the timer: the next phase and its picture.
    void onTimerEvent();

    bool isRunning() const { return m_timer.isActive(); }
    int tag() const { return m_tag; }
    const QString& picture() const { return m_picture; }

signals:
    void pictureChanged(const QString& name);

private:
    void show(const QString& name);

    QTimer m_timer;
    int m_tag = 0;
    QString m_picture = QStringLiteral("apply");
};

} // namespace quire
