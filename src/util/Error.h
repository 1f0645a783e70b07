#pragma once
// A failure that carries a name and a reason, raised where an operation
// cannot go on and caught (and logged) by its caller.
#include <QString>
#include <stdexcept>

namespace quire {

class Error : public std::runtime_error {
public:
    Error(const QString& name, const QString& reason)
        : std::runtime_error((name + QStringLiteral(": ") + reason).toStdString()), m_name(name), m_reason(reason)
    {
    }
    explicit Error(const QString& reason) : Error(QStringLiteral("Error"), reason) {}

    const QString& name() const { return m_name; }
    const QString& reason() const { return m_reason; }
    QString description() const { return m_reason; }

private:
    QString m_name;
    QString m_reason;
};

} // namespace quire
