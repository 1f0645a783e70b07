#include "WarningEcho.h"

namespace quire::cli {

WarningEcho::WarningEcho(ProgressBar& progress)
    : m_progress(progress), m_listener(log::Level::Warn, [this](log::Level level, const QString& text) {
          if (level == log::Level::Warn) {
              m_progress.warning(text);
              return;
          }
          std::lock_guard lock(m_mutex);
          m_errors << text;
      })
{
}

void WarningEcho::showErrorsThatDidNotStopIt()
{
    QStringList errors;
    {
        std::lock_guard lock(m_mutex);
        errors.swap(m_errors);
    }
    for (const QString& text : errors)
        m_progress.warning(text);
}

} // namespace quire::cli
