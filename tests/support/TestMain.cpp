// Test entry point: isolates the user's folders before anything reads them.
#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#if defined(QUIRE_TEST_WEBENGINE)
#include <QApplication>
#include <unistd.h>
#elif defined(QUIRE_TEST_WIDGETS)
#include <QApplication>
#elif defined(QUIRE_TEST_GUI)
#include <QGuiApplication>
#else
#include <QCoreApplication>
#endif

namespace {
QString g_home;
}

namespace quire::test {
QString testHome()
{
    return g_home;
}
} // namespace quire::test

int main(int argc, char** argv)
{
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/quire-test-XXXXXX"));
    if (!home.isValid())
        return 2;
    g_home = home.path();
    const QByteArray h = QFile::encodeName(g_home);
    qputenv("HOME", h);
    qputenv("XDG_DATA_HOME", h + "/.local/share");
    qputenv("XDG_CONFIG_HOME", h + "/.config");
    qputenv("XDG_CACHE_HOME", h + "/.cache");
    qputenv("XDG_STATE_HOME", h + "/.local/state");
    qputenv("XDG_RUNTIME_DIR", h + "/runtime");
    QDir().mkpath(g_home + QStringLiteral("/runtime"));
    QFile::setPermissions(g_home + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

#if defined(QUIRE_TEST_WEBENGINE)
    // Chromium's sandbox does not start as root (CI); WebEngine wants the
    // shared contexts set before the application exists.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
#elif defined(QUIRE_TEST_WIDGETS)
    QApplication app(argc, argv);
#elif defined(QUIRE_TEST_GUI)
    QGuiApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
