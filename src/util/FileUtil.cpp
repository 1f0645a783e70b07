#include "FileUtil.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

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

bool copyFolder(const QString& from, const QString& to, QString* error)
{
    if (!QFileInfo(from).isDir()) {
        if (error)
            *error = QStringLiteral("%1 is not a folder").arg(from);
        return false;
    }
    if (!makePath(to, error))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(from);
    while (it.hasNext()) {
        const QString entry = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = join(to, base.relativeFilePath(entry));
        bool ok = true;
        if (info.isSymLink()) {
            QFile::remove(target);
            ok = QFile::link(info.symLinkTarget(), target);
            if (!ok && error)
                *error = QStringLiteral("cannot make the link %1").arg(target);
        } else if (info.isDir()) {
            ok = makePath(target, error);
        } else {
            QFile::remove(target);
            ok = copyFile(entry, target, error);
        }
        if (!ok)
            return false;
    }
    return true;
}

} // namespace quire::fs
