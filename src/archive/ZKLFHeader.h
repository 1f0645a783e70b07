#pragma once
// One ZIP local file header.
#include "util/Text.h"

#include <QByteArray>
#include <QDateTime>
#include <cstdint>
#include <optional>

namespace quire {

class ZKLFHeader {
public:
    static constexpr std::uint32_t kMagicNumber = 0x04034b50;
    static constexpr int kFixedLength = 30;

    ZKLFHeader();

    // The record as written: 30 fixed bytes, then the name and the extra field.
    QByteArray data() const;
    // Byte length of data().
    qsizetype length() const;

    std::uint32_t magicNumber = kMagicNumber;
    std::uint32_t versionNeededToExtract = 20;
    std::uint32_t generalPurposeBitFlag = 0;
    std::uint32_t compressionMethod = 8;
    QDateTime lastModDate;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint32_t filenameLength = 0;
    std::uint32_t extraFieldLength = 0;
    Text filename;
    std::optional<QByteArray> extraField;
};

} // namespace quire
