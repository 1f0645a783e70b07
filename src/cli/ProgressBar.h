#pragma once
// Progress on standard error when it is a terminal; silent otherwise.
#include <QString>

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
    bool enabled() const { return m_enabled; }

private:
    bool m_enabled;
    bool m_openLine = false;
};

} // namespace quire::cli
