#include "ProgressBar.h"

#include "util/Format.h"

#include <cstdio>

namespace quire::cli {

ProgressBar::ProgressBar(bool enabled) : m_enabled(enabled) {}

ProgressBar::~ProgressBar()
{
    finishLine();
}

void ProgressBar::importing(int pageIndex, int totalPage, const QString& phase)
{
    if (!m_enabled || totalPage <= 0)
        return;
    constexpr int width = 30;
    const int filled = int((long long)width * pageIndex / totalPage);
    const QString bar = QString(filled, QLatin1Char('#')) + QString(width - filled, QLatin1Char('.'));
    const QString text = formatMessage("Importing:%d/%d", {pageIndex, totalPage});
    std::lock_guard lock(m_mutex);
    std::fprintf(stderr, "\r%-20s [%s] %s\x1b[K", qPrintable(text), qPrintable(bar), qPrintable(phase));
    std::fflush(stderr);
    m_openLine = true;
}

void ProgressBar::step(const QString& text)
{
    if (!m_enabled)
        return;
    std::lock_guard lock(m_mutex);
    endOpenLine();
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

void ProgressBar::warning(const QString& text)
{
    std::lock_guard lock(m_mutex);
    endOpenLine();
    std::fprintf(stderr, "quire-convert: warning: %s\n", qPrintable(text));
}

void ProgressBar::finishLine()
{
    std::lock_guard lock(m_mutex);
    endOpenLine();
}

void ProgressBar::endOpenLine()
{
    if (m_openLine) {
        std::fputc('\n', stderr);
        m_openLine = false;
    }
}

} // namespace quire::cli
