#include "ZKArchive.h"

#include "ZKByteWriter.h"

#include <algorithm>
#include <zlib.h>

namespace quire {
namespace {

constexpr std::uint64_t kMax32 = 0xffffffffULL;
constexpr std::uint64_t kMax16 = 0xffffULL;

struct DeflateStream {
    z_stream z{};
    bool open = false;
    ~DeflateStream()
    {
        if (open)
            deflateEnd(&z);
    }
};

} // namespace

namespace zk {

std::optional<QByteArray> rawDeflate(const QByteArray& bytes)
{
    DeflateStream s;
    // Negative window bits: a bare deflate stream, as ZIP method 8 stores it.
    if (deflateInit2(&s.z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    s.open = true;

    QByteArray out;
    out.resize(qsizetype(deflateBound(&s.z, uLong(bytes.size()))));
    // zlib counts in 32-bit units; feed large buffers in slices.
    constexpr std::uint64_t kSlice = 1u << 30;
    auto* in = reinterpret_cast<const Bytef*>(bytes.constData());
    std::uint64_t inLeft = std::uint64_t(bytes.size());
    s.z.next_out = reinterpret_cast<Bytef*>(out.data());
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        const uInt inNow = uInt(std::min(inLeft, kSlice));
        s.z.next_in = const_cast<Bytef*>(in);
        s.z.avail_in = inNow;
        const std::uint64_t outLeft = std::uint64_t(out.size()) - s.z.total_out;
        if (outLeft == 0)
            return std::nullopt; // deflateBound promises more room than this
        s.z.avail_out = uInt(std::min(outLeft, kSlice));
        const int flush = inLeft == inNow ? Z_FINISH : Z_NO_FLUSH;
        rc = deflate(&s.z, flush);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
            return std::nullopt;
        const uInt consumed = inNow - s.z.avail_in;
        in += consumed;
        inLeft -= consumed;
        if (rc == Z_BUF_ERROR && s.z.avail_out != 0)
            return std::nullopt; // no progress possible
    }
    out.resize(qsizetype(s.z.total_out));
    if (out.isEmpty())
        return std::nullopt;
    return out;
}

} // namespace zk

int ZKDataArchive::deflateData(const QByteArray& bytes, const Text& filename,
                               const std::optional<ZKFileAttributes>& attributes)
{
    if (!filename || filename->isEmpty())
        return -1;
    const std::optional<QByteArray> compressed = zk::rawDeflate(bytes);
    if (!compressed)
        return -1;

    const std::uint64_t offset = m_cdTrailer.offsetOfStartOfCentralDirectory;
    const QByteArray nameBytes = zk::precomposedUtf8(*filename);

    ZKLFHeader local;
    local.uncompressedSize = std::uint64_t(bytes.size());
    local.filename = filename;
    local.filenameLength = std::uint32_t(nameBytes.size());
    local.crc = std::uint32_t(crc32_z(crc32_z(0, nullptr, 0),
                                      reinterpret_cast<const Bytef*>(bytes.constData()),
                                      z_size_t(bytes.size())));
    local.compressedSize = std::uint64_t(compressed->size());

    ZKCDHeader central;
    central.uncompressedSize = local.uncompressedSize;
    central.crc = local.crc;
    central.compressedSize = local.compressedSize;
    central.filename = local.filename;
    central.filenameLength = local.filenameLength;
    central.localHeaderOffset = offset;
    central.compressionMethod = local.compressionMethod;
    central.generalPurposeBitFlag = local.generalPurposeBitFlag;
    central.versionNeededToExtract = local.versionNeededToExtract;
    if (attributes) {
        if (attributes->modificationDate) {
            local.lastModDate = *attributes->modificationDate;
            central.lastModDate = *attributes->modificationDate;
        }
        if (attributes->posixPermissions)
            central.externalFileAttributes = (*attributes->posixPermissions & 0xffffu) << 16;
    }

    // Without the ZIP64 extensions every size and offset must fit 32 bits and
    // the entry count 16 bits; an entry that would overflow them is refused
    // rather than written as a corrupt archive.
    const std::uint64_t newOffset = offset + std::uint64_t(local.length()) + local.compressedSize;
    const std::uint64_t newCdSize = m_cdTrailer.sizeOfCentralDirectory + std::uint64_t(central.length());
    if (std::uint64_t(nameBytes.size()) > kMax16 || local.uncompressedSize > kMax32
        || local.compressedSize > kMax32 || newOffset > kMax32 || newCdSize > kMax32
        || m_cdTrailer.totalNumberOfCentralDirectoryEntries + 1 > kMax16)
        return -1;

    m_centralDirectory.push_back(central);
    m_cdTrailer.numberOfCentralDirectoryEntriesOnThisDisk += 1;
    m_cdTrailer.totalNumberOfCentralDirectoryEntries += 1;
    m_cdTrailer.sizeOfCentralDirectory = newCdSize;

    m_data.truncate(qsizetype(offset));
    m_data.reserve(qsizetype(newOffset + newCdSize) + m_cdTrailer.length());
    m_data.append(local.data());
    m_data.append(*compressed);
    m_cdTrailer.offsetOfStartOfCentralDirectory = std::uint64_t(m_data.size());
    for (const ZKCDHeader& header : m_centralDirectory)
        m_data.append(header.data());
    m_data.append(m_cdTrailer.data());
    return 1;
}

} // namespace quire
