// Working folders under /tmp and their owners.
//
// A killed import cannot clean up after itself, so every working folder
// "temp.X" has an owner lock "temp.X.lock" beside it, held with flock() by
// the process that made it for as long as the folder lives. The system drops
// the lock when that process ends in any way, which is what the sweep tests:
// a lock it can take belongs to no running process. The lock is made and
// taken before the folder appears, so a sweep never finds a live folder
// whose lock it can take; folders without a lock file (made by other
// programs) are left alone.
#include "QuillUtility.h"

#include "util/Error.h"
#include "util/FileUtil.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quire {
namespace {

constexpr const char* kLockSuffix = ".lock";

std::mutex g_mutex;
QString g_base;                 // "" for /tmp
std::map<QString, int> g_owned; // folder -> descriptor holding its lock

QString lockPathFor(const QString& folder)
{
    return folder + QLatin1String(kLockSuffix);
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void fail(const QString& path, int error)
{
    QLOG_ERROR("cannot create a working folder %@: %@", path, systemReason(error));
    throw Error(QStringLiteral("ERROR_WORK_FOLDER"),
                QStringLiteral("Cannot create a working folder in \"%1\": %2").arg(path, systemReason(error)));
}

// Takes the lock of a folder whose owner has ended; -1 when it is held or
// missing.
int takeAbandonedLock(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(lockPathFor(folder)).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return fd;
    ::close(fd);
    return -1;
}

} // namespace

QString QuillUtility::tmpBaseFolder()
{
    std::lock_guard lock(g_mutex);
    return g_base.isEmpty() ? QStringLiteral("/tmp") : g_base;
}

void QuillUtility::setTmpBaseFolder(const QString& folder)
{
    std::lock_guard lock(g_mutex);
    g_base = folder;
}

QString QuillUtility::forceTmpDiractory(const QString& name)
{
    const QString parent = fs::join(tmpBaseFolder(), name);
    fs::makePath(parent);
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray lockName = QFile::encodeName(fs::join(parent, QStringLiteral("temp.XXXXXX"))) + kLockSuffix;
        const int fd = ::mkostemps(lockName.data(), int(std::strlen(kLockSuffix)), O_CLOEXEC);
        if (fd < 0)
            fail(parent, errno);
        const QByteArray folderName = lockName.chopped(int(std::strlen(kLockSuffix)));
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::mkdir(folderName.constData(), 0700) == 0) {
            const QString folder = QFile::decodeName(folderName);
            std::lock_guard lock(g_mutex);
            g_owned[folder] = fd;
            return folder;
        }
        const int error = errno;
        ::unlink(lockName.constData());
        ::close(fd);
        if (error != EEXIST)
            fail(QFile::decodeName(folderName), error);
    }
    fail(parent, EEXIST);
}

void QuillUtility::removeTmpDiractory(const QString& folder)
{
    fs::removeAll(folder);
    std::lock_guard lock(g_mutex);
    const auto owned = g_owned.find(folder);
    if (owned == g_owned.end())
        return;
    ::unlink(QFile::encodeName(lockPathFor(folder)).constData());
    ::close(owned->second);
    g_owned.erase(owned);
}

int QuillUtility::sweepTmpDiractories(const QString& name)
{
    const QDir parent(fs::join(tmpBaseFolder(), name));
    int removed = 0;
    // Lock files without their folder are swept too: they are what is left
    // when a folder was removed by someone else.
    const QStringList locks = parent.entryList({QStringLiteral("temp.*") + QLatin1String(kLockSuffix)},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& lock : locks) {
        const QString folder = parent.filePath(lock.chopped(int(std::strlen(kLockSuffix))));
        const int fd = takeAbandonedLock(folder);
        if (fd < 0)
            continue;
        // Holding the lock keeps a second sweep away while this one removes.
        if (fs::removeAll(folder)) {
            ::unlink(QFile::encodeName(lockPathFor(folder)).constData());
            ++removed;
            QLOG_INFO("removed the working folder %@ of an ended process", folder);
        }
        ::close(fd);
    }
    return removed;
}

} // namespace quire
