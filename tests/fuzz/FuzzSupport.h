#pragma once
// Shared by the fuzz targets: a private folder, quiet logging, and a check
// that stops the run with a message when an invariant breaks.
#include "util/Log.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace quire::fuzz {

// A folder for the whole run, removed at exit.
inline const QTemporaryDir& workFolder()
{
    static QTemporaryDir dir;
    return dir;
}

inline QString workFile(const QString& relative)
{
    return workFolder().filePath(relative);
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

// Inputs make the code under test complain; only failures matter here.
inline void quietLogs()
{
    log::setConsoleThreshold(log::Level::Error);
}

inline void check(bool holds, const char* what, const QString& detail = QString())
{
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n%s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace quire::fuzz
