#pragma once
// Reading a file named by a user without being led astray: a folder, a device
// or a pipe is refused before a byte is read, and so is a file too large.
#include <QByteArray>
#include <QString>
#include <optional>

namespace quire::fs {

// The whole content of the regular file at path (a link to one counts) of at
// most maxBytes bytes; none otherwise, with the reason as a phrase that
// follows the path ("is a folder, not a file") in *reason.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString* reason);

} // namespace quire::fs
