#include "ZipReaders.h"

#include <QJsonDocument>
#include <QProcess>
#include <gtest/gtest.h>

namespace quire::test {

ToolResult runTool(const QString& program, const QStringList& args)
{
    ToolResult result;
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted(10000)) {
        ADD_FAILURE() << "cannot start " << program.toStdString();
        return result;
    }
    process.closeWriteChannel();
    process.waitForFinished(30000);
    result.started = true;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QJsonObject pythonZipInfo(const QString& path)
{
    static const char* script = R"PY(
import base64, json, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    entries = []
    for i in z.infolist():
        data = z.read(i)
        entries.append({
            "name": i.orig_filename.encode("utf-8" if i.flag_bits & 0x800 else "cp437").hex(),
            "method": i.compress_type, "crc": i.CRC, "size": i.file_size,
            "csize": i.compress_size, "offset": i.header_offset,
            "content": base64.b64encode(data).decode(),
            "date": list(i.date_time), "external": i.external_attr,
        })
    print(json.dumps({"comment": z.comment.decode("utf-8"), "entries": entries,
                      "testzip": z.testzip()}))
)PY";
    const ToolResult r = runTool(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (r.exitCode != 0) {
        ADD_FAILURE() << "python zipfile failed: " << r.err.toStdString();
        return {};
    }
    return QJsonDocument::fromJson(r.out).object();
}

} // namespace quire::test
