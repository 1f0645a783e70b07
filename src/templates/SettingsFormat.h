#pragma once
// The text format shared by styles ("tmplSetting.txt") and template-settings
// files: records "key=value", each after the separator line feed, carriage
// return. Reading is line based and lenient about line ends.
#include "util/Text.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace quire::settings {

// Settings files are a few kilobytes; anything far larger is not one.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

struct Record {
    QString key;
    QString value;
};

// One record as written, without its separator.
QString formatRecord(const QString& key, const QString& value);

// The records of a settings text in file order; lines without "=" are skipped.
std::vector<Record> parseRecords(const QString& text);

// The text of a settings file: a regular file of at most kMaxFileSize bytes
// in valid UTF-8. None otherwise, with the reason (after the path) in *error.
Text readSettingsFile(const QString& path, QString* error);

} // namespace quire::settings
