#include "PublishStaging.h"

#include "util/FileUtil.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quire {
namespace {

constexpr const char* kPrefix = ".quire-publish-";
// Where an entry steps aside on file systems that cannot exchange two names.
constexpr const char* kReplacedPrefix = ".replaced.";

publish::MomentHook g_momentHook = nullptr;

bool present(const QByteArray& path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

bool move(const QByteArray& from, const QByteArray& to)
{
    return ::rename(from.constData(), to.constData()) == 0;
}

// Where the entry `name` (which may lie in a subfolder) steps aside.
QByteArray asidePath(const QString& staging, const QString& name)
{
    const QString flat = QString(name).replace(QLatin1Char('/'), QLatin1Char(':'));
    return QFile::encodeName(fs::join(staging, QLatin1String(kReplacedPrefix) + flat));
}

} // namespace

namespace publish {

void setMomentHook(MomentHook hook)
{
    g_momentHook = hook;
}

void moment(const char* name)
{
    if (g_momentHook)
        g_momentHook(name);
}

} // namespace publish

bool PublishStaging::isStagingName(const QString& name)
{
    return name.startsWith(QLatin1String(kPrefix));
}

PublishStaging::PublishStaging(const QString& folder, PublishResult& result) : m_folder(folder)
{
    const QDir dir(folder);
    const QStringList leftovers = dir.entryList({QLatin1String(kPrefix) + QLatin1Char('*')},
                                                QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : leftovers)
        if (!fs::removeAll(dir.filePath(name)))
            QLOG_WARN("could not remove %@, left by an interrupted publish", dir.filePath(name));

    QByteArray pattern = QFile::encodeName(fs::join(folder, QLatin1String(kPrefix) + QStringLiteral("XXXXXX")));
    if (!::mkdtemp(pattern.data())) {
        result.fail(QStringLiteral("staging"), folder,
                    QStringLiteral("cannot write into the folder: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    m_path = QFile::decodeName(pattern);
}

PublishStaging::~PublishStaging()
{
    if (!m_path.isEmpty() && !fs::removeAll(m_path))
        QLOG_WARN("could not remove the staging folder %@; the next publish removes it", m_path);
}

void PublishStaging::commit(const QStringList& names, PublishResult& result)
{
    std::vector<Done> done;
    for (const QString& name : names) {
        QString error;
        if (!swap(name, done, &error)) {
            undo(done);
            result.fail(QStringLiteral("replacing the book"), fs::join(m_folder, name), error);
            return;
        }
    }
}

bool PublishStaging::swap(const QString& name, std::vector<Done>& done, QString* error)
{
    const QByteArray staged = QFile::encodeName(fs::join(m_path, name));
    const QByteArray placed = QFile::encodeName(fs::join(m_folder, name));
    const bool isNew = present(staged);
    const bool isOld = present(placed);
    const auto failed = [error] {
        *error = QStringLiteral("cannot be replaced: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    };
    if (isNew && isOld) {
        // One step that no one can see half done.
        if (::renameat2(AT_FDCWD, staged.constData(), AT_FDCWD, placed.constData(), RENAME_EXCHANGE) == 0) {
            done.push_back({name, Move::Exchanged});
            return true;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return failed();
        const QByteArray aside = asidePath(m_path, name);
        if (!move(placed, aside))
            return failed();
        if (!move(staged, placed)) {
            const int code = errno;
            move(aside, placed);
            errno = code;
            return failed();
        }
        done.push_back({name, Move::Displaced});
    } else if (isNew) {
        if (!move(staged, placed))
            return failed();
        done.push_back({name, Move::MovedIn});
    } else if (isOld) {
        if (!move(placed, staged))
            return failed();
        done.push_back({name, Move::MovedOut});
    }
    return true;
}

void PublishStaging::undo(const std::vector<Done>& done)
{
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
        const QByteArray staged = QFile::encodeName(fs::join(m_path, it->name));
        const QByteArray placed = QFile::encodeName(fs::join(m_folder, it->name));
        bool ok = true;
        switch (it->move) {
        case Move::Exchanged:
            ok = ::renameat2(AT_FDCWD, staged.constData(), AT_FDCWD, placed.constData(), RENAME_EXCHANGE) == 0;
            break;
        case Move::MovedIn:
            ok = move(placed, staged);
            break;
        case Move::MovedOut:
            ok = move(staged, placed);
            break;
        case Move::Displaced:
            ok = move(placed, staged)
                && move(asidePath(m_path, it->name), placed);
            break;
        }
        if (!ok)
            QLOG_ERROR("could not put %@ back: %s", QFile::decodeName(placed), std::strerror(errno));
    }
}

} // namespace quire
