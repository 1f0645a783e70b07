#include "FileFilter.h"

#include "util/FileUtil.h"

#include <QRegularExpression>

namespace quire {

QStringList fileFilterExtensions(const Text& valueSource)
{
    QString filter = textOr(valueSource);
    filter.remove(QLatin1Char(';'));
    const QStringList parts = filter.split(QLatin1Char('|'));
    const QString patterns = parts.size() >= 2 ? parts[1] : filter;

    // The text before the first "*." is normally empty; when it is a bare
    // word ("jpg") it names an extension too. Words of a description that
    // slipped in ("Pictures (", "jpg,") are no extensions.
    static const QRegularExpression usable(QStringLiteral("^[^\\s*?/\\\\()|,]+$"));
    QStringList extensions;
    const QStringList pieces = patterns.split(QStringLiteral("*."));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString piece = pieces[i].trimmed();
        if (piece == QLatin1String("*"))
            return {};
        if (usable.match(piece).hasMatch() && !extensions.contains(piece, Qt::CaseInsensitive))
            extensions << piece;
    }
    return extensions;
}

bool fileFilterAllows(const QStringList& extensions, const QString& fileName)
{
    if (extensions.isEmpty())
        return true;
    const QString name = fs::lastPathComponent(fileName);
    for (const QString& extension : extensions)
        if (name.size() > extension.size() + 1
            && name.endsWith(QLatin1Char('.') + extension, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace quire
