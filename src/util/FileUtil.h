#pragma once
// Path and file helpers shared by every subsystem.
#include <QByteArray>
#include <QString>

namespace quire::fs {

// Joins with exactly one separator; a trailing separator on the left is not
// doubled and a leading one on the right is dropped.
QString join(const QString& left, const QString& right);
template <typename... Rest>
QString join(const QString& left, const QString& right, const Rest&... rest)
{
    return join(join(left, right), rest...);
}

// The text after the last dot of the last path component, without the dot;
// "" when there is none.
QString pathExtension(const QString& path);
QString lastPathComponent(const QString& path);
QString deletingLastPathComponent(const QString& path);
QString deletingPathExtension(const QString& path);

// Writes the whole file at once (a temporary file beside it, then renamed).
// The file gets the permissions a newly created file would get.
bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

bool exists(const QString& path);                   // file, folder or dangling link
bool removeAll(const QString& path);                // file or folder with its contents
bool makePath(const QString& folder);               // with missing parents
bool copyFile(const QString& from, const QString& to);          // no replacement
bool copyFolder(const QString& from, const QString& to);        // recursive, merges

} // namespace quire::fs
