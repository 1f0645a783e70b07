#pragma once
// Progress on standard error when it is a terminal; silent otherwise.
// Warnings go to standard error in any case, on their own lines. Safe to
// call from several threads.
#include <QString>
#include <mutex>

namespace quire::cli {

class ProgressBar {
public:
    explicit ProgressBar(bool enabled);
    ~ProgressBar();

    // "Importing:n/N" with a bar, redrawn in place.
    void importing(int pageIndex, int totalPage, const QString& phase);
    // A step of its own line ("Publishing into ...").
    void step(const QString& text);
    void finishLine();
    // "quire-convert: warning: ..." on a line of its own.
    void warning(const QString& text);
    bool enabled() const { return m_enabled; }

private:
    void endOpenLine();

    std::mutex m_mutex;
    bool m_enabled;
    bool m_openLine = false;
};

} // namespace quire::cli
