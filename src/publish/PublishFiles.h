#pragma once
// File steps of a publish that report their failure into a PublishResult
// under the step's name.
#include "PublishResult.h"

#include <QByteArray>
#include <QString>

namespace quire::publish {

// Creates the folder with any missing parent.
bool makeFolder(const QString& folder, const QString& step, PublishResult& result);
// Puts a new file with these bytes at path, replacing any file there.
bool writeFile(const QString& path, const QByteArray& bytes, const QString& step, PublishResult& result);

} // namespace quire::publish
