#include "BookPage.h"

#include <QDesktopServices>
#include <QWebEngineNewWindowRequest>

namespace quire::player {

BookPage::BookPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
    // Not taking the request (no openIn) leaves the book without a new window.
    connect(this, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest& request) {
        openOutside(request.requestedUrl());
    });
}

bool BookPage::opensOutside(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String("mailto") || scheme == QLatin1String("ftp");
}

bool BookPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (isMainFrame && type == NavigationTypeLinkClicked && opensOutside(url)) {
        openOutside(url);
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void BookPage::openOutside(const QUrl& url)
{
    if (!url.isValid() || url.isEmpty())
        return;
    emit openedOutside(url);
    QDesktopServices::openUrl(url);
}

} // namespace quire::player
