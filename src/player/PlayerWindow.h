#pragma once
#include "BookLocation.h"

#include <QMainWindow>

class QWebEngineProfile;
class QWebEngineView;

namespace quire::player {

class BookPage;

// The book's window: one web view showing the book's page, titled with the
// page's title, with the keyboard going to the book.
class PlayerWindow : public QMainWindow {
    Q_OBJECT
public:
    // The profile must outlive the window.
    PlayerWindow(const BookLocation& book, QWebEngineProfile* profile, QWidget* parent = nullptr);

    void open();
    BookPage* page() const { return m_page; }
    QWebEngineView* view() const { return m_view; }

    QUrl bookUrl() const;
    static QSize defaultSize();

private:
    void showTitle(const QString& title);

    BookLocation m_book;
    QWebEngineView* m_view;
    BookPage* m_page;
};

} // namespace quire::player
