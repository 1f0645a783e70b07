#include "PreviewView.h"

#include "player/BookPage.h"

#include "publish/PublishConstants.h"
#include "util/FileUtil.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace quire {
namespace {

// The book's container as a script's string, handed to the reader with a
// reload so that it need not read it back through the browser's file
// loading, the slowest part of a reload; nothing for a very large one, which
// would make a script of tens of megabytes and which the reader reads itself.
QString containerArgument(const QString& page)
{
    constexpr qint64 kMostHandedOver = 8 * 1024 * 1024;
    QFile container(fs::join(QFileInfo(page).absolutePath(), QString::fromUtf8(publish::kResourceFolder),
                             QString::fromUtf8(publish::kContainerName)));
    if (!container.open(QIODevice::ReadOnly) || container.size() > kMostHandedOver)
        return QString();
    return QLatin1Char('\'') + QString::fromLatin1(container.readAll().toBase64()) + QLatin1Char('\'');
}

} // namespace

const char* PreviewView::kReaderStateScript = R"JS(
(function () {
  var root = document.getElementById('qv');
  if (!root) return { state: 'none' };
  var faces = Array.prototype.slice.call(root.querySelectorAll('.qv-slot .qv-page[data-position]'));
  var shown = Array.prototype.slice.call(root.querySelectorAll('.qv-slot canvas'));
  var live = root.querySelector('.qv-live');
  var theme = /qv-theme-([\w-]+)/.exec(root.className);
  return {
    state: root.dataset.state || '',
    spread: root.dataset.spread || '',
    status: live ? live.textContent : '',
    pictures: shown.length,
    loaded: shown.filter(function (c) { return c.width > 0; }).length,
    firstPage: faces.length ? faces[0].getAttribute('data-position') : '',
    background: root.style.getPropertyValue('--qv-background').trim(),
    theme: theme ? theme[1] : '',
    hardPages: root.querySelectorAll('.qv-hard').length
  };
})()
)JS";

PreviewView::PreviewView(QWidget* parent) : QWebEngineView(parent), m_profile(new QWebEngineProfile(this))
{
    setObjectName(QStringLiteral("webView"));
    auto* page = new player::BookPage(m_profile, this);
    QWebEngineSettings* settings = page->settings();
    // The reader reads its pictures and configuration beside its page.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    setPage(page);
    connect(page, &player::BookPage::firstPageShown, this, &PreviewView::firstPageShown);
    // Documents dropped here go to the window, which imports them.
    setAcceptDrops(false);
    connect(page, &QWebEnginePage::loadStarted, this, [this] { m_loaded = false; });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_loaded = ok;
        if (!ok)
            emit previewFailed(url());
    });
}

PreviewView::~PreviewView()
{
    // The page must go before its profile.
    delete page();
}

int PreviewView::shownPage() const
{
    const QString fragment = url().fragment();
    return fragment.startsWith(QLatin1String("page=")) ? fragment.mid(5).toInt() : 0;
}

void PreviewView::showPreview(const QString& path, bool bookOnly)
{
    const QUrl book = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    const int asked = ++m_loads;
    if (url().adjusted(QUrl::RemoveFragment) != book) {
        load(book);
    } else if (bookOnly && m_loaded) {
        // The reader answers true once it has started loading the book.
        QPointer<PreviewView> self(this);
        page()->runJavaScript(QStringLiteral("typeof quireReloadBook === 'function' && quireReloadBook(%1) === true")
                                  .arg(containerArgument(path)),
                              [self, asked](const QVariant& started) {
                                  if (self && self->m_loads == asked && !started.toBool())
                                      self->reloadPage();
                              });
    } else {
        reloadPage();
    }
}

void PreviewView::reloadPage()
{
    // The same address with only the fragment changed would not be loaded
    // again: reload it, fragment and all, past any cached copy.
    page()->triggerAction(QWebEnginePage::ReloadAndBypassCache);
}

} // namespace quire
