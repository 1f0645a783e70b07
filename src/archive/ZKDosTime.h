#pragma once
// The MS-DOS date and time that ZIP headers carry: two-second resolution,
// years 1980 to 2107, in local time as ZIP readers expect.
#include <QDateTime>
#include <cstdint>

namespace quire::zk {

struct DosDateTime {
    std::uint16_t time = 0;
    std::uint16_t date = 0;

    // Time in the low 16 bits, date in the high 16 bits, as the headers store them.
    std::uint32_t packed() const { return std::uint32_t(time) | (std::uint32_t(date) << 16); }
};

// Dates outside the representable years are clamped to the nearest end.
DosDateTime dosDateTime(const QDateTime& when);

} // namespace quire::zk
