#include "FileCopy.h"

#include <QFile>

#include <cerrno>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quire::publish {
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

bool writeAll(int fd, const char* data, ssize_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

bool copyByReading(int in, int out)
{
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
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

} // namespace

bool copyFile(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    Fd in(::open(source.constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return false;
    struct stat info {};
    if (::fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    Fd out(::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 0777));
    if (out.get() < 0)
        return false;

    bool fallback = false;
    bool ok = copyInKernel(in.get(), out.get(), &fallback);
    if (!ok && fallback)
        ok = copyByReading(in.get(), out.get());
    ok = out.close() && ok;
    if (!ok)
        ::unlink(target.constData());
    return ok;
}

} // namespace quire::publish
