#include "TextTemplate.h"

namespace quire {

QString TextTemplate::parse() const
{
    static const QString open = QStringLiteral("${");
    QString result;
    result.reserve(m_fromStr.size());
    qsizetype from = 0;
    while (from < m_fromStr.size()) {
        const qsizetype start = m_fromStr.indexOf(open, from);
        const qsizetype close = start < 0 ? -1 : m_fromStr.indexOf(QLatin1Char('}'), start + open.size());
        if (start < 0 || close < 0) {
            result += QStringView(m_fromStr).mid(from);
            break;
        }
        result += QStringView(m_fromStr).mid(from, start - from);
        const QString key = m_fromStr.mid(start + open.size(), close - start - open.size());
        const auto value = m_keyAndValues.constFind(key);
        if (value != m_keyAndValues.constEnd())
            result += *value;
        from = close + 1;
    }
    return result;
}

} // namespace quire
