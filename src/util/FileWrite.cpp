// Writing and copying whole files with every failure reported: the system
// calls are checked one by one, because a buffered writer can report
// success after its last flush failed (a full disk leaves an empty file).
#include "FileUtil.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quire::fs {
namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

bool failErrno(QString* error, int code)
{
    return fail(error, QString::fromLocal8Bit(std::strerror(code)));
}

bool writeAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// False with errno of the side that failed; *readFailed tells which.
bool copyByReading(int in, int out, bool* readFailed)
{
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *readFailed = true;
            return false;
        }
        if (n == 0)
            return true;
        if (!writeAll(out, buffer.data(), n))
            return false;
    }
}

// Copies in the kernel until the source is used up (sizes are not trusted:
// some files report none). False with *fallback set when the kernel or the
// file systems cannot do it and nothing has been written yet.
bool copyInKernel(int in, int out, bool* fallback)
{
    constexpr size_t kChunk = size_t(1) << 30;
    bool wrote = false;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *fallback = !wrote
                && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EPERM);
            return false;
        }
        if (n == 0)
            return true;
        wrote = true;
    }
}

// A new file beside `target` with a name no one else uses, created with the
// permissions a new file gets; its path goes to *aside.
int createAside(const QByteArray& target, QByteArray* aside)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : target.left(slash + 1);
    const QByteArray name = target.mid(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        *aside = folder + '.' + name + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const int fd = ::open(aside->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error, bool syncToDisk)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray aside;
    Fd fd(createAside(target, &aside));
    if (fd.get() < 0)
        return failErrno(error, errno);
    // fsync reports what the file system only finds out when the data go to
    // disk, and a rename after it never replaces a file with an empty one.
    const bool written = writeAll(fd.get(), bytes.constData(), bytes.size()) && (!syncToDisk || ::fsync(fd.get()) == 0);
    const int code = errno;
    if (!fd.close() || !written || ::rename(aside.constData(), target.constData()) != 0) {
        const int failure = written ? errno : code;
        ::unlink(aside.constData());
        return failErrno(error, failure);
    }
    return true;
}

bool writeNewFile(const QString& path, const QByteArray& bytes, QString* error)
{
    const QByteArray target = QFile::encodeName(path);
    Fd fd(::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        return failErrno(error, errno);
    const bool written = writeAll(fd.get(), bytes.constData(), bytes.size());
    const int code = errno;
    if (!fd.close() || !written) {
        const int failure = written ? errno : code;
        ::unlink(target.constData());
        return failErrno(error, failure);
    }
    return true;
}

bool copyFile(const QString& from, const QString& to, QString* error)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    Fd in(::open(source.constData(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (in.get() < 0 || ::fstat(in.get(), &info) != 0)
        return fail(error, QStringLiteral("cannot read %1: %2").arg(from, QString::fromLocal8Bit(std::strerror(errno))));
    if (!S_ISREG(info.st_mode))
        return fail(error, QStringLiteral("%1 is not a file").arg(from));
    Fd out(::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 0777));
    if (out.get() < 0)
        return failErrno(error, errno);

    bool fallback = false;
    bool readFailed = false;
    bool ok = copyInKernel(in.get(), out.get(), &fallback);
    if (!ok && fallback)
        ok = copyByReading(in.get(), out.get(), &readFailed);
    const int code = errno;
    const bool closed = out.close();
    if (ok && closed)
        return true;
    const int failure = ok ? errno : code;
    ::unlink(target.constData());
    if (readFailed)
        return fail(error, QStringLiteral("cannot read %1: %2").arg(from, QString::fromLocal8Bit(std::strerror(failure))));
    return failErrno(error, failure);
}

bool makePath(const QString& folder, QString* error)
{
    QByteArray path = QFile::encodeName(folder);
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    struct stat info {};
    if (::stat(path.constData(), &info) == 0)
        return S_ISDIR(info.st_mode) || fail(error, QStringLiteral("%1 is not a folder").arg(folder));
    const qsizetype slash = path.lastIndexOf('/');
    if (slash > 0 && !makePath(QFile::decodeName(path.left(slash)), error))
        return false;
    if (::mkdir(path.constData(), 0777) == 0 || errno == EEXIST)
        return true;
    return failErrno(error, errno);
}

} // namespace quire::fs
