#pragma once
// One conversion of quire-convert: the source document becomes a PDF when it
// is text or RTF, the PDF is imported, the template is prepared and the book
// is published, with the same core classes the application uses.
#include "CliOptions.h"
#include "ProgressBar.h"

namespace quire::cli {

enum ExitStatus {
    kDone = 0,
    kUsage = 2,
    kSourceUnreadable = 3,
    kImportFailed = 4,
    kPublishFailed = 5,
};

struct JobResult {
    int status = kDone;
    QString message;  // the error, naming the file, when status is not kDone
    QString output;   // what to open: the page or the bundle
};

JobResult runConversion(const Options& options, ProgressBar& progress);
JobResult exportSettings(const Options& options);

} // namespace quire::cli
