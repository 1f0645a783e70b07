#pragma once
// Little-endian field writers for the ZIP records.
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace quire::zk {

inline void putUInt16(QByteArray& out, std::uint64_t value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

inline void putUInt32(QByteArray& out, std::uint64_t value)
{
    putUInt16(out, value & 0xffff);
    putUInt16(out, (value >> 16) & 0xffff);
}

// Names and comments are stored precomposed, so the same letters always give
// the same bytes whatever form the caller's text was in.
inline QByteArray precomposedUtf8(const QString& text)
{
    return text.normalized(QString::NormalizationForm_C).toUtf8();
}

} // namespace quire::zk
