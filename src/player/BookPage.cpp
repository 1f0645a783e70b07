#include "BookPage.h"

#include <QDesktopServices>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace quire::player {
namespace {

// The reader marks the moment its first picture arrives ("quire-first-page"),
// again each time it loads the book in place; every mark becomes a console
// message that the page picks up.
constexpr const char* kFirstPageMark = "quire-first-page";
constexpr const char* kFirstPageWatch = R"JS(
(function () {
  if (!window.PerformanceObserver) return;
  new PerformanceObserver(function (list) {
    list.getEntries().forEach(function (e) {
      if (e.name === 'quire-first-page') console.info('quire-first-page');
    });
  }).observe({ type: 'mark', buffered: true });
})();
)JS";

} // namespace

BookPage::BookPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
    // Not taking the request (no openIn) leaves the book without a new window.
    connect(this, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest& request) {
        openOutside(request.requestedUrl());
    });
    QWebEngineScript watch;
    watch.setName(QString::fromLatin1(kFirstPageMark));
    watch.setSourceCode(QString::fromUtf8(kFirstPageWatch));
    watch.setInjectionPoint(QWebEngineScript::DocumentCreation);
    watch.setWorldId(QWebEngineScript::MainWorld);
    scripts().insert(watch);
}

void BookPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                        const QString& source)
{
    if (message == QLatin1String(kFirstPageMark))
        emit firstPageShown();
    else
        QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
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
