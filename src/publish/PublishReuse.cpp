#include "PublishReuse.h"

#include "util/FileUtil.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace quire {
namespace {

struct FileStat {
    dev_t device;
    ino_t inode;
    qint64 size;
    qint64 modifiedNs;
};

std::optional<FileStat> statOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileStat{info.st_dev, info.st_ino, qint64(info.st_size),
                    qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

} // namespace

std::optional<PublishReuse::Origin> PublishReuse::originOf(const QString& source, const QString& kind)
{
    const auto s = statOf(source);
    if (!s)
        return std::nullopt;
    return Origin{source, kind, s->device, s->inode, s->size, s->modifiedNs};
}

std::optional<PublishReuse::Written> PublishReuse::identify(const QString& path, const Origin& origin)
{
    const auto s = statOf(path);
    if (!s)
        return std::nullopt;
    return Written{origin, s->device, s->inode, s->size, s->modifiedNs};
}

void PublishReuse::begin(const QString& bookFolder)
{
    if (bookFolder != m_folder)
        m_inPlace.clear();
    m_folder = bookFolder;
    m_staged.clear();
    m_reusedCount = 0;
}

bool PublishReuse::reuse(const QString& relative, const Origin& origin, const QString& staged)
{
    const auto known = m_inPlace.find(relative);
    if (known == m_inPlace.end() || !(known->second.origin == origin))
        return false;
    const QString placed = fs::join(m_folder, relative);
    const auto now = identify(placed, origin);
    if (!now || !(*now == known->second))
        return false;
    if (::link(QFile::encodeName(placed).constData(), QFile::encodeName(staged).constData()) != 0)
        return false;
    m_staged[relative] = *now;
    ++m_reusedCount;
    return true;
}

void PublishReuse::wrote(const QString& relative, const Origin& origin, const QString& staged)
{
    if (const auto written = identify(staged, origin))
        m_staged[relative] = *written;
}

void PublishReuse::committed()
{
    m_inPlace = std::move(m_staged);
    m_staged.clear();
}

void PublishReuse::abandoned()
{
    m_staged.clear();
}

} // namespace quire
