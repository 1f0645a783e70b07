#include "Log.h"

#include <log4cplus/appender.h>
#include <log4cplus/configurator.h>
#include <log4cplus/consoleappender.h>
#include <log4cplus/helpers/property.h>
#include <log4cplus/hierarchy.h>
#include <log4cplus/initializer.h>
#include <log4cplus/layout.h>
#include <log4cplus/logger.h>
#include <log4cplus/spi/loggingevent.h>

#include <QFileInfo>
#include <mutex>

namespace quire::log {
namespace {

constexpr const char* kAppenderFileKey = "log4cocoa.appender.InkwrightFileLog.File";
constexpr const char* kOurPrefix = "log4cocoa.";
constexpr const char* kLibraryPrefix = "log4cplus.";

log4cplus::LogLevel toLibrary(Level level)
{
    switch (level) {
    case Level::Debug: return log4cplus::DEBUG_LOG_LEVEL;
    case Level::Info: return log4cplus::INFO_LOG_LEVEL;
    case Level::Warn: return log4cplus::WARN_LOG_LEVEL;
    case Level::Error: return log4cplus::ERROR_LOG_LEVEL;
    }
    return log4cplus::ERROR_LOG_LEVEL;
}

Level fromLibrary(log4cplus::LogLevel level)
{
    if (level >= log4cplus::ERROR_LOG_LEVEL) return Level::Error;
    if (level >= log4cplus::WARN_LOG_LEVEL) return Level::Warn;
    if (level >= log4cplus::INFO_LOG_LEVEL) return Level::Info;
    return Level::Debug;
}

std::mutex& setupMutex()
{
    static std::mutex m;
    return m;
}

// Until the application configures the library, warnings and errors go to
// standard error so nothing important vanishes in tools and tests.
log4cplus::Logger& logger()
{
    static log4cplus::Logger instance = [] {
        log4cplus::initialize();
        auto root = log4cplus::Logger::getRoot();
        if (root.getAllAppenders().empty()) {
            log4cplus::SharedAppenderPtr console(new log4cplus::ConsoleAppender(true, true));
            console->setName(LOG4CPLUS_TEXT("QuireConsole"));
            console->setLayout(std::make_unique<log4cplus::PatternLayout>(
                LOG4CPLUS_TEXT("quire: %-5p %m%n")));
            console->setThreshold(log4cplus::WARN_LOG_LEVEL);
            root.addAppender(console);
            root.setLogLevel(log4cplus::WARN_LOG_LEVEL);
        }
        return log4cplus::Logger::getInstance(LOG4CPLUS_TEXT("Quire"));
    }();
    return instance;
}

// Hands each event at or above its threshold to a function.
class CallbackAppender final : public log4cplus::Appender {
public:
    CallbackAppender(Level threshold, std::function<void(Level, const QString&)> receive)
        : m_threshold(threshold), m_receive(std::move(receive))
    {
    }
    ~CallbackAppender() override { destructorImpl(); }
    void close() override {}

protected:
    void append(const log4cplus::spi::InternalLoggingEvent& event) override
    {
        const Level level = fromLibrary(event.getLogLevel());
        if (level >= m_threshold)
            m_receive(level, QString::fromStdString(event.getMessage()));
    }

private:
    Level m_threshold;
    std::function<void(Level, const QString&)> m_receive;
};

} // namespace

bool isEnabled(Level level)
{
    return logger().isEnabledFor(toLibrary(level));
}

void write(Level level, const char* file, int line, const char* method, const QString& message)
{
    logger().forcedLog(toLibrary(level), message.toStdString(), file, line, method);
}

bool configure(const QString& propertiesFile, const QString& logFile)
{
    std::lock_guard lock(setupMutex());
    logger();
    if (!QFileInfo(propertiesFile).isReadable())
        return false;

    log4cplus::helpers::Properties ours(propertiesFile.toStdString());
    ours.setProperty(kAppenderFileKey, logFile.toStdString());

    // log4cplus only reads its own prefix: carry every key over under it.
    log4cplus::helpers::Properties theirs;
    const std::string ourPrefix = kOurPrefix;
    for (const auto& key : ours.propertyNames()) {
        if (key.rfind(ourPrefix, 0) == 0)
            theirs.setProperty(kLibraryPrefix + key.substr(ourPrefix.size()), ours.getProperty(key));
        else
            theirs.setProperty(key, ours.getProperty(key));
    }

    auto& hierarchy = log4cplus::Logger::getDefaultHierarchy();
    hierarchy.resetConfiguration();
    log4cplus::PropertyConfigurator configurator(theirs, hierarchy);
    configurator.configure();
    return true;
}

void setConsoleThreshold(Level level)
{
    logger();
    auto root = log4cplus::Logger::getRoot();
    root.setLogLevel(toLibrary(level));
    if (auto console = root.getAppender(LOG4CPLUS_TEXT("QuireConsole")))
        console->setThreshold(toLibrary(level));
}

struct Listener::Impl {
    log4cplus::SharedAppenderPtr appender;
};

Listener::Listener(Level threshold, std::function<void(Level, const QString&)> receive) : d(std::make_unique<Impl>())
{
    d->appender = log4cplus::SharedAppenderPtr(new CallbackAppender(threshold, std::move(receive)));
    logger().addAppender(d->appender);
}

Listener::~Listener()
{
    logger().removeAppender(d->appender);
}

struct Capture::Impl {
    mutable std::mutex mutex;
    std::vector<std::pair<Level, QString>> lines;
    std::unique_ptr<Listener> listener;
    log4cplus::LogLevel previousLevel = log4cplus::NOT_SET_LOG_LEVEL;

    std::vector<std::pair<Level, QString>> copy() const
    {
        std::lock_guard lock(mutex);
        return lines;
    }
};

Capture::Capture(Level threshold) : d(std::make_unique<Impl>())
{
    auto& log = logger();
    d->previousLevel = log.getLogLevel();
    d->listener = std::make_unique<Listener>(threshold, [impl = d.get()](Level level, const QString& text) {
        std::lock_guard lock(impl->mutex);
        impl->lines.emplace_back(level, text);
    });
    log.setLogLevel(toLibrary(threshold));
}

Capture::~Capture()
{
    d->listener.reset();
    logger().setLogLevel(d->previousLevel);
}

QStringList Capture::messages() const
{
    QStringList out;
    for (const auto& [level, text] : d->copy())
        out << text;
    return out;
}

QStringList Capture::messages(Level level) const
{
    QStringList out;
    for (const auto& [l, text] : d->copy())
        if (l == level)
            out << text;
    return out;
}

bool Capture::contains(const QString& text) const
{
    for (const auto& [level, line] : d->copy())
        if (line.contains(text))
            return true;
    return false;
}

} // namespace quire::log
