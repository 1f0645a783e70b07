#pragma once
#include <QWebEnginePage>

namespace quire::player {

// The page that shows the book. Anything that would leave the book (a link
// into a new window or tab, a web link clicked in the book itself) goes to
// the desktop's browser instead, so the book window keeps the book.
class BookPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit BookPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    // Whether a link to this address, clicked in the book, leaves it.
    static bool opensOutside(const QUrl& url);

signals:
    // An address handed to the desktop (also for tests and diagnostics).
    void openedOutside(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    void openOutside(const QUrl& url);
};

} // namespace quire::player
