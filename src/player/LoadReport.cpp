#include "LoadReport.h"
#include "BookPage.h"
#include "PlayerWindow.h"

#include <QCoreApplication>
#include <QTimer>
#include <QVariantMap>
#include <QWebEngineLoadingInfo>
#include <cstdio>

namespace quire::player {

namespace {

// Counts the page's pictures: all, fully decoded, and still coming; and
// whether the page itself has finished. The book viewer draws its pages into
// canvases of the class "qv-picture", which stay empty until drawn.
const char* kImageScript = R"JS(
(function () {
  var all = Array.prototype.slice.call(document.images);
  var pages = Array.prototype.slice.call(document.querySelectorAll('canvas.qv-picture'));
  return {
    total: all.length + pages.length,
    loaded: all.filter(function (i) { return i.complete && i.naturalWidth > 0; }).length +
      pages.filter(function (c) { return c.width > 0; }).length,
    pending: all.filter(function (i) { return !i.complete; }).length +
      pages.filter(function (c) { return c.width === 0; }).length,
    ready: document.readyState === "complete",
    focused: document.hasFocus()
  };
})()
)JS";

constexpr int kPollMs = 100;
// Late title changes and windows opened by the page's own start-up
// scripts arrive shortly after the load; give them that long.
constexpr int kSettleMs = 400;

} // namespace

LoadReport::LoadReport(PlayerWindow* window, int timeoutMs, QString screenshotFile)
    : m_window(window)
    , m_timeoutMs(timeoutMs)
    , m_screenshotFile(std::move(screenshotFile))
    , m_out(stdout)
{
    connect(window->page(), &QWebEnginePage::loadingChanged, this, &LoadReport::loadingChanged);
    // At once, for whoever measures how soon a reader sees the book.
    connect(window->page(), &BookPage::firstPageShown, this, [this] { m_out << "first page: shown" << Qt::endl; });
    connect(window->page(), &BookPage::openedOutside, this, [this](const QUrl& url) {
        m_out << "outside: " << url.toString() << Qt::endl;
    });
    QTimer::singleShot(timeoutMs, this, [this] {
        std::fprintf(stderr, "quire-player: the book did not finish loading in %d ms\n", m_timeoutMs);
        finish(1);
    });
}

void LoadReport::loadingChanged(const QWebEngineLoadingInfo& info)
{
    if (m_done || info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
        return;
    if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && info.url() == m_window->bookUrl()) {
        std::fprintf(stderr, "quire-player: could not load %s: %s\n", qUtf8Printable(info.url().toString()),
                     qUtf8Printable(info.errorString()));
        finish(1);
        return;
    }
    // Anything else ends a load: the book's own, or a navigation away from
    // it that was turned down (the book stays); the poll waits for the page.
    QTimer::singleShot(kSettleMs, this, &LoadReport::pollImages);
}

void LoadReport::pollImages()
{
    if (m_done)
        return;
    m_window->page()->runJavaScript(QString::fromUtf8(kImageScript), [this](const QVariant& result) {
        if (m_done)
            return;
        const QVariantMap counts = result.toMap();
        if (!counts.value(QStringLiteral("ready")).toBool() || counts.value(QStringLiteral("pending")).toInt() > 0) {
            QTimer::singleShot(kPollMs, this, &LoadReport::pollImages);
            return;
        }
        m_out << "title: " << m_window->windowTitle() << Qt::endl;
        m_out << "images: " << counts.value(QStringLiteral("loaded")).toInt() << '/'
              << counts.value(QStringLiteral("total")).toInt() << Qt::endl;
        m_out << "focus: " << (counts.value(QStringLiteral("focused")).toBool() ? "book" : "elsewhere") << Qt::endl;
        if (!m_screenshotFile.isEmpty()) {
            if (m_window->grab().save(m_screenshotFile))
                m_out << "screenshot: " << m_screenshotFile << Qt::endl;
            else
                std::fprintf(stderr, "quire-player: could not write %s\n", qUtf8Printable(m_screenshotFile));
        }
        finish(0);
    });
}

void LoadReport::finish(int exitCode)
{
    if (m_done)
        return;
    m_done = true;
    m_out.flush();
    QCoreApplication::exit(exitCode);
}

} // namespace quire::player
