#pragma once
// One ZIP central directory file header.
#include "util/Text.h"

#include <QByteArray>
#include <QDateTime>
#include <cstdint>
#include <optional>

namespace quire {

class ZKCDHeader {
public:
    static constexpr std::uint32_t kMagicNumber = 0x02014b50;
    static constexpr int kFixedLength = 46;

    ZKCDHeader();

    // The record as written: 46 fixed bytes, then name, extra field and comment.
    QByteArray data() const;
    // Byte length of data(): 46 plus the name, extra field and comment lengths.
    qsizetype length() const;

    std::uint32_t magicNumber = kMagicNumber;
    // Made on UNIX (3) by version 2.1 of the format.
    std::uint32_t versionMadeBy = 789;
    std::uint32_t versionNeededToExtract = 20;
    std::uint32_t generalPurposeBitFlag = 0;
    std::uint32_t compressionMethod = 8;
    QDateTime lastModDate;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint32_t filenameLength = 0;
    std::uint32_t extraFieldLength = 0;
    std::uint32_t commentLength = 0;
    std::uint32_t diskNumberStart = 0;
    std::uint32_t internalFileAttributes = 0;
    std::uint32_t externalFileAttributes = 0;
    std::uint64_t localHeaderOffset = 0;
    Text filename;
    std::optional<QByteArray> extraField;
    Text comment;
};

} // namespace quire
