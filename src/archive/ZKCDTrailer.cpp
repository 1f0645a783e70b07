#include "ZKCDTrailer.h"

#include "ZKByteWriter.h"

namespace quire {

ZKCDTrailer::ZKCDTrailer() : comment(QStringLiteral("Archive created with ZipKit"))
{
    commentLength = std::uint32_t(zk::precomposedUtf8(*comment).size());
}

QByteArray ZKCDTrailer::data() const
{
    const QByteArray note = comment ? zk::precomposedUtf8(*comment) : QByteArray();
    QByteArray out;
    out.reserve(kFixedLength + note.size());
    zk::putUInt32(out, magicNumber);
    zk::putUInt16(out, thisDiskNumber);
    zk::putUInt16(out, diskNumberWithStartOfCentralDirectory);
    zk::putUInt16(out, numberOfCentralDirectoryEntriesOnThisDisk);
    zk::putUInt16(out, totalNumberOfCentralDirectoryEntries);
    zk::putUInt32(out, sizeOfCentralDirectory);
    zk::putUInt32(out, offsetOfStartOfCentralDirectory);
    zk::putUInt16(out, std::uint64_t(note.size()));
    out.append(note);
    return out;
}

qsizetype ZKCDTrailer::length() const
{
    return kFixedLength + (comment ? zk::precomposedUtf8(*comment).size() : 0);
}

} // namespace quire
