#include "PlayerRun.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace quire::test {

QStringList PlayerRun::lines(const QString& key) const
{
    QStringList found;
    for (const QString& l : out.split('\n'))
        if (l.startsWith(key + ": "))
            found << l.mid(key.size() + 2);
    return found;
}

PlayerRun runPlayer(const QStringList& arguments, const QString& program, const QString& workingFolder, bool offscreen)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(name);
    if (offscreen)
        env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workingFolder);
    process.start(program.isEmpty() ? QUIRE_PLAYER_EXE : program, arguments);
    PlayerRun run;
    run.finished = process.waitForFinished(90000);
    if (!run.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QColor pageColor()
{
    return QColor(0x2e, 0x8b, 0x57);
}

double pageShare(const QImage& shot)
{
    int matching = 0, all = 0;
    for (int y = 0; y < shot.height(); y += 4)
        for (int x = 0; x < shot.width(); x += 4, ++all) {
            const QColor c = shot.pixelColor(x, y), page = pageColor();
            matching += std::abs(c.red() - page.red()) <= 16 && std::abs(c.green() - page.green()) <= 16 &&
                        std::abs(c.blue() - page.blue()) <= 16;
        }
    return all ? double(matching) / all : 0;
}

void writeBook(const QString& folder, const QString& title, const QString& body)
{
    QDir().mkpath(folder);
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(pageColor());
    ASSERT_TRUE(picture.save(QDir(folder).filePath("page1.png")));
    writeFile(QDir(folder).filePath("index.html"),
              QString("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">%1</head>\n<body style=\"margin:0\">"
                      "<img src=\"page1.png\" style=\"position:fixed;left:0;top:0;width:100%;height:100%\">%2"
                      "</body></html>\n")
                  .arg(title.isEmpty() ? QString() : "<title>" + title + "</title>", body)
                  .toUtf8());
}

} // namespace quire::test
