// Application benchmark.
//  1. Start-up to the preview's first page on screen: `quire
//     --quit-after-preview` against `quire-player --quit-after-load` opening
//     the same demonstration book (the floor: a web view showing a finished
//     book). Both report the moment the reader shows its first picture.
//  2. Apply on a 500-page book (pictures, words, thumbnails) after one property change, until the
//     preview shows its first page again (target: under 300 ms, and under
//     0.3 times publishing the same book from scratch).
#include "../publish/BenchBooks.h"
#include "app/D_Folio_for_macAppDelegate.h"
#include "app/QuillUtility.h"
#include "gui/app/MainWindow.h"
#include "gui/app/PreviewView.h"
#include "gui/templates/FlashTemplateOutlineDelegate.h"
#include "publish/FlashBookOutput.h"
#include "util/FileUtil.h"
#include "util/Resources.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace quire;

namespace {

using bench::median;
using bench::msSince;

// Milliseconds from starting the program until it prints "first page:";
// negative when it never does.
double timeToFirstPage(const QString& program, const QStringList& arguments, const QProcessEnvironment& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    double seen = -1;
    QByteArray out;
    while (seen < 0 && process.waitForReadyRead(60000)) {
        out += process.readAllStandardOutput();
        if (out.contains("first page:"))
            seen = msSince(timer);
    }
    if (!process.waitForFinished(30000))
        process.kill();
    process.waitForFinished(5000);
    return seen;
}

void benchStartUp(const QString& work)
{
    constexpr int kRounds = 5;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString home = fs::join(work, "home");
    for (const auto& [name, sub] : {std::pair{"HOME", ""}, {"XDG_DATA_HOME", "/share"}, {"XDG_CONFIG_HOME", "/config"},
                                    {"XDG_CACHE_HOME", "/cache"}, {"XDG_RUNTIME_DIR", "/run"}}) {
        QDir().mkpath(home + sub);
        env.insert(name, home + sub);
    }
    QFile::setPermissions(home + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert("QUIRE_FLASH_TRUST_FOLDER", fs::join(work, "trust"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");

    // The demonstration book as the application shows it, for the player.
    const QString book = fs::join(work, "demo");
    QDir().mkpath(book);
    {
        D_Folio_for_macAppDelegate app;
        app.applicationDidFinishLaunching();
        FlashBookOutput out(app.flashPageSource(), app.flashTmpl(), book, QString("index.html"));
        out.setHTMLConfig(std::make_shared<HTMLConfigInfo>());
        if (const PublishResult r = out.ouputTheBook(); !r.ok())
            std::fprintf(stderr, "publishing the demonstration book failed: %s\n", qPrintable(r.description()));
    }
    const QString bin = QCoreApplication::applicationDirPath();
    std::vector<double> quire, player;
    for (int round = 0; round < kRounds; ++round) {
        const auto runQuire = [&] {
            quire.push_back(timeToFirstPage(fs::join(bin, "quire"), {"--quit-after-preview"}, env));
        };
        const auto runPlayer = [&] {
            player.push_back(timeToFirstPage(fs::join(bin, "quire-player"),
                                             {"--quit-after-load", fs::join(book, "index.html")}, env));
        };
        if (round % 2 == 0) {
            runQuire();
            runPlayer();
        } else {
            runPlayer();
            runQuire();
        }
    }
    if (*std::min_element(quire.begin(), quire.end()) < 0 || *std::min_element(player.begin(), player.end()) < 0)
        std::printf("start-up: a run never showed its first page\n");
    const double q = median(quire), p = median(player);
    std::printf("start-up to the first preview page (quire):    median %7.1f ms over %d runs\n", q, kRounds);
    std::printf("the same book in quire-player (the floor):      median %7.1f ms over %d runs\n", p, kRounds);
    std::printf("ratio quire / quire-player:                     %.2f\n", q / p);
}

// Runs until the preview reports its first page, or 30 s.
bool waitForFirstPage(PreviewView* view)
{
    QEventLoop loop;
    bool shown = false;
    const auto connection = QObject::connect(view, &PreviewView::firstPageShown, &loop, [&] {
        shown = true;
        loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return shown;
}

// The reader's own time from the start of the page's load, or of its load of
// the book in place, to its first picture, as it marks them.
double readerStart(PreviewView* view)
{
    QEventLoop loop;
    double ms = 0;
    view->page()->runJavaScript(
        "(function () { var m = performance.getEntriesByName('quire-first-page')[0],"
        " r = performance.getEntriesByName('quire-reload')[0];"
        " return m ? m.startTime - (r && r.startTime < m.startTime ? r.startTime : 0) : 0; })()",
        [&](const QVariant& v) {
            ms = v.toDouble();
            loop.quit();
        });
    loop.exec();
    return ms;
}

void benchApply(const QString& work)
{
    constexpr int kPages = 500;
    constexpr int kRounds = 7;
    const QString pics = fs::join(work, "pics");
    QElapsedTimer timer;
    timer.start();
    const qint64 bytes = bench::writePagePictures(pics, kPages);
    std::printf("generated %d page pictures, %.1f MB in all (%.1f s)\n", kPages, double(bytes) / 1048576,
                msSince(timer) / 1000);
    auto pages = std::make_shared<FlashPageSourceImg>();
    for (int n = 1; n <= kPages; ++n)
        pages->addImgPageFromFile(fs::join(pics, QString::number(n) + ".jpg"));
    pages->generateNormalPages();
    // Words, labels and thumbnails, as an import gives them.
    bench::addImportExtras(*pages, fs::join(work, "thumbs"));

    MainWindow window;
    window.resize(1280, 800);
    window.applicationDidFinishLaunching();
    waitForFirstPage(window.webView());
    D_Folio_for_macAppDelegate& app = window.appDelegate();
    // The 500 pages come in as an import's would; this rebuild copies them.
    timer.restart();
    app.importWindowDidEnd(1, {1000, 1300, pages, nullptr, nullptr});
    waitForFirstPage(window.webView());
    std::printf("first preview of the 500 pages (all copied):    %7.1f ms\n", msSince(timer));

    auto* editor = window.findChild<FlashTemplateOutlineDelegate*>("tmplDelegate");
    const QModelIndex colour = editor->indexOf(app.flashTmpl()->findProperty("backgroundColor"), 1);
    std::vector<double> applyMs, rebuildMs, readerMs;
    int reused = 0, inPlace = 0;
    for (int round = 0; round < kRounds; ++round) {
        editor->setData(colour, round % 2 ? "0x203040" : "0x304050");
        QProcess::execute("sync", {});
        timer.restart();
        inPlace += app.applyChange().load == PreviewLoad::BookInPage;
        rebuildMs.push_back(msSince(timer));
        if (!waitForFirstPage(window.webView()))
            std::printf("apply: the preview never showed its first page\n");
        applyMs.push_back(msSince(timer));
        readerMs.push_back(readerStart(window.webView()));
        reused = app.previewReuse().reusedCount();
    }

    std::vector<double> publishMs;
    for (int round = 0; round < kRounds; ++round) {
        const QString out = fs::join(work, "fresh");
        QDir().mkpath(out);
        QProcess::execute("sync", {});
        timer.restart();
        FlashBookOutput publisher(pages, app.flashTmpl(), out, QString("index.html"));
        publisher.setHTMLConfig(std::make_shared<HTMLConfigInfo>());
        if (const PublishResult r = publisher.ouputTheBook(); !r.ok())
            std::fprintf(stderr, "publish failed: %s\n", qPrintable(r.description()));
        publishMs.push_back(msSince(timer));
        fs::removeAll(out);
    }
    const double a = median(applyMs), r = median(rebuildMs), p = median(publishMs);
    std::printf("apply after one change, to the first page shown: median %7.1f ms over %d rounds (%d reloaded the "
                "book in the page on show)\n",
                a, kRounds, inPlace);
    std::printf("  of which the rebuild %.1f ms (%d files linked or kept: pictures, thumbnails, words), the reader's own "
                "start %.1f ms\n",
                r, reused, median(readerMs));
    std::printf("publishing the same book from scratch:           median %7.1f ms over %d rounds\n", p, kRounds);
    std::printf("goal apply < 300 ms: %s; ratio apply / publish %.2f (goal < 0.30: %s)\n", a < 300 ? "met" : "MISSED",
                a / p, a / p < 0.3 ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir work(QDir::tempPath() + "/quire-bench-app-XXXXXX");
    const QByteArray home = QFile::encodeName(work.path() + "/self");
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", home + "/share");
    qputenv("XDG_CONFIG_HOME", home + "/config");
    qputenv("XDG_RUNTIME_DIR", home + "/run");
    QDir().mkpath(work.path() + "/self/run");
    QFile::setPermissions(work.path() + "/self/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QuillUtility::setFlashTrustFolder(work.path() + "/trust");
    std::printf("machine: %ld cores\n", ::sysconf(_SC_NPROCESSORS_ONLN));
    benchStartUp(work.path());
    benchApply(work.path());
    return 0;
}
