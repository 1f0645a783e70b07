#pragma once
// The command line of quire-print and the checks made before anything is
// converted, so that each kind of mistake gets its own message and status.
#include <QString>
#include <QStringList>
#include <optional>

namespace quire::print {

enum ExitStatus {
    kDone = 0,
    kUsage = 2,           // bad arguments, or a source that is not .txt, .rtf or .rtfd
    kSourceUnreadable = 3, // the source cannot be read or converted
    kOutputUnwritable = 4, // the PDF cannot be written where asked
    kWarnings = 5,         // --strict: the PDF was written, but parts of the source were not read in full
};

enum class Mode { Print, Help, Version };

struct Arguments {
    Mode mode = Mode::Print;
    QString source;
    QString output;
    bool strict = false;
    bool quiet = false;
};

struct Checked {
    std::optional<Arguments> arguments; // set when the command line can be carried out
    int status = kDone;                 // otherwise why not
    QString error;
};

QString usageText();

// Parses the arguments (without the program's name).
Checked parseArguments(const QStringList& arguments);

// What stands in the way of printing: a source that is missing, unreadable or
// of another kind, an output that is the source itself, a folder, or in a
// folder that is missing or read-only. Returns kDone when nothing does.
Checked checkFiles(const Arguments& arguments);

} // namespace quire::print
