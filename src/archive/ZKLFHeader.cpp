#include "ZKLFHeader.h"

#include "ZKByteWriter.h"
#include "ZKDosTime.h"

namespace quire {

ZKLFHeader::ZKLFHeader() : lastModDate(QDateTime::currentDateTime()) {}

QByteArray ZKLFHeader::data() const
{
    const QByteArray name = filename ? zk::precomposedUtf8(*filename) : QByteArray();
    const QByteArray extra = extraField.value_or(QByteArray());
    QByteArray out;
    out.reserve(kFixedLength + name.size() + extra.size());
    zk::putUInt32(out, magicNumber);
    zk::putUInt16(out, versionNeededToExtract);
    zk::putUInt16(out, generalPurposeBitFlag);
    zk::putUInt16(out, compressionMethod);
    zk::putUInt32(out, zk::dosDateTime(lastModDate).packed());
    zk::putUInt32(out, crc);
    zk::putUInt32(out, compressedSize);
    zk::putUInt32(out, uncompressedSize);
    zk::putUInt16(out, filenameLength);
    zk::putUInt16(out, std::uint64_t(extra.size()));
    out.append(name);
    out.append(extra);
    return out;
}

qsizetype ZKLFHeader::length() const
{
    const qsizetype name = filename ? zk::precomposedUtf8(*filename).size() : 0;
    return kFixedLength + name + (extraField ? extraField->size() : 0);
}

} // namespace quire
