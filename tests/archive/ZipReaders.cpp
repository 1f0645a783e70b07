#include "ZipReaders.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

namespace quire::test {

QJsonObject pythonZipInfo(const QString& path)
{
    static const char* script = R"PY(
import base64, json, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    entries = []
    for i in z.infolist():
        entries.append({
            "name": i.orig_filename.encode("utf-8" if i.flag_bits & 0x800 else "cp437").hex(),
            "method": i.compress_type, "crc": i.CRC, "size": i.file_size, "csize": i.compress_size,
            "offset": i.header_offset, "content": base64.b64encode(z.read(i)).decode(),
            "date": list(i.date_time), "external": i.external_attr,
        })
    print(json.dumps({"comment": z.comment.decode("utf-8"), "entries": entries, "testzip": z.testzip()}))
)PY";
    const ToolRun r = runTool("python3", {"-c", script, path});
    EXPECT_EQ(r.status, 0) << "python zipfile failed: " << r.err.toStdString();
    return QJsonDocument::fromJson(r.out.toUtf8()).object();
}

} // namespace quire::test
