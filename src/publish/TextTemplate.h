#pragma once
// "${key}" substitution over a text.
#include <QHash>
#include <QString>

namespace quire {

class TextTemplate {
public:
    explicit TextTemplate(const QString& fromStr) : m_fromStr(fromStr) {}

    // A later call for the same key replaces the earlier value.
    void setItem(const QString& key, const QString& value) { m_keyAndValues.insert(key, value); }

    // The text with every "${key}" replaced by its value, or removed when the
    // key has none. Keys run to the next "}" and compare exactly. Values go
    // in as they are. A "${" with no closing "}" is kept as plain text.
    QString parse() const;

    const QString& fromStr() const { return m_fromStr; }
    const QHash<QString, QString>& keyAndValues() const { return m_keyAndValues; }

private:
    QString m_fromStr;
    QHash<QString, QString> m_keyAndValues;
};

} // namespace quire
