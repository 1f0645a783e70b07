// Publishing benchmark.
//  1. A 500-page book of ~200 KB pictures, with the words, labels and
//     thumbnails an import gives its pages, published into a fresh folder,
//     against `cp -r` of the same picture folder in the same run
//     (target: at most 1.5 times the copy). Then the same pictures without
//     thumbnails, which the publisher makes itself.
//  2. Building and sealing the configuration of a 2,000-page book with a
//     500-entry outline and 10,000 link areas (target: under 100 ms).
#include "BenchBooks.h"
#include "publish/BookContainer.h"
#include "publish/FlashBookOutput.h"
#include "util/FileUtil.h"
#include "util/Resources.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quire;

namespace {

using bench::median;
using bench::msSince;

void syncDisk()
{
    QProcess::execute("sync", {});
}

void benchPublishFolder(const QString& work)
{
    constexpr int kPages = 500;
    constexpr int kRounds = 6;
    const QString pics = fs::join(work, "pics");
    QElapsedTimer timer;
    timer.start();
    const qint64 bytes = bench::writePagePictures(pics, kPages);
    std::printf("generated %d page pictures, %.1f KB on average, %.1f MB in all (%.1f s)\n", kPages,
                double(bytes) / kPages / 1024, double(bytes) / 1048576, msSince(timer) / 1000);

    const QString res = fs::join(work, "res");
    bench::writeTemplate(res, fs::join(pics, "1.jpg"));
    setResourceFolder(res);
    auto tmpl = std::make_shared<FlashTemplate>();
    tmpl->loadTemplate("bench");
    auto source = std::make_shared<FlashPageSourceImg>();
    for (int n = 1; n <= kPages; ++n)
        source->addImgPageFromFile(fs::join(pics, QString::number(n) + ".jpg"));
    source->generateNormalPages();

    timer.restart();
    bench::addImportExtras(*source, fs::join(work, "thumbs"));
    std::printf("words, labels and thumbnails for the pages, as an import makes them: %.1f s\n",
                msSince(timer) / 1000);

    std::vector<double> publishMs, copyMs;
    auto publishOnce = [&](const QString& out, const std::shared_ptr<FlashPageSource>& pages,
                           std::vector<double>& times) {
        QDir().mkpath(out);
        syncDisk();
        timer.restart();
        FlashBookOutput publisher(pages, tmpl, out, QString("index.html"));
        publisher.setHTMLConfig(std::make_shared<HTMLConfigInfo>());
        if (const PublishResult result = publisher.ouputTheBook(); !result.ok())
            std::fprintf(stderr, "publish failed: %s\n", qPrintable(result.description()));
        times.push_back(msSince(timer));
    };
    auto copyOnce = [&](const QString& copy) {
        syncDisk();
        timer.restart();
        QProcess::execute("cp", {"-r", pics, copy});
        copyMs.push_back(msSince(timer));
    };
    // Alternating which goes first keeps either from profiting from the
    // other's write-back.
    for (int round = 0; round < kRounds; ++round) {
        const QString out = fs::join(work, "out");
        const QString copy = fs::join(work, "copy");
        if (round % 2 == 0) {
            publishOnce(out, source, publishMs);
            copyOnce(copy);
        } else {
            copyOnce(copy);
            publishOnce(out, source, publishMs);
        }
        fs::removeAll(out);
        fs::removeAll(copy);
    }
    const double p = median(publishMs), c = median(copyMs);
    std::printf("publish 500 pages:        median %8.1f ms over %d rounds\n", p, kRounds);
    std::printf("cp -r of the same pages:  median %8.1f ms over %d rounds\n", c, kRounds);
    std::printf("ratio publish / cp -r:    %.2f (target <= 1.50: %s)\n", p / c, p / c <= 1.5 ? "met" : "MISSED");

    // Pictures alone: no words, and the thumbnails made while publishing.
    auto pictures = std::make_shared<FlashPageSourceImg>();
    for (int n = 1; n <= kPages; ++n)
        pictures->addImgPageFromFile(fs::join(pics, QString::number(n) + ".jpg"));
    pictures->generateNormalPages();
    std::vector<double> picturesMs;
    for (int round = 0; round < 3; ++round) {
        publishOnce(fs::join(work, "out"), pictures, picturesMs);
        fs::removeAll(fs::join(work, "out"));
    }
    std::printf("publish 500 pictures, thumbnails made while publishing: median %8.1f ms over 3 rounds\n",
                median(picturesMs));
    setResourceFolder(QString());
}

void benchConfiguration(const QString& work)
{
    constexpr int kPages = 2000, kOutline = 500, kLinks = 10000, kRounds = 21;
    const QString res = fs::join(work, "res2");
    bench::writeTemplate(res, fs::join(work, "none.jpg"));
    setResourceFolder(res);
    auto tmpl = std::make_shared<FlashTemplate>();
    tmpl->loadTemplate("bench");
    auto source = std::make_shared<FlashPageSourceImg>();
    for (int n = 1; n <= kPages; ++n)
        source->addImgPageFromFile(QStringLiteral("/tmp/Sheaf/book/%1.jpg").arg(n));
    source->generateNormalPages();
    FlashBookOutput publisher(source, tmpl, work, std::nullopt);
    publisher.setFlashOutline(bench::makeOutline(kOutline, kPages));
    publisher.setFlashPagesAnnotations(bench::makeAnnotations(kLinks, kPages));

    std::vector<double> buildMs, serialiseMs, sealMs, freeMs, totalMs, writeMs;
    qsizetype documentSize = 0, containerSize = 0;
    QElapsedTimer timer;
    const QString bin = fs::join(work, "files/book.bin");
    QDir().mkpath(fs::join(work, "files"));
    for (int round = 0; round < kRounds; ++round) {
        timer.start();
        xml::DocPtr doc = publisher.bookXML();
        const double t1 = msSince(timer);
        const QByteArray bytes = xml::serialize(doc.get(), true);
        const double t2 = msSince(timer);
        const auto sealed = publish::sealBookDocument(bytes);
        const double t3 = msSince(timer);
        doc.reset();
        const double t4 = msSince(timer);
        buildMs.push_back(t1);
        serialiseMs.push_back(t2 - t1);
        sealMs.push_back(t3 - t2);
        freeMs.push_back(t4 - t3);
        totalMs.push_back(t4);
        documentSize = bytes.size();
        containerSize = sealed ? sealed->size() : -1;

        timer.restart();
        if (const PublishResult result = publisher.ouputBookXML(bin); !result.ok())
            std::fprintf(stderr, "writing failed: %s\n", qPrintable(result.description()));
        writeMs.push_back(msSince(timer));
    }
    std::printf("configuration of %d pages, %d outline entries, %d link areas: document %.1f KB, container %.1f KB\n",
                kPages, kOutline, kLinks, double(documentSize) / 1024, double(containerSize) / 1024);
    std::printf("  (medians over %d rounds, best in brackets)\n", kRounds);
    auto best = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    std::printf("  bookXML:                 %6.1f ms (%5.1f)\n", median(buildMs), best(buildMs));
    std::printf("  pretty UTF-8 serialise:  %6.1f ms (%5.1f)\n", median(serialiseMs), best(serialiseMs));
    std::printf("  zip + RC4:               %6.1f ms (%5.1f)\n", median(sealMs), best(sealMs));
    std::printf("  release the document:    %6.1f ms (%5.1f)\n", median(freeMs), best(freeMs));
    std::printf("  build and seal in all:   %6.1f ms (%5.1f) (target < 100 ms: %s)\n", median(totalMs), best(totalMs),
                median(totalMs) < 100 ? "met" : "MISSED");
    std::printf("  ouputBookXML, files too: %6.1f ms (%5.1f)\n", median(writeMs), best(writeMs));
    setResourceFolder(QString());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir work(QDir::tempPath() + "/quire-bench-publish-XXXXXX");
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot make a work folder\n");
        return 1;
    }
    if (!qEnvironmentVariableIsSet("QUIRE_BENCH_SKIP_FOLDER"))
        benchPublishFolder(work.path());
    benchConfiguration(work.path());
    return 0;
}
