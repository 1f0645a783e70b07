#include "PublishFiles.h"

#include "util/FileUtil.h"

#include <QFile>

namespace quire::publish {

bool makeFolder(const QString& folder, const QString& step, PublishResult& result)
{
    QString error;
    if (fs::makePath(folder, &error))
        return true;
    result.fail(step, folder, QStringLiteral("cannot be created: %1").arg(error));
    return false;
}

bool writeFile(const QString& path, const QByteArray& bytes, const QString& step, PublishResult& result)
{
    QString error;
    QFile::remove(path);
    if (fs::writeNewFile(path, bytes, &error))
        return true;
    result.fail(step, path, QStringLiteral("cannot be written: %1").arg(error));
    return false;
}

} // namespace quire::publish
