#pragma once
// Independent ZIP readers for the tests: Python's zipfile module and the
// unzip tool, run as separate programs on an archive file.
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace quire::test {

struct ToolResult {
    bool started = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolResult runTool(const QString& program, const QStringList& args);

// What Python's zipfile reads from the archive at path: "comment" (text),
// "entries" (list of objects with "name" as hex of the raw name bytes,
// "method", "crc", "size", "csize", "offset", "content" in base64, "date",
// "external") and "testzip" (null when every CRC matches). An empty object
// when Python could not read the archive.
QJsonObject pythonZipInfo(const QString& path);

} // namespace quire::test
