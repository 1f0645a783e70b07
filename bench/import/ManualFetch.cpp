#include "ManualFetch.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>

namespace quire::bench {
namespace {

QString findIn(const QString& folder)
{
    QDirIterator it(folder, {QStringLiteral("R-intro.pdf")}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

bool run(const QString& program, const QStringList& args, const QString& folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, args);
    if (!process.waitForFinished(300'000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "bench_import: %s %s failed\n", qPrintable(program), qPrintable(args.join(' ')));
        return false;
    }
    return true;
}

} // namespace

QString findRManual(const QString& cacheFolder)
{
    for (const char* installed : {"/usr/share/R/doc/manual", "/usr/share/doc/r-doc-pdf"}) {
        const QString found = findIn(QString::fromLatin1(installed));
        if (!found.isEmpty())
            return found;
    }
    const QString unpacked = QDir(cacheFolder).filePath(QStringLiteral("r-doc-pdf"));
    QString found = findIn(unpacked);
    if (!found.isEmpty())
        return found;

    QDir().mkpath(cacheFolder);
    std::fprintf(stderr, "bench_import: fetching r-doc-pdf into %s\n", qPrintable(cacheFolder));
    if (!run(QStringLiteral("apt-get"), {QStringLiteral("download"), QStringLiteral("r-doc-pdf")}, cacheFolder))
        return {};
    const QStringList debs = QDir(cacheFolder).entryList({QStringLiteral("r-doc-pdf_*.deb")}, QDir::Files);
    if (debs.isEmpty())
        return {};
    if (!run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), debs.first(), unpacked}, cacheFolder))
        return {};
    found = findIn(unpacked);
    if (found.isEmpty())
        std::fprintf(stderr, "bench_import: no R-intro.pdf in the package\n");
    return found;
}

} // namespace quire::bench
