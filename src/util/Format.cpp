#include "Format.h"

#include <algorithm>

namespace quire {

QString FormatArg::asText() const
{
    if (auto s = std::get_if<QString>(&m_value))
        return *s;
    if (auto i = std::get_if<long long>(&m_value))
        return QString::number(*i);
    return QString::number(std::get<double>(m_value), 'f', 6);
}

long long FormatArg::asInteger() const
{
    if (auto i = std::get_if<long long>(&m_value))
        return *i;
    if (auto d = std::get_if<double>(&m_value))
        return static_cast<long long>(*d);
    return std::get<QString>(m_value).trimmed().toLongLong();
}

double FormatArg::asReal() const
{
    if (auto d = std::get_if<double>(&m_value))
        return *d;
    if (auto i = std::get_if<long long>(&m_value))
        return static_cast<double>(*i);
    return std::get<QString>(m_value).trimmed().toDouble();
}

QString formatMessage(std::string_view format, std::initializer_list<FormatArg> args)
{
    QString out;
    out.reserve(qsizetype(format.size()) + 16);
    auto next = args.begin();
    auto take = [&]() -> const FormatArg* { return next == args.end() ? nullptr : &*next++; };

    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 == format.size()) {
            // Collect plain runs so multi-byte UTF-8 sequences decode intact.
            size_t j = i;
            while (j < format.size() && (format[j] != '%' || j + 1 == format.size()))
                ++j;
            out += QString::fromUtf8(format.data() + i, qsizetype(j - i));
            i = j - 1;
            continue;
        }
        const char spec = format[++i];
        const FormatArg* arg = nullptr;
        switch (spec) {
        case '%':
            out += QLatin1Char('%');
            break;
        case '@':
        case 's':
            arg = take();
            out += arg ? arg->asText() : QStringLiteral("(null)");
            break;
        case 'd':
            arg = take();
            out += QString::number(arg ? arg->asInteger() : 0);
            break;
        case 'f':
            arg = take();
            out += QString::number(arg ? arg->asReal() : 0.0, 'f', 6);
            break;
        default:
            out += QLatin1Char('%');
            out += QLatin1Char(spec);
            break;
        }
    }
    return out;
}

} // namespace quire

namespace quire {

int leadingInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    long long value = 0;
    while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        value = std::min(value * 10 + (text[i].unicode() - '0'), 0x80000000LL);
        ++i;
    }
    if (negative)
        return int(-value);
    return int(std::min(value, 0x7fffffffLL));
}

} // namespace quire
