#pragma once
#include <QString>

namespace quire {

// <application support>/Inkwright/Quire`/Quire for Mac.log
QString logFilePath();

// Configures logging from the "logging.properties" resource with the log
// file above; without the resource, warnings keep going to standard error.
void prepaireTheLog();

} // namespace quire
