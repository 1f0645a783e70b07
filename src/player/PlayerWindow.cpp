#include "PlayerWindow.h"
#include "BookPage.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace quire::player {

PlayerWindow::PlayerWindow(const BookLocation& book, QWebEngineProfile* profile, QWidget* parent)
    : QMainWindow(parent)
    , m_book(book)
    , m_view(new QWebEngineView(this))
    , m_page(new BookPage(profile, m_view))
{
    QWebEngineSettings* settings = m_page->settings();
    // The book reads its pages, configuration and sounds beside its page.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // Turning a page may play a sound without the reader having clicked yet.
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);

    m_view->setPage(m_page);
    setCentralWidget(m_view);
    setFocusProxy(m_view);
    resize(defaultSize());
    showTitle(QString());

    connect(m_page, &QWebEnginePage::titleChanged, this, &PlayerWindow::showTitle);
    connect(m_page, &QWebEnginePage::loadFinished, this, [this] { m_view->setFocus(); });
    connect(m_page, &QWebEnginePage::fullScreenRequested, this, [this](QWebEngineFullScreenRequest request) {
        request.accept();
        if (request.toggleOn())
            showFullScreen();
        else
            showNormal();
    });
}

void PlayerWindow::open()
{
    m_page->load(bookUrl());
    m_view->setFocus();
}

QUrl PlayerWindow::bookUrl() const
{
    return QUrl::fromLocalFile(m_book.page);
}

QSize PlayerWindow::defaultSize()
{
    // A book lies open in landscape; leave room around the window.
    QSize size(1200, 800);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableSize() * 0.9;
        if (room.isValid() && !room.isEmpty())
            size = size.boundedTo(room);
    }
    return size;
}

void PlayerWindow::showTitle(const QString& title)
{
    // Without a <title> the engine reports the page's file name or address.
    const QString shown = title.trimmed();
    const bool named = !shown.isEmpty() && shown != QFileInfo(m_book.page).fileName()
        && QUrl::fromUserInput(shown) != QUrl::fromLocalFile(m_book.page) && shown != m_page->url().toString();
    setWindowTitle(named ? title.trimmed() : m_book.name);
}

} // namespace quire::player
