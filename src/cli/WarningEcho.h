#pragma once
// What the log says that a user of the converter should see: warnings (parts
// of a document left out) on standard error as they come, and errors that
// did not stop the conversion (bookmarks that could not be read) once it has
// succeeded. Errors that stop it are reported on their own, so they are not
// repeated here. Everything stays in the log file as well.
#include "ProgressBar.h"
#include "util/Log.h"

#include <QStringList>
#include <mutex>

namespace quire::cli {

class WarningEcho {
public:
    explicit WarningEcho(ProgressBar& progress);
    // After a successful conversion.
    void showErrorsThatDidNotStopIt();

private:
    ProgressBar& m_progress;
    std::mutex m_mutex;
    QStringList m_errors;
    log::Listener m_listener;
};

} // namespace quire::cli
