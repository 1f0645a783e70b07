#pragma once
// Python's zipfile module as an independent ZIP reader, run as a separate
// program on an archive file (unzip is the other, through runTool).
#include "support/ToolRun.h"

#include <QJsonObject>

namespace quire::test {

// What Python's zipfile reads from the archive at path: "comment" (text),
// "entries" (list of objects with "name" as hex of the raw name bytes,
// "method", "crc", "size", "csize", "offset", "content" in base64, "date",
// "external") and "testzip" (null when every CRC matches). An empty object
// when Python could not read the archive.
QJsonObject pythonZipInfo(const QString& path);

} // namespace quire::test
