#include "FileFilter.h"

#include <QRegularExpression>

namespace quire {
namespace {

bool isMalformed(const QString& piece)
{
    static const QRegularExpression unusable(QStringLiteral("[\\s/\\\\*?\\[\\]]"));
    return piece.contains(unusable);
}

} // namespace

QStringList fileFilterExtensions(const Text& valueSource)
{
    if (!valueSource)
        return {};
    QString text = *valueSource;
    text.remove(QLatin1Char(';'));
    const QStringList parts = text.split(QLatin1Char('|'));
    const QString patterns = parts.size() >= 2 ? parts.at(1) : text;

    QStringList extensions;
    for (const QString& piece : patterns.split(QStringLiteral("*."))) {
        if (isMalformed(piece))
            return {};
        if (!piece.isEmpty())
            extensions << piece;
    }
    return extensions;
}

} // namespace quire
