#include "RegularFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quire::fs {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

std::optional<QByteArray> refuse(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
    return std::nullopt;
}

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString tooLarge(qint64 maxBytes)
{
    return QStringLiteral("is larger than %1 bytes").arg(maxBytes);
}

} // namespace

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString* reason)
{
    // Opening without blocking keeps a pipe with no writer from hanging us;
    // the type is then taken from what was opened, not from an earlier look.
    const Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return refuse(reason, QStringLiteral("cannot be opened: %1").arg(systemReason()));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return refuse(reason, QStringLiteral("cannot be examined: %1").arg(systemReason()));
    if (S_ISDIR(info.st_mode))
        return refuse(reason, QStringLiteral("is a folder, not a file"));
    if (!S_ISREG(info.st_mode))
        return refuse(reason, QStringLiteral("is not a regular file (a device, pipe or socket)"));
    if (info.st_size > maxBytes)
        return refuse(reason, tooLarge(maxBytes));

    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return refuse(reason, QStringLiteral("cannot be read: %1").arg(systemReason()));
        }
        // The file may have grown since it was measured.
        if (bytes.size() + got > maxBytes)
            return refuse(reason, tooLarge(maxBytes));
        bytes.append(buffer, got);
    }
    return bytes;
}

} // namespace quire::fs
