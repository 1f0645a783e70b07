#pragma once
// Shared by the fuzz targets (one source file each): a private folder, quiet
// logging, and a check that stops the run with a message when an invariant
// breaks. Each target defines quire::fuzz::setUp and LLVMFuzzerTestOneInput.
#include "util/Log.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace quire::fuzz {

// Run once before the first input; `program` is argv[0].
void setUp(char* program);

// A file in a folder of the whole run's, removed at exit.
inline QString workFile(const QString& relative)
{
    static QTemporaryDir dir;
    return dir.filePath(relative);
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

inline QByteArray bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline void check(bool holds, const char* what, const QString& detail = QString())
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n%s\n", what, qPrintable(detail));
        std::abort();
    }
}

} // namespace quire::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    quire::log::setConsoleThreshold(quire::log::Level::Error); // inputs make the code complain; only failures matter
    quire::fuzz::setUp((*argv)[0]);
    return 0;
}
