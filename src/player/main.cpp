// quire-player: shows a published book (its "index.html") in a window of
// its own. Each desktop bundle carries a copy and starts it through its
// launcher.
#include "BookLocation.h"
#include "LoadReport.h"
#include "PlayerWindow.h"
#include "WebEngineStart.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QMessageBox>
#include <QWebEngineProfile>
#include <cstdio>
#include <memory>

using namespace quire::player;

int main(int argc, char** argv)
{
    const bool headless = prepareApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quire-player"));
    QApplication::setOrganizationName(QStringLiteral("Quire"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/quire-64.png"));
    icon.addFile(QStringLiteral(":/icons/quire.png"));
    QApplication::setWindowIcon(icon);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows a book published by Quire."));
    parser.addHelpOption();
    const QCommandLineOption quitAfterLoad(QStringLiteral("quit-after-load"),
        QStringLiteral("Load the book, print its title and how many pictures loaded, and quit."));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
        QStringLiteral("With --quit-after-load: give up after this many seconds (default 60)."),
        QStringLiteral("seconds"), QStringLiteral("60"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
        QStringLiteral("With --quit-after-load: save a picture of the window to this file."),
        QStringLiteral("file"));
    parser.addOptions({quitAfterLoad, timeout, screenshot});
    parser.addPositionalArgument(QStringLiteral("book"),
        QStringLiteral("The book's page (index.html), its folder, or its bundle folder (N.app)."));
    parser.process(app);

    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(parser.helpText()));
        return 2;
    }
    const BookLocation book = BookLocation::fromArgument(parser.positionalArguments().first());
    if (!book.exists) {
        const QString message = QStringLiteral("The book cannot be opened: its page \"%1\" does not exist.").arg(book.page);
        std::fprintf(stderr, "quire-player: %s\n", qUtf8Printable(message));
        if (!parser.isSet(quitAfterLoad) && canShowDialogs())
            QMessageBox::critical(nullptr, QStringLiteral("Quire Player"), message);
        return 1;
    }
    if (headless && !parser.isSet(quitAfterLoad)) {
        std::fprintf(stderr, "quire-player: there is no display to show the book on (neither DISPLAY nor "
                             "WAYLAND_DISPLAY is set). Open it from a desktop session, or check it without a "
                             "window with --quit-after-load.\n");
        return 1;
    }

    // A profile of its own keeps what the book stores (the page it was left
    // at, say) from one run to the next; it must outlive the window.
    QWebEngineProfile profile(QStringLiteral("quire-player"));
    PlayerWindow window(book, &profile);
    std::unique_ptr<LoadReport> report;
    if (parser.isSet(quitAfterLoad)) {
        bool ok = false;
        const int seconds = parser.value(timeout).toInt(&ok);
        report = std::make_unique<LoadReport>(&window, (ok && seconds > 0 ? seconds : 60) * 1000, parser.value(screenshot));
    }
    window.show();
    window.open();
    return app.exec();
}
