#pragma once
// Readable failure messages for Qt values (texts: support/TestEnv.h).
#include "support/TestEnv.h"

#include <QColor>
#include <QRect>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}
inline void PrintTo(const QColor& color, std::ostream* os)
{
    *os << color.name(QColor::HexArgb).toStdString();
}
QT_END_NAMESPACE
