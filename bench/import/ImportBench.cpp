// bench_import [PDF]: imports a real manual (R-intro.pdf by default) the way
// the import dialog does (all pages, 144 dpi, quality 85, links and
// bookmarks) on one and on two render threads, and times pdftoppm making the
// same JPEG pages in the same run. Each run is a process of its own so that
// its peak memory can be read.
#include "ManualFetch.h"
#include "import/ImportPDFOperation.h"
#include "util/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace quire;

namespace {

constexpr int kRounds = 3;

struct Run {
    double seconds = 1e9; // best of the rounds
    long peakKiB = 0;     // largest of the rounds
    bool ok = true;
};

// Runs a program to its end with its output discarded; wall time and peak
// resident memory of that process.
bool measure(const std::vector<QByteArray>& args, double& seconds, long& peakKiB)
{
    std::vector<char*> argv;
    for (const QByteArray& a : args)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "bench_import: cannot start %s: %s\n", argv[0], std::strerror(spawned));
        return false;
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    peakKiB = usage.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_import: %s failed\n", argv[0]);
        return false;
    }
    return true;
}

void record(Run& run, const std::vector<QByteArray>& args)
{
    double seconds = 0;
    long peak = 0;
    if (!measure(args, seconds, peak)) {
        run.ok = false;
        return;
    }
    run.seconds = std::min(run.seconds, seconds);
    run.peakKiB = std::max(run.peakKiB, peak);
}

// The child: one import, as the dialog would queue it, run in this thread.
int importOnce(const QString& pdf, int workers)
{
    log::setConsoleThreshold(log::Level::Warn);
    ImportPDFOperation op(pdf, QStringLiteral("ALL"), 144, 85);
    op.setImportLinks(true);
    op.setImportBookmarks(true);
    op.setRenderWorkers(workers);
    const auto start = std::chrono::steady_clock::now();
    op.start();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!op.flashPageSource()) {
        std::fprintf(stderr, "bench_import: import failed: %s\n", qPrintable(op.errorMessage()));
        return 1;
    }
    std::printf("%zu pages in %.3f s\n", op.flashPageSource()->pages().size(), seconds);
    return 0;
}

void print(const char* name, const Run& run, const Run* peer)
{
    if (!run.ok) {
        std::printf("%-28s failed\n", name);
        return;
    }
    std::printf("%-28s %8.3f s  %7.1f MB peak", name, run.seconds, run.peakKiB / 1024.0);
    if (peer && peer->ok)
        std::printf("  %5.2fx pdftoppm", run.seconds / peer->seconds);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--import") == 0) {
        QCoreApplication app(argc, argv);
        return importOnce(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    }
    QCoreApplication app(argc, argv);
    const QString cache = qEnvironmentVariable("QUIRE_BENCH_CACHE",
                                                QDir(QCoreApplication::applicationDirPath()).filePath("../bench-cache"));
    const QString pdf = argc > 1 ? QString::fromLocal8Bit(argv[1]) : bench::findRManual(cache);
    if (pdf.isEmpty() || !QFileInfo(pdf).isFile()) {
        std::fprintf(stderr, "bench_import: no document to import (give a PDF path)\n");
        return 2;
    }
    const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
    const QByteArray file = QFile::encodeName(pdf);
    QTemporaryDir pictures;

    Run one, two, peer, warmUp;
    for (int round = 0; round <= kRounds; ++round) {
        // Round 0 warms the file cache and is not counted.
        record(round ? one : warmUp, {self, "--import", file, "1"});
        record(round ? two : warmUp, {self, "--import", file, "2"});
        record(round ? peer : warmUp, {"pdftoppm", "-jpeg", "-jpegopt", "quality=85", "-r", "144", file,
                                       QFile::encodeName(pictures.filePath("p"))});
        QDir(pictures.path()).removeRecursively();
        QDir().mkpath(pictures.path());
    }

    std::printf("bench_import: %s, all pages, 144 dpi, JPEG quality 85 (best of %d runs)\n", qPrintable(pdf), kRounds);
    print("pdftoppm", peer, nullptr);
    print("quire import, 1 thread", one, &peer);
    print("quire import, 2 threads", two, &peer);
    if (one.ok && two.ok && peer.ok) {
        std::printf("targets: 1 thread <= 0.33x: %s; 2 threads <= 0.20x: %s; peak < 100 MB: %s\n",
                    one.seconds / peer.seconds <= 0.33 ? "met" : "MISSED",
                    two.seconds / peer.seconds <= 0.20 ? "met" : "MISSED",
                    std::max(one.peakKiB, two.peakKiB) < 100 * 1024 ? "met" : "MISSED");
    }
    return one.ok && two.ok && peer.ok ? 0 : 1;
}
