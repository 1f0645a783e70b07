#pragma once
// printf-like formatting in the system's own notation: %@ (text or any
// value's description), %d (integer), %f (real, six decimals), %s (text), %%.
#include <QString>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace quire {

class FormatArg {
public:
    FormatArg(int v) : m_value(static_cast<long long>(v)) {}
    FormatArg(long v) : m_value(static_cast<long long>(v)) {}
    FormatArg(long long v) : m_value(v) {}
    FormatArg(unsigned v) : m_value(static_cast<long long>(v)) {}
    FormatArg(unsigned long v) : m_value(static_cast<long long>(v)) {}
    FormatArg(unsigned long long v) : m_value(static_cast<long long>(v)) {}
    FormatArg(bool v) : m_value(static_cast<long long>(v)) {}
    FormatArg(float v) : m_value(static_cast<double>(v)) {}
    FormatArg(double v) : m_value(v) {}
    FormatArg(const QString& v) : m_value(v) {}
    FormatArg(const char* v) : m_value(QString::fromUtf8(v ? v : "(null)")) {}
    FormatArg(const std::string& v) : m_value(QString::fromStdString(v)) {}
    FormatArg(std::string_view v) : m_value(QString::fromUtf8(v.data(), qsizetype(v.size()))) {}

    QString asText() const;
    long long asInteger() const;
    double asReal() const;

private:
    std::variant<long long, double, QString> m_value;
};

QString formatMessage(std::string_view format, std::initializer_list<FormatArg> args = {});

} // namespace quire

namespace quire {

// The integer a text starts with, as the C library scans it: leading white
// space, an optional sign, then decimal digits up to the first other
// character; 0 without digits. Saturates at the limits of int.
int leadingInteger(const QString& text);

} // namespace quire
