#pragma once
#include <QObject>
#include <QString>
#include <QTextStream>

class QWebEngineLoadingInfo;

namespace quire::player {

class PlayerWindow;

// Unattended run (--quit-after-load): waits until the book's page and its
// pictures have loaded, prints what the window shows and ends the program.
// Output lines: "title: T", "images: LOADED/TOTAL", "focus: book" (or
// "elsewhere": whether keys reach the page), "first page: shown" the moment
// the reader shows its first picture, "outside: URL" for each
// address handed to the desktop, and "screenshot: FILE" when asked for.
class LoadReport : public QObject {
    Q_OBJECT
public:
    LoadReport(PlayerWindow* window, int timeoutMs, QString screenshotFile);

private:
    void loadingChanged(const QWebEngineLoadingInfo& info);
    void pollImages();
    void finish(int exitCode);

    PlayerWindow* m_window;
    int m_timeoutMs;
    QString m_screenshotFile;
    QTextStream m_out;
    bool m_done = false;
};

} // namespace quire::player
