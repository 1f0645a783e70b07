#pragma once
#include <QString>

namespace quire::bench {

// The path of R-intro.pdf: from the machine's r-doc-pdf when installed, else
// from the package fetched with apt-get download into cacheFolder and
// unpacked there. "" when neither works (the reason goes to stderr).
QString findRManual(const QString& cacheFolder);

} // namespace quire::bench
