#include "PublishReuse.h"

#include "util/FileUtil.h"
#include "util/ParallelFor.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace quire {

std::optional<PublishReuse::Stamp> PublishReuse::stampOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return Stamp{info.st_dev, info.st_ino, qint64(info.st_size),
                 qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

PublishReuse::Origin PublishReuse::madeFrom(const QString& kind, const QByteArray& data)
{
    const QByteArray digest = QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
    return Origin{QString(), kind + QLatin1Char(' ') + QString::fromLatin1(digest), Stamp{}};
}

std::optional<PublishReuse::Written> PublishReuse::identify(const QString& path, const Origin& origin)
{
    const auto stamp = stampOf(path);
    if (!stamp)
        return std::nullopt;
    return Written{origin, *stamp, {}};
}

PublishReuse::~PublishReuse()
{
    if (m_removal.valid())
        m_removal.wait();
}

void PublishReuse::removeLater(const QString& folder)
{
    if (m_removal.valid())
        m_removal.wait();
    // Out of the book's folder first, so that nothing done to that folder
    // meanwhile meets the removal halfway.
    QByteArray aside = QFile::encodeName(trashPrefix() + QStringLiteral("XXXXXX"));
    const bool madeAside = ::mkdtemp(aside.data()) != nullptr;
    const QString trash = QFile::decodeName(aside);
    if (!madeAside || ::rename(QFile::encodeName(folder).constData(),
                               QFile::encodeName(fs::join(trash, QStringLiteral("book"))).constData()) != 0) {
        if (madeAside)
            ::rmdir(aside.constData());
        fs::removeAll(folder);
        return;
    }
    m_removal = std::async(std::launch::async, [trash] { fs::removeAll(trash); });
}

QString PublishReuse::trashPrefix() const
{
    return fs::join(fs::deletingLastPathComponent(m_folder),
                    QLatin1Char('.') + fs::lastPathComponent(m_folder) + QStringLiteral(".replaced-"));
}

void PublishReuse::begin(const QString& bookFolder)
{
    if (m_removal.valid())
        m_removal.wait();
    if (bookFolder != m_folder) {
        m_inPlace.clear();
        m_keptInPlace.clear();
    }
    m_folder = bookFolder;
    // What a process that ended during a removal left beside the book.
    const QFileInfo trash(trashPrefix());
    for (const QString& name :
         trash.dir().entryList({trash.fileName() + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        fs::removeAll(trash.dir().filePath(name));
    m_staged.clear();
    m_keptStaged.clear();
    m_reusedCount = 0;
}

const PublishReuse::Written* PublishReuse::unchanged(const QString& relative, const Origin& origin) const
{
    const auto known = m_inPlace.find(relative);
    if (known == m_inPlace.end() || !(known->second.origin == origin))
        return nullptr;
    const auto now = identify(fs::join(m_folder, relative), origin);
    return now && now->stamp == known->second.stamp ? &known->second : nullptr;
}

bool PublishReuse::reuse(const QString& relative, const Origin& origin, const QString& staged, QByteArray* detail)
{
    const Written* known = unchanged(relative, origin);
    if (!known
        || ::link(QFile::encodeName(fs::join(m_folder, relative)).constData(), QFile::encodeName(staged).constData())
            != 0)
        return false;
    m_staged[relative] = *known;
    if (detail)
        *detail = known->detail;
    ++m_reusedCount;
    return true;
}

bool PublishReuse::keepFolder(const QString& relative, const std::vector<Wanted>& wanted,
                              std::vector<QByteArray>* details)
{
    const QString prefix = relative + QLatin1Char('/');
    size_t known = 0;
    for (auto it = m_inPlace.lower_bound(prefix); it != m_inPlace.end() && it->first.startsWith(prefix); ++it)
        ++known;
    if (known != wanted.size())
        return false;
    // A stat a file, over a thousand files in a large book: spread them.
    // Once one is missing the rest stay unread, and so count as missing too.
    std::vector<const Written*> found(wanted.size(), nullptr);
    parallelFor(wanted.size(), workersFor(wanted.size(), 256), [&](size_t i, unsigned) {
        found[i] = unchanged(wanted[i].relative, wanted[i].origin);
        return found[i] != nullptr;
    });
    if (std::find(found.begin(), found.end(), nullptr) != found.end())
        return false;
    for (size_t i = 0; i < wanted.size(); ++i) {
        m_staged[wanted[i].relative] = *found[i];
        if (details)
            details->push_back(found[i]->detail);
    }
    m_reusedCount += int(wanted.size());
    return true;
}

void PublishReuse::wrote(const QString& relative, const Origin& origin, const QString& staged, const QByteArray& detail)
{
    if (auto written = identify(staged, origin)) {
        written->detail = detail;
        m_staged[relative] = std::move(*written);
    }
}

void PublishReuse::keep(std::shared_ptr<const void> data)
{
    m_keptStaged.push_back(std::move(data));
}

void PublishReuse::committed()
{
    m_inPlace = std::move(m_staged);
    m_staged.clear();
    m_keptInPlace = std::move(m_keptStaged);
    m_keptStaged.clear();
}

void PublishReuse::abandoned()
{
    m_staged.clear();
    m_keptStaged.clear();
}

} // namespace quire
