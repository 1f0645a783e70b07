#include "app/AppLog.h"
#include "support/TestEnv.h"
#include "util/Log.h"

#include <QFileInfo>
#include <gtest/gtest.h>

TEST(AppLog, LogFileLivesUnderApplicationSupport)
{
    const QString expected = quire::test::testHome() + "/.local/share/Inkwright/Quire`/Quire for Mac.log";
    EXPECT_EQ(quire::logFilePath(), expected);
}

TEST(AppLog, ShippedConfigurationWritesTheLogFile)
{
    quire::prepaireTheLog();
    QLOG_INFO("version is:%@", "test");
    QLOG_DEBUG("below the shipped threshold");
    const QByteArray text = quire::test::readFile(quire::logFilePath());
    EXPECT_TRUE(text.contains("version is:test"));
    EXPECT_FALSE(text.contains("below the shipped threshold"));
}
