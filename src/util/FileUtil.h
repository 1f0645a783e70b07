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

// Writes the whole file beside path and renames it onto path, so a reader
// sees the old file or the new one, never a part. Every write, the sync to
// disk and the rename are checked: false, with the reason in *error, when
// any fails (nothing is left beside the target then). The file gets the
// permissions a newly created file would get. Without syncToDisk the file
// may be lost (not torn) in a crash, for files that need not survive one.
bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr, bool syncToDisk = true);

// Writes a new file at path, which must not exist, checking every write; no
// sync to disk, for the many small files of a folder that is put in place
// as a whole afterwards. A failed write leaves no file.
bool writeNewFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Copies from to a new file at to, which must not exist, with the source's
// permission bits; in the kernel where it can. A failed copy leaves no file;
// *error names the source when reading it failed.
bool copyFile(const QString& from, const QString& to, QString* error = nullptr);

// Creates the folder with its missing parents; true when it is a folder now.
bool makePath(const QString& folder, QString* error = nullptr);

bool exists(const QString& path);                   // file, folder or dangling link
bool removeAll(const QString& path);                // file or folder with its contents
// Recursive, merging into what is there; stops at the first failure.
bool copyFolder(const QString& from, const QString& to, QString* error = nullptr);

} // namespace quire::fs
