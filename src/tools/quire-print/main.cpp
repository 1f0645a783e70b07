// quire-print: a text or RTF document to a PDF file, laid out by the import.
#include "PrintArguments.h"
#include "import/text/TextToPdf.h"
#include "util/Log.h"

#include <QGuiApplication>
#include <log4cplus/appender.h>
#include <log4cplus/logger.h>
#include <cstdio>

using namespace quire;
using namespace quire::print;

int main(int argc, char** argv)
{
    // Text layout needs a GUI application, never a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt would take options such as -style for itself: it sees none of ours.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "quire-print: %s\n", qPrintable(message));
    });
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quire-print"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    // The tool says itself what went wrong; the conversion's log lines, which
    // would only repeat it, go nowhere (there is no log file at build time).
    log::setConsoleThreshold(log::Level::Error);
    if (auto console = log4cplus::Logger::getRoot().getAppender(LOG4CPLUS_TEXT("QuireConsole")))
        console->setThreshold(log4cplus::OFF_LOG_LEVEL);

    Checked checked = parseArguments(arguments);
    if (checked.arguments && checked.arguments->mode == Mode::Print)
        checked = checkFiles(*checked.arguments);
    if (!checked.arguments) {
        std::fprintf(stderr, "quire-print: %s\n", qPrintable(checked.error));
        if (checked.status == kUsage)
            std::fprintf(stderr, "\n%s", qPrintable(usageText()));
        return checked.status;
    }
    const Arguments& a = *checked.arguments;
    if (a.mode == Mode::Help) {
        std::printf("%s", qPrintable(usageText()));
        return kDone;
    }
    if (a.mode == Mode::Version) {
        std::printf("quire-print %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return kDone;
    }

    const std::optional<ConversionResult> result = TextToPdf::convertForImport(a.source, a.output);
    if (!result || !result->ok) {
        std::fprintf(stderr, "quire-print: %s\n",
                     qPrintable(result ? result->error : QStringLiteral("%1: cannot be printed").arg(a.source)));
        return kSourceUnreadable;
    }
    for (const QString& warning : result->warnings)
        std::fprintf(stderr, "quire-print: warning: %s\n", qPrintable(warning));
    if (!a.quiet)
        std::printf("%s: %d page%s\n", qPrintable(a.output), result->pageCount, result->pageCount == 1 ? "" : "s");
    return a.strict && !result->warnings.isEmpty() ? kWarnings : kDone;
}
