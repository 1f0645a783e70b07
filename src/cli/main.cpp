// quire-convert: documents to page-flip books without the window.
#include "CliOptions.h"
#include "ArgumentPaths.h"
#include "ConvertJob.h"
#include "TemplateChoice.h"
#include "WarningEcho.h"
#include "app/AppLog.h"
#include "util/Console.h"
#include "util/FileUtil.h"
#include "util/Log.h"

#include <QGuiApplication>
#include <cstdio>
#include <optional>
#include <unistd.h>

using namespace quire;
using namespace quire::cli;

namespace {

void printTree(const FlashTemplate::PropertyList& list, int depth)
{
    for (const auto& p : list) {
        std::printf("%*s%s (%s) = %s\n", depth * 2, "", qPrintable(textOr(p->key())),
                    qPrintable(flashTemplatePropertyTypeName(p->propertyType())), qPrintable(textOr(p->value())));
        printTree(p->childProperties(), depth + 1);
    }
}

int report(const JobResult& result)
{
    if (result.status != kDone)
        std::fprintf(stderr, "quire-convert: %s\n", qPrintable(result.message));
    return result.status;
}

} // namespace

int main(int argc, char** argv)
{
    // Text layout needs a GUI application, never a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
        QLOG_INFO("qt: %@", message);
    });
    // Qt would take options such as --style for itself: it sees none of ours.
    // File names keep their bytes, UTF-8 or not.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << argumentText(QByteArray(argv[i]));
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quire-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));

    // Standard error is ours: log lines and diagnostics go to the log file.
    prepaireTheLog();
    console::setSink([](const QString& text) { QLOG_INFO("console: %@", text); });

    const ParseResult parsed = parseArguments(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "quire-convert: %s\n\n%s", qPrintable(parsed.error), qPrintable(usageText()));
        return kUsage;
    }
    const Options& o = *parsed.options;

    switch (o.mode) {
    case Mode::Help:
        std::printf("%s", qPrintable(usageText()));
        return kDone;
    case Mode::Version:
        std::printf("quire-convert %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return kDone;
    case Mode::ListTemplates:
        for (const QString& name : templateNames()) {
            std::printf("%s\n", qPrintable(name));
            for (const QString& style : FlashTemplate::tmplStyleNamesForTmpl(name))
                std::printf("  %s\n", qPrintable(fs::lastPathComponent(style)));
        }
        return kDone;
    case Mode::ShowTemplate: {
        TemplateChoice choice;
        if (JobResult bad = choice.resolve(o); bad.status != kDone)
            return report(bad);
        const auto flashTemplate = choice.load();
        std::printf("template %s, style %s\n", qPrintable(flashTemplate->tmplName()), qPrintable(choice.styleName()));
        printTree(flashTemplate->properties(), 1);
        return kDone;
    }
    case Mode::ExportSettings:
        return report(exportSettings(o));
    case Mode::Convert:
        break;
    }

    ProgressBar progress(!o.quiet && ::isatty(STDERR_FILENO));
    std::optional<WarningEcho> warnings;
    if (!o.quiet)
        warnings.emplace(progress);
    const JobResult result = runConversion(o, progress);
    if (result.status == kDone && warnings)
        warnings->showErrorsThatDidNotStopIt();
    warnings.reset();
    if (result.status == kDone && !o.quiet)
        std::printf("%s\n", argumentBytes(result.output).constData());
    return report(result);
}
