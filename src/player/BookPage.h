#pragma once
#include <QWebEnginePage>

namespace quire::player {

// The page that shows the book. Anything that would leave the book (a link
// into a new window or tab, a web link clicked in the book itself) goes to
// the desktop's browser instead, so the book window keeps the book. It also
// tells when the reader put its first page picture on show.
class BookPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit BookPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    // Whether a link to this address, clicked in the book, leaves it.
    static bool opensOutside(const QUrl& url);

signals:
    // An address handed to the desktop (also for tests and diagnostics).
    void openedOutside(const QUrl& url);
    // The reader has the first picture of a book it loaded on show: once per
    // load of the page, and once per load of the book in place.
    void firstPageShown();

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;

private:
    void openOutside(const QUrl& url);
};

} // namespace quire::player
