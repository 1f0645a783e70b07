#include "Console.h"

#include <cstdio>
#include <mutex>

namespace quire::console {
namespace {
std::mutex g_mutex;
std::function<void(const QString&)> g_sink;
} // namespace

void line(const QString& text)
{
    std::function<void(const QString&)> sink;
    {
        std::lock_guard lock(g_mutex);
        sink = g_sink;
    }
    if (sink) {
        sink(text);
        return;
    }
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

void setSink(std::function<void(const QString&)> sink)
{
    std::lock_guard lock(g_mutex);
    g_sink = std::move(sink);
}

} // namespace quire::console
