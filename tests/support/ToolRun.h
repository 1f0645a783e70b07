#pragma once
// Runs a program (one of the built ones, or a reader such as unzip) and
// keeps what it said.
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace quire::test {

struct ToolRun {
    int status = -1; // -1: did not start, crashed or timed out
    QString out;
    QString err;
};

inline ToolRun runTool(const QString& program, const QStringList& arguments,
                       const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace quire::test
