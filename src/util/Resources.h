#pragma once
#include <QString>

namespace quire {

// The application's resource folder (no trailing separator): $QUIRE_RESOURCES
// when set, else share/quire/resources beside the executable's bin folder,
// which is where both the build tree and an installation put it.
QString resourceFolder();

// Overrides the folder for this process (tests, tools); empty restores lookup.
void setResourceFolder(const QString& folder);

// Full path of a file in the resource folder.
QString resourcePath(const QString& relative);

// The user's application-support folder (XDG data home); "" when unknown.
QString userApplicationSupportFolder();

constexpr const char* APP_NAME = "Quire for Mac";

} // namespace quire
