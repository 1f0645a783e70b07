#include "FileUtil.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quire::fs {

QString join(const QString& left, const QString& right)
{
    if (left.isEmpty())
        return right;
    if (right.isEmpty())
        return left;
    QString l = left;
    QString r = right;
    while (l.size() > 1 && l.endsWith(QLatin1Char('/')))
        l.chop(1);
    while (r.startsWith(QLatin1Char('/')))
        r.remove(0, 1);
    if (l == QLatin1String("/"))
        return l + r;
    return l + QLatin1Char('/') + r;
}

QString lastPathComponent(const QString& path)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    return slash < 0 || p == QLatin1String("/") ? p : p.mid(slash + 1);
}

QString deletingLastPathComponent(const QString& path)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return p.left(slash);
}

QString pathExtension(const QString& path)
{
    const QString name = lastPathComponent(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // A leading dot marks a hidden file, not an extension.
    if (dot <= 0)
        return QStringLiteral("");
    return name.mid(dot + 1);
}

QString deletingPathExtension(const QString& path)
{
    const QString ext = pathExtension(path);
    if (ext.isEmpty() && !lastPathComponent(path).endsWith(QLatin1Char('.')))
        return path;
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p.left(p.size() - ext.size() - 1);
}

bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool exists(const QString& path)
{
    QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool removeAll(const QString& path)
{
    QFileInfo info(path);
    if (info.isSymLink() || info.isFile())
        return QFile::remove(path);
    if (info.isDir())
        return QDir(path).removeRecursively();
    return !info.exists();
}

bool makePath(const QString& folder)
{
    return QDir().mkpath(folder);
}

bool copyFile(const QString& from, const QString& to)
{
    return QFile::copy(from, to);
}

bool copyFolder(const QString& from, const QString& to)
{
    QFileInfo source(from);
    if (!source.isDir())
        return false;
    if (!makePath(to))
        return false;
    bool ok = true;
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(from);
    while (it.hasNext()) {
        const QString entry = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = join(to, base.relativeFilePath(entry));
        if (info.isSymLink()) {
            QFile::remove(target);
            ok = QFile::link(info.symLinkTarget(), target) && ok;
        } else if (info.isDir()) {
            ok = makePath(target) && ok;
        } else {
            QFile::remove(target);
            if (QFile::copy(entry, target))
                QFile::setPermissions(target, info.permissions());
            else
                ok = false;
        }
    }
    return ok;
}

} // namespace quire::fs
