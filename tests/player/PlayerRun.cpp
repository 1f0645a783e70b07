#include "PlayerRun.h"
#include "support/TestEnv.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace quire::test {

QString PlayerRun::line(const QString& key) const
{
    const QStringList all = lines(key);
    return all.isEmpty() ? QString() : all.first();
}

QStringList PlayerRun::lines(const QString& key) const
{
    QStringList found;
    const QString prefix = key + QStringLiteral(": ");
    for (const QString& l : out.split(QLatin1Char('\n')))
        if (l.startsWith(prefix))
            found << l.mid(prefix.size());
    return found;
}

QString playerExecutable()
{
    return QStringLiteral(QUIRE_PLAYER_EXE);
}

namespace {

PlayerRun run(const QString& program, const QStringList& arguments, const QString& workingFolder,
              const QProcessEnvironment& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    PlayerRun result;
    result.finished = process.waitForFinished(90000);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QProcessEnvironment sandboxless()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    return env;
}

} // namespace

PlayerRun runProgram(const QString& program, const QStringList& arguments, const QString& workingFolder)
{
    QProcessEnvironment env = sandboxless();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return run(program, arguments, workingFolder, env);
}

PlayerRun runWithoutDisplay(const QString& program, const QStringList& arguments)
{
    QProcessEnvironment env = sandboxless();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    return run(program, arguments, {}, env);
}

QColor pageColor()
{
    return QColor(0x2e, 0x8b, 0x57);
}

QString pictureBody()
{
    // The picture covers the whole window, so any point of it shows it.
    return QStringLiteral("<img src=\"page1.png\" style=\"position:fixed;left:0;top:0;width:100%;height:100%\">");
}

void writeBook(const QString& folder, const QString& title, const QString& body)
{
    QDir().mkpath(folder);
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(pageColor());
    ASSERT_TRUE(picture.save(QDir(folder).filePath(QStringLiteral("page1.png"))));
    const QString head = title.isEmpty() ? QString() : QStringLiteral("<title>%1</title>").arg(title);
    writeFile(QDir(folder).filePath(QStringLiteral("index.html")),
              QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">%1</head>\n"
                             "<body style=\"margin:0;background:#ffffff\">%2</body></html>\n")
                  .arg(head, body)
                  .toUtf8());
}

} // namespace quire::test
