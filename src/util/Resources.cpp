#include "Resources.h"
#include "FileUtil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <mutex>

#ifndef QUIRE_RESOURCE_SUBDIR
#define QUIRE_RESOURCE_SUBDIR "share/quire/resources"
#endif

namespace quire {
namespace {

std::mutex g_mutex;
QString g_override;

QString executableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return QFileInfo(self.symLinkTarget()).absolutePath();
}

} // namespace

QString resourceFolder()
{
    {
        std::lock_guard lock(g_mutex);
        if (!g_override.isEmpty())
            return g_override;
    }
    const QString env = qEnvironmentVariable("QUIRE_RESOURCES");
    if (!env.isEmpty())
        return QDir::cleanPath(QDir(env).absolutePath());
    return QDir::cleanPath(fs::join(executableFolder(), QStringLiteral("../" QUIRE_RESOURCE_SUBDIR)));
}

void setResourceFolder(const QString& folder)
{
    std::lock_guard lock(g_mutex);
    g_override = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
}

QString resourcePath(const QString& relative)
{
    return fs::join(resourceFolder(), relative);
}

QString userApplicationSupportFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

} // namespace quire
