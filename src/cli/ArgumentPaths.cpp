#include "ArgumentPaths.h"

#include "util/FileUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quire::cli {
namespace {

bool isKeptByte(QChar c)
{
    return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// mkdir -p on the bytes of a name.
bool makeFolders(const QByteArray& path, QString* error)
{
    for (qsizetype end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != '/')
            continue;
        if (::mkdir(path.left(end).constData(), 0777) != 0 && errno != EEXIST) {
            *error = systemError();
            return false;
        }
    }
    struct stat info {};
    if (::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        *error = QStringLiteral("not a folder");
        return false;
    }
    return true;
}

} // namespace

QString argumentText(const QByteArray& bytes)
{
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000}; // below: an overlong form
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    QString out;
    for (qsizetype i = 0; i < n;) {
        const unsigned char lead = s[i];
        const int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4                 ? 4
                                                                         : 0;
        char32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        bool ok = length > 0 && i + length <= n;
        for (int k = 1; ok && k < length; ++k) {
            ok = (s[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (s[i + k] & 0x3F);
        }
        ok = ok && code >= kLeast[length] && (code < 0xD800 || code > 0xDFFF) && code <= 0x10FFFF;
        if (!ok) {
            out += QChar(char16_t(0xDC00 + lead));
            ++i;
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i += length;
    }
    return out;
}

QByteArray argumentBytes(const QString& text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text.mid(i, 2).toUtf8();
            ++i;
        } else if (isKeptByte(text[i])) {
            out += char(text[i].unicode() - 0xDC00);
        } else {
            out += QString(text[i]).toUtf8();
        }
    }
    return out;
}

QString displayName(const QString& text)
{
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].isHighSurrogate() && i + 1 < out.size() && out[i + 1].isLowSurrogate())
            ++i;
        else if (out[i].isSurrogate())
            out[i] = QChar(QChar::ReplacementCharacter);
    }
    return out;
}

ArgumentPaths::~ArgumentPaths()
{
    // Only the links: their targets are the user's files.
    for (const auto& entry : m_links)
        ::unlink(QFile::encodeName(entry.first).constData());
}

QString ArgumentPaths::file(const QString& argument, QString* error)
{
    return displayName(argument) == argument ? argument : link(argument, error);
}

QString ArgumentPaths::folder(const QString& argument, QString* error)
{
    // The publish makes a folder Qt can name; one it cannot is made here,
    // since a link needs its target.
    if (displayName(argument) == argument)
        return argument;
    if (!makeFolders(argumentBytes(argument), error))
        return QString();
    return link(argument, error);
}

QString ArgumentPaths::link(const QString& argument, QString* error)
{
    if (!m_dir) {
        m_dir = std::make_unique<QTemporaryDir>(fs::join(QDir::tempPath(), QStringLiteral("quire-names-XXXXXX")));
        if (!m_dir->isValid()) {
            *error = m_dir->errorString();
            m_dir.reset();
            return QString();
        }
    }
    // Each link in a folder of its own: two names may look alike.
    const QString slot = m_dir->filePath(QString::number(m_links.size() + 1));
    // "Notes.rtfd/" keeps its name, and with it its kind.
    QString name = QFileInfo(QDir::cleanPath(displayName(argument))).fileName();
    if (name.isEmpty())
        name = QStringLiteral("folder");
    const QString path = fs::join(slot, name);
    QByteArray target = argumentBytes(argument);
    char here[PATH_MAX];
    if (!target.startsWith('/') && ::getcwd(here, sizeof here))
        target.prepend(QByteArray(here) + '/');
    if (!QDir().mkpath(slot) || ::symlink(target.constData(), QFile::encodeName(path).constData()) != 0) {
        *error = systemError();
        return QString();
    }
    m_links.emplace_back(path, argument);
    return path;
}

QString ArgumentPaths::original(const QString& path) const
{
    for (const auto& [link, argument] : m_links)
        if (path == link || path.startsWith(link + QLatin1Char('/')))
            return argument + path.mid(link.size());
    return path;
}

} // namespace quire::cli
