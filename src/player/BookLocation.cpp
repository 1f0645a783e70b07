#include "BookLocation.h"

#include <QDir>
#include <QFileInfo>

namespace quire::player {

namespace {

// The bundle's name when the page sits in N.app/Contents/Resources.
QString bundleName(const QString& page)
{
    QDir dir = QFileInfo(page).absoluteDir();
    if (dir.dirName() != QLatin1String("Resources") || !dir.cdUp() || dir.dirName() != QLatin1String("Contents")
        || !dir.cdUp())
        return QString();
    const QString bundle = dir.dirName();
    return bundle.endsWith(QLatin1String(".app")) ? bundle.chopped(4) : QString();
}

} // namespace

BookLocation BookLocation::fromArgument(const QString& argument)
{
    BookLocation book;
    QFileInfo info(argument);
    if (info.isDir()) {
        const QDir dir(info.absoluteFilePath());
        const QString resources = dir.filePath(QStringLiteral("Contents/Resources/index.html"));
        info.setFile(QFileInfo(resources).isFile() ? resources : dir.filePath(QStringLiteral("index.html")));
    }
    book.page = QDir::cleanPath(info.absoluteFilePath());
    book.exists = info.isFile();
    book.name = bundleName(book.page);
    if (book.name.isEmpty())
        book.name = QFileInfo(book.page).absoluteDir().dirName();
    return book;
}

} // namespace quire::player
