#include "BookPublishJob.h"

#include "FlashBookOutputApp.h"
#include "PublishConstants.h"
#include "util/FileUtil.h"

#include <QFileInfo>
#include <exception>

namespace quire {
namespace {

const QString kFolderStep = QStringLiteral("output folder");

bool checkName(const QString& name, const QString& folder, PublishResult& result)
{
    if (name.isEmpty())
        result.fail(QStringLiteral("name"), folder, QStringLiteral("the book has no name"));
    else if (name.contains(QLatin1Char('/')))
        result.fail(QStringLiteral("name"), fs::join(folder, name),
                    QStringLiteral("the name must be a plain file name, without \"/\""));
    return result.ok();
}

// Makes the folder of a web book when it is missing; without withParents
// only the folder itself, inside a folder that exists.
bool makeBookFolder(const QString& folder, bool withParents, PublishResult& result)
{
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = fs::deletingLastPathComponent(folder);
    QString error;
    if (!withParents && !parent.isEmpty() && !QFileInfo(parent).isDir())
        error = fs::exists(parent) ? QStringLiteral("%1 is not a folder").arg(parent)
                                   : QStringLiteral("the folder %1 does not exist").arg(parent);
    else if (fs::makePath(folder, &error))
        return true;
    result.fail(kFolderStep, folder, QStringLiteral("cannot be created: %1").arg(error));
    return false;
}

} // namespace

PublishedBook BookPublishJob::run() const
{
    PublishedBook book;
    PublishResult& result = book.result;
    if (folder.isEmpty()) {
        result.fail(kFolderStep, folder, QStringLiteral("no output folder was given"));
        return book;
    }
    if (!checkName(name, folder, result))
        return book;
    if (kind == BookKind::WebFolder && !makeBookFolder(folder, makeParentFolders, result))
        return book;

    const QString pageName = name + QStringLiteral(".html");
    std::unique_ptr<FlashBookOutput> publisher;
    if (kind == BookKind::DesktopApplication)
        publisher = std::make_unique<FlashBookOutputApp>(flashPageSource, flashTemplate, folder, pageName);
    else
        publisher = std::make_unique<FlashBookOutput>(flashPageSource, flashTemplate, folder, pageName);
    auto html = std::make_shared<HTMLConfigInfo>();
    html->setHTMLTitle(title);
    publisher->setHTMLConfig(html);
    publisher->setFlashPagesAnnotations(flashPagesAnnotations);
    publisher->setFlashOutline(flashOutline);
    book.outputFileName = publisher->outputFileName();
    try {
        result = publisher->ouputTheBook();
    } catch (const std::exception& error) {
        result.fail(QStringLiteral("publish"), folder, QString::fromLocal8Bit(error.what()));
    }
    return book;
}

QString bundleLauncher(const QString& bundle)
{
    return fs::join(bundle, QString::fromUtf8(publish::kBundleLauncher));
}

} // namespace quire
