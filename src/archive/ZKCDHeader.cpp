#include "ZKCDHeader.h"

#include "ZKByteWriter.h"
#include "ZKDosTime.h"

namespace quire {

ZKCDHeader::ZKCDHeader() : lastModDate(QDateTime::currentDateTime()) {}

QByteArray ZKCDHeader::data() const
{
    const QByteArray name = filename ? zk::precomposedUtf8(*filename) : QByteArray();
    const QByteArray extra = extraField.value_or(QByteArray());
    const QByteArray note = comment ? zk::precomposedUtf8(*comment) : QByteArray();
    QByteArray out;
    out.reserve(kFixedLength + name.size() + extra.size() + note.size());
    zk::putUInt32(out, magicNumber);
    zk::putUInt16(out, versionMadeBy);
    zk::putUInt16(out, versionNeededToExtract);
    zk::putUInt16(out, generalPurposeBitFlag);
    zk::putUInt16(out, compressionMethod);
    zk::putUInt32(out, zk::dosDateTime(lastModDate).packed());
    zk::putUInt32(out, crc);
    zk::putUInt32(out, compressedSize);
    zk::putUInt32(out, uncompressedSize);
    zk::putUInt16(out, std::uint64_t(name.size()));
    zk::putUInt16(out, std::uint64_t(extra.size()));
    zk::putUInt16(out, std::uint64_t(note.size()));
    zk::putUInt16(out, diskNumberStart);
    zk::putUInt16(out, internalFileAttributes);
    zk::putUInt32(out, externalFileAttributes);
    zk::putUInt32(out, localHeaderOffset);
    out.append(name);
    out.append(extra);
    out.append(note);
    return out;
}

qsizetype ZKCDHeader::length() const
{
    const qsizetype name = filename ? zk::precomposedUtf8(*filename).size() : 0;
    const qsizetype note = comment ? zk::precomposedUtf8(*comment).size() : 0;
    return kFixedLength + name + (extraField ? extraField->size() : 0) + note;
}

} // namespace quire
