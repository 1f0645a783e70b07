// quire: the application window. Imports a document, shows the book as it
// will look, and publishes it.
//   quire [FILE]                 FILE (.txt, .rtf, .pdf) is offered for import at once
//   quire --quit-after-preview   start, wait for the preview's first page, print the time and quit
#include "app/D_Folio_for_macAppDelegate.h"
#include "gui/app/MainWindow.h"
#include "gui/app/PreviewView.h"
#include "player/WebEngineStart.h"
#include "util/Resources.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <cstdio>

using namespace quire;

int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    const bool headless = player::prepareApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quire"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quire"));
    QApplication::setApplicationVersion(D_Folio_for_macAppDelegate::versionString());
    QApplication::setDesktopFileName(QStringLiteral("quire"));
    QIcon icon = QIcon::fromTheme(QStringLiteral("quire"));
    if (icon.isNull()) {
        icon.addFile(resourcePath(QStringLiteral("quire-64.png")));
        icon.addFile(resourcePath(QStringLiteral("quire.png")));
    }
    QApplication::setWindowIcon(icon);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Turns a document into a page-flip book."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption quitAfterPreview(QStringLiteral("quit-after-preview"),
        QStringLiteral("Start, wait until the preview shows its first page, print how long that took and quit."));
    parser.addOption(quitAfterPreview);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A .txt, .rtf or .pdf document to import."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    const bool check = parser.isSet(quitAfterPreview);
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(parser.helpText()));
        return 2;
    }
    if (headless && !check) {
        std::fprintf(stderr, "quire: there is no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY "
                             "is set). Start it from a desktop session, or convert documents without a window "
                             "with quire-convert.\n");
        return 1;
    }

    MainWindow window;
    if (check) {
        QObject::connect(window.webView(), &PreviewView::firstPageShown, &app, [&] {
            std::printf("first page: %lld ms\n", static_cast<long long>(sinceStart.elapsed()));
            std::fflush(stdout);
            QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
        });
        QTimer::singleShot(60000, &app, [] {
            std::fprintf(stderr, "quire: the preview did not show its first page in 60 s\n");
            QApplication::exit(1);
        });
    }
    window.applicationDidFinishLaunching();
    if (!parser.positionalArguments().isEmpty())
        window.importDocument(QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath());
    return app.exec();
}
