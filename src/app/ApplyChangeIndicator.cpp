#include "ApplyChangeIndicator.h"

namespace quire {

ApplyChangeIndicator::ApplyChangeIndicator(QObject* parent) : QObject(parent)
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ApplyChangeIndicator::onTimerEvent);
}

void ApplyChangeIndicator::start()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void ApplyChangeIndicator::stop()
{
    m_timer.stop();
    show(QStringLiteral("apply"));
}

void ApplyChangeIndicator::onTimerEvent()
{
    m_tag = (m_tag + 1) % 3;
    show(QStringLiteral("apply%1").arg(m_tag + 1));
}

void ApplyChangeIndicator::show(const QString& name)
{
    m_picture = name;
    emit pictureChanged(name);
}

} // namespace quire
