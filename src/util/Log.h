#pragma once
// Thin layer over log4cplus. Every call carries the source file, line and
// method; debug and info skip formatting unless their level is enabled.
#include "Format.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace quire::log {

enum class Level { Debug, Info, Warn, Error };

bool isEnabled(Level level);
void write(Level level, const char* file, int line, const char* method, const QString& message);

// Loads a "log4cocoa."-keyed properties file, points the InkwrightFileLog
// appender at logFile and applies it. Returns false when the file is unreadable
// (the console fallback then stays in place).
bool configure(const QString& propertiesFile, const QString& logFile);

// Sets the threshold of the console fallback used before configure().
void setConsoleThreshold(Level level);

// Hands every message logged at or above `threshold` to `receive` while
// alive, on the thread that logged it. It changes no level: debug and info
// messages arrive only while their level is enabled.
class Listener {
public:
    Listener(Level threshold, std::function<void(Level, const QString&)> receive);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Collects log lines while alive; for tests and diagnostics.
class Capture {
public:
    explicit Capture(Level threshold = Level::Debug);
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    QStringList messages() const;                      // every captured message
    QStringList messages(Level level) const;           // at exactly that level
    bool contains(const QString& text) const;          // any message containing text

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace quire::log

#define QUIRE_LOG_AT(level, checked, fmt, ...)                                                   \
    do {                                                                                       \
        if (!(checked) || ::quire::log::isEnabled(level))                                      \
            ::quire::log::write(level, __FILE__, __LINE__, __func__,                           \
                                ::quire::formatMessage(fmt __VA_OPT__(, { __VA_ARGS__ })));    \
    } while (0)

#define QLOG_DEBUG(fmt, ...) QUIRE_LOG_AT(::quire::log::Level::Debug, true, fmt __VA_OPT__(, ) __VA_ARGS__)
#define QLOG_INFO(fmt, ...) QUIRE_LOG_AT(::quire::log::Level::Info, true, fmt __VA_OPT__(, ) __VA_ARGS__)
#define QLOG_WARN(fmt, ...) QUIRE_LOG_AT(::quire::log::Level::Warn, false, fmt __VA_OPT__(, ) __VA_ARGS__)
#define QLOG_ERROR(fmt, ...) QUIRE_LOG_AT(::quire::log::Level::Error, false, fmt __VA_OPT__(, ) __VA_ARGS__)
