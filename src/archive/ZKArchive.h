#pragma once
// In-memory ZIP archive writing: entries are deflated as they are added and
// the buffer holds a complete archive after every addition.
#include "ZKCDHeader.h"
#include "ZKCDTrailer.h"
#include "ZKLFHeader.h"
#include "util/Text.h"

#include <QByteArray>
#include <QDateTime>
#include <cstdint>
#include <optional>
#include <vector>

namespace quire {

// What an entry may carry besides its bytes; without them an entry gets the
// current time and external attributes 0.
struct ZKFileAttributes {
    std::optional<QDateTime> modificationDate;
    std::optional<std::uint32_t> posixPermissions; // e.g. 0644; stored in the high 16 bits
};

class ZKArchive {
public:
    ZKArchive() = default;
    virtual ~ZKArchive() = default;

    const std::vector<ZKCDHeader>& centralDirectory() const { return m_centralDirectory; }
    const ZKCDTrailer& cdTrailer() const { return m_cdTrailer; }

protected:
    std::vector<ZKCDHeader> m_centralDirectory;
    ZKCDTrailer m_cdTrailer;
};

class ZKDataArchive : public ZKArchive {
public:
    // Adds one deflated entry. Returns 1 when added, -1 when not (absent or
    // empty name, compression failure, or an entry the format's 32-bit
    // fields cannot describe); a refused entry leaves the archive unchanged.
    int deflateData(const QByteArray& bytes, const Text& filename,
                    const std::optional<ZKFileAttributes>& attributes = std::nullopt);

    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
};

namespace zk {
// A raw deflate stream (no zlib header or trailer); none on failure.
std::optional<QByteArray> rawDeflate(const QByteArray& bytes);
} // namespace zk

} // namespace quire
