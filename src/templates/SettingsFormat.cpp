#include "SettingsFormat.h"

#include "util/RegularFile.h"

#include <QStringDecoder>

namespace quire::settings {
namespace {

// A value with a line break used to be written as it is, and the reader,
// which splits at line breaks, kept only its first line. Such a record is now
// written escaped: a backslash before the key, and "\\", "\n" and "\r" for
// backslash, line feed and carriage return in key and value. Records without
// line breaks are written exactly as before, so files of both kinds read
// alike. An older file can only read differently where one of its lines
// starts with a backslash, which its writer never put there: keys come from
// template definitions, and the continuation lines of broken multi-line
// values held the text of an about box, not a backslash, a key and "=".
// Older readers skip an escaped record, since no key starts with a backslash.
constexpr QChar kEscape = QLatin1Char('\\');

bool needsEscape(const QString& key, const QString& value)
{
    auto hasBreak = [](const QString& text) {
        return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    };
    return hasBreak(key) || hasBreak(value) || key.startsWith(kEscape);
}

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == kEscape)
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

// Unknown escapes and a lone backslash at the end stay as they stand.
QString unescaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (c != kEscape || (next != kEscape && next != QLatin1Char('n') && next != QLatin1Char('r'))) {
            out += c;
            continue;
        }
        out += next == QLatin1Char('n') ? QLatin1Char('\n') : next == QLatin1Char('r') ? QLatin1Char('\r') : kEscape;
        ++i;
    }
    return out;
}

} // namespace

QString formatRecord(const QString& key, const QString& value)
{
    QString k = key;
    k.replace(QStringLiteral("\n\r"), QStringLiteral("|||"));
    if (!needsEscape(k, value))
        return k + QLatin1Char('=') + value;
    return kEscape + escaped(k) + QLatin1Char('=') + escaped(value);
}

std::vector<Record> parseRecords(const QString& text)
{
    std::vector<Record> records;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\r'));
        const bool escapedRecord = line.startsWith(kEscape);
        if (escapedRecord)
            line.remove(0, 1);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        Record record{line.left(eq), line.mid(eq + 1)};
        if (escapedRecord) {
            record.key = unescaped(record.key);
            record.value = unescaped(record.value);
        }
        records.push_back(std::move(record));
    }
    return records;
}

Text readSettingsFile(const QString& path, QString* error)
{
    const std::optional<QByteArray> bytes = fs::readRegularFile(path, kMaxFileSize, error);
    if (!bytes)
        return std::nullopt;
    // Decoding leniently would put U+FFFD in place of letters, and those
    // garbled values would then be saved into books and exports.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(*bytes);
    if (decoder.hasError()) {
        if (error)
            *error = QStringLiteral("is not UTF-8 text");
        return std::nullopt;
    }
    return text;
}

} // namespace quire::settings
