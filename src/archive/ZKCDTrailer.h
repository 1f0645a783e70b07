#pragma once
// The ZIP end of central directory record.
#include "util/Text.h"

#include <QByteArray>
#include <cstdint>

namespace quire {

class ZKCDTrailer {
public:
    static constexpr std::uint32_t kMagicNumber = 0x06054b50;
    static constexpr int kFixedLength = 22;

    ZKCDTrailer();

    // The record as written: 22 fixed bytes, then the comment.
    QByteArray data() const;
    qsizetype length() const;

    std::uint32_t magicNumber = kMagicNumber;
    std::uint32_t thisDiskNumber = 0;
    std::uint32_t diskNumberWithStartOfCentralDirectory = 0;
    std::uint32_t numberOfCentralDirectoryEntriesOnThisDisk = 0;
    std::uint32_t totalNumberOfCentralDirectoryEntries = 0;
    std::uint64_t sizeOfCentralDirectory = 0;
    std::uint64_t offsetOfStartOfCentralDirectory = 0;
    Text comment;
    std::uint32_t commentLength = 0;
};

} // namespace quire
