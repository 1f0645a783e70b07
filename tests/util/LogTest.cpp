#include "support/TestEnv.h"
#include "util/Log.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace quire;

TEST(Log, DebugIsNotFormattedWhenDisabled)
{
    log::setConsoleThreshold(log::Level::Warn);
    int evaluated = 0;
    auto count = [&] { return ++evaluated; };
    QLOG_DEBUG("value %d", count());
    QLOG_INFO("value %d", count());
    EXPECT_EQ(evaluated, 0);
    QLOG_WARN("value %d", count());
    EXPECT_EQ(evaluated, 1);
}

TEST(Log, CaptureSeesLevelsAndFormattedMessages)
{
    log::Capture capture;
    QLOG_DEBUG("range[%d]=%@", 0, 5);
    QLOG_ERROR("Run Import PDF Operation error,import pages:%@", "broken");
    EXPECT_EQ(capture.messages(log::Level::Debug), QStringList{"range[0]=5"});
    EXPECT_TRUE(capture.contains("import pages:broken"));
    EXPECT_EQ(capture.messages().size(), 2);
}

TEST(Log, ConfigureWritesToTheFileNamedFromCode)
{
    test::TempDir dir;
    const QString props = dir.file("logging.properties");
    test::writeFile(props,
        "log4cocoa.rootLogger=DEBUG, InkwrightFileLog\n"
        "log4cocoa.appender.InkwrightFileLog=log4cplus::FileAppender\n"
        "log4cocoa.appender.InkwrightFileLog.File=/nonexistent/ignored.log\n"
        "log4cocoa.appender.InkwrightFileLog.layout=log4cplus::PatternLayout\n"
        "log4cocoa.appender.InkwrightFileLog.layout.ConversionPattern=%p %b %M %m%n\n");
    const QString logFile = dir.file("out/app.log");
    QDir().mkpath(dir.file("out"));
    ASSERT_TRUE(log::configure(props, logFile));
    QLOG_INFO("version is:%@", "1.0.0");
    QLOG_DEBUG("range[%d]=%@", 1, 2);
    const QByteArray text = test::readFile(logFile);
    EXPECT_TRUE(text.contains("INFO LogTest.cpp"));
    EXPECT_TRUE(text.contains("version is:1.0.0"));
    EXPECT_TRUE(text.contains("range[1]=2"));
    EXPECT_FALSE(log::configure(dir.file("missing.properties"), logFile));
    log::setConsoleThreshold(log::Level::Warn);
}
