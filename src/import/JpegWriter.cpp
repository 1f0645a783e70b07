#include "JpegWriter.h"

#include "util/Error.h"
#include "util/Format.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <turbojpeg.h>
#include <unistd.h>

namespace quire {
namespace {

Error writeError(const QString& path, const char* what, int error)
{
    return Error(QStringLiteral("ERROR_PAGE_FILE"),
                 formatMessage("Cannot %s the page file \"%@\": %s", {what, path, std::strerror(error)}));
}

// The page files live in a private temporary folder: no fsync, they need not
// survive a crash, only never be seen half written.
void writeAside(const QString& path, const unsigned char* data, unsigned long size)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray aside = target + ".part";
    const int fd = ::open(aside.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw writeError(path, "create", errno);
    unsigned long done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(aside.constData());
            throw writeError(path, "write", error);
        }
        done += (unsigned long)n;
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(aside.constData());
        throw writeError(path, "write", error);
    }
    if (::rename(aside.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(aside.constData());
        throw writeError(path, "replace", error);
    }
}

} // namespace

JpegWriter::JpegWriter() : m_handle(tjInitCompress())
{
    if (!m_handle)
        throw Error(QStringLiteral("ERROR_JPEG"), formatMessage("Cannot start the JPEG encoder: %s", {tjGetErrorStr()}));
}

JpegWriter::~JpegWriter()
{
    tjFree(m_buffer);
    tjDestroy(m_handle);
}

void JpegWriter::write(const pdf::Bitmap& bitmap, int quality, const QString& path)
{
    // Best quality keeps full colour resolution; below it the usual 4:2:0.
    const int q = std::clamp(quality, 1, 100);
    const int subsampling = q >= 100 ? TJSAMP_444 : TJSAMP_420;
    // The worst case size, allocated once and reused while pages fit.
    const unsigned long needed = tjBufSize(bitmap.width, bitmap.height, subsampling);
    if (needed == (unsigned long)-1)
        throw Error(QStringLiteral("ERROR_JPEG"), formatMessage("Cannot encode the page file \"%@\": too large", {path}));
    if (needed > m_capacity) {
        tjFree(m_buffer);
        m_buffer = tjAlloc(int(std::min<unsigned long>(needed, 0x7fffffff)));
        m_capacity = m_buffer ? needed : 0;
        if (!m_buffer)
            throw Error(QStringLiteral("ERROR_JPEG"), QStringLiteral("Out of memory for the JPEG encoder"));
    }
    unsigned long size = m_capacity;
    if (tjCompress2(m_handle, bitmap.pixels.data(), bitmap.width, bitmap.stride, bitmap.height, TJPF_RGB, &m_buffer,
                    &size, subsampling, q, TJFLAG_NOREALLOC) != 0)
        throw Error(QStringLiteral("ERROR_JPEG"),
                    formatMessage("Cannot encode the page file \"%@\": %s", {path, tjGetErrorStr2(m_handle)}));
    writeAside(path, m_buffer, size);
}

} // namespace quire
