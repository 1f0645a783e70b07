#pragma once
// Runs the book player (or a bundle's launcher) as its own process, the way
// a reader's desktop does, and collects what it prints.
#include <QColor>
#include <QString>
#include <QStringList>

namespace quire::test {

struct PlayerRun {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;

    // The value of the first output line "key: value"; empty if none.
    QString line(const QString& key) const;
    QStringList lines(const QString& key) const;
};

// The player built with the tests.
QString playerExecutable();

// Runs program with the arguments; WebEngine on the offscreen platform,
// without its sandbox. Gives up after 90 seconds.
PlayerRun runProgram(const QString& program, const QStringList& arguments, const QString& workingFolder = {});
// The same as a login without a desktop: no display and no Qt platform chosen.
PlayerRun runWithoutDisplay(const QString& program, const QStringList& arguments);

// A small book: "index.html" with the given body and title (none when
// title is empty), and the picture "page1.png", filled with pageColor().
void writeBook(const QString& folder, const QString& title, const QString& body);
QString pictureBody();
QColor pageColor();

} // namespace quire::test
