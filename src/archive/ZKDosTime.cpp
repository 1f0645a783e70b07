#include "ZKDosTime.h"

namespace quire::zk {

DosDateTime dosDateTime(const QDateTime& when)
{
    const QDateTime local = when.isValid() ? when.toLocalTime() : QDateTime::currentDateTime();
    QDate d = local.date();
    QTime t = local.time();
    if (d.year() < 1980) {
        d = QDate(1980, 1, 1);
        t = QTime(0, 0, 0);
    } else if (d.year() > 2107) {
        d = QDate(2107, 12, 31);
        t = QTime(23, 59, 58);
    }
    DosDateTime out;
    out.time = std::uint16_t((t.hour() << 11) | (t.minute() << 5) | (t.second() / 2));
    out.date = std::uint16_t(((d.year() - 1980) << 9) | (d.month() << 5) | d.day());
    return out;
}

} // namespace quire::zk
