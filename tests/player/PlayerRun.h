#pragma once
// Runs the book player (or a bundle's launcher) as its own process, the way
// a reader's desktop does, and collects what it prints.
#include <QColor>
#include <QImage>
#include <QStringList>

namespace quire::test {

struct PlayerRun {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;

    // The values of the output lines "key: value".
    QStringList lines(const QString& key) const;
    QString line(const QString& key) const { return lines(key).value(0); }
};

// Runs program (the player built with the tests by default) with the
// arguments; WebEngine without its sandbox, on the offscreen platform or, as
// a login without a desktop, without a display or a Qt platform chosen.
// Gives up after 90 seconds.
PlayerRun runPlayer(const QStringList& arguments, const QString& program = {}, const QString& workingFolder = {},
                    bool offscreen = true);

// A small book: "index.html" with the given title (none when empty) and
// extra body, showing the picture "page1.png" of pageColor() over the whole window.
void writeBook(const QString& folder, const QString& title, const QString& body = {});
QColor pageColor();
// The share of a screenshot's pixels that show the page's colour.
double pageShare(const QImage& shot);

} // namespace quire::test
