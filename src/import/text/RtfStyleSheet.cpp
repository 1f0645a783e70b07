#include "RtfStyleSheet.h"

#include <QStringList>

namespace quire::textimport {

void RtfStyleSheet::beginEntry()
{
    m_entry = Entry{};
}

void RtfStyleSheet::setNumber(int number)
{
    if (m_entry)
        m_entry->number = number;
}

void RtfStyleSheet::setNotParagraphStyle()
{
    if (m_entry)
        m_entry->paragraph = false;
}

void RtfStyleSheet::appendText(const QString& text)
{
    if (!m_entry || m_entry->nameEnded)
        return;
    const qsizetype end = text.indexOf(QLatin1Char(';'));
    m_entry->name.append(text.left(end < 0 ? text.size() : end).left(kMaxNameLength - m_entry->name.size()));
    m_entry->nameEnded = end >= 0;
}

void RtfStyleSheet::endEntry()
{
    if (!m_entry)
        return;
    if (m_entry->paragraph && m_entry->number >= 0 && !m_entry->name.trimmed().isEmpty()) {
        // A later definition of the same number replaces the earlier one.
        if (const int level = headingLevelOfName(m_entry->name); level > 0)
            m_headings.insert(m_entry->number, level);
        else
            m_headings.remove(m_entry->number);
    }
    m_entry.reset();
}

int RtfStyleSheet::headingLevelOfName(const QString& name)
{
    for (const QString& alias : name.split(QLatin1Char(','))) {
        const QString n = alias.simplified();
        if (n.size() == 9 && n.startsWith(QLatin1String("heading "), Qt::CaseInsensitive) && n[8] >= QLatin1Char('1') &&
            n[8] <= QLatin1Char('9'))
            return n[8].unicode() - '0';
    }
    return 0;
}

} // namespace quire::textimport
