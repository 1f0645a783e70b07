#include "FlashBookOutputApp.h"

#include "PublishConstants.h"
#include "PublishStaging.h"
#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/Log.h"
#include "util/Resources.h"


namespace quire {
namespace {

QString bundleName(const Text& fileName)
{
    return fs::deletingPathExtension(textOr(fileName)) + QStringLiteral(".app");
}

} // namespace

FlashBookOutputApp::FlashBookOutputApp(std::shared_ptr<FlashPageSource> pageSource,
                                       std::shared_ptr<FlashTemplate> flashTemplate, const QString& saveToFolder,
                                       const Text& fileName)
    : FlashBookOutput(std::move(pageSource), std::move(flashTemplate),
                      fs::join(saveToFolder, bundleName(fileName), QStringLiteral("Contents/Resources/")),
                      bundleName(fileName))
{
}

QString FlashBookOutputApp::skeletonFolder()
{
    return resourcePath(QString::fromUtf8(publish::kAppSkeletonFolder));
}

QString FlashBookOutputApp::bundleFolder() const
{
    return fs::deletingLastPathComponent(fs::deletingLastPathComponent(saveToFolder()));
}

QString FlashBookOutputApp::outputHTMLFileName() const
{
    return fs::join(saveToFolder(), QString::fromUtf8(publish::kDefaultHTMLFileName));
}

QString FlashBookOutputApp::outputFileName() const
{
    return bundleFolder();
}

PublishResult FlashBookOutputApp::ouputTheBook()
{
    PublishResult result;
    const QString bundle = bundleFolder();
    const QString chosen = fs::deletingLastPathComponent(bundle);
    QString error;
    if (!fs::makePath(chosen, &error)) {
        result.fail(QStringLiteral("output folder"), chosen, QStringLiteral("cannot be created: %1").arg(error));
        return result;
    }
    {
        // The whole bundle is made beside the old one and takes its place.
        PublishStaging staging(chosen, result);
        if (!result.ok())
            return result;
        const QString staged = fs::join(staging.path(), fs::lastPathComponent(bundle));
        const QString contents = fs::join(staged, QStringLiteral("Contents"));
        const QString resources = fs::join(contents, QStringLiteral("Resources"));
        const QString skeleton = skeletonFolder();
        if (!fs::copyFolder(skeleton, contents, &error)) {
            QLOG_ERROR("ouput the book,copy failed:%@",
                       formatMessage("Could not copy the player skeleton %@: %@", {skeleton, error}));
            result.fail(QStringLiteral("player skeleton"), contents,
                        formatMessage("the player skeleton %@ could not be copied: %@", {skeleton, error}));
        } else if (!fs::makePath(resources, &error)) {
            result.fail(QStringLiteral("player skeleton"), resources, QStringLiteral("cannot be created: %1").arg(error));
        } else {
            publish::moment("skeleton copied");
            result.take(writeBook(resources));
        }
        result.relocate(staging.path(), chosen);
        if (!result.ok())
            return result;
        staging.commit({fs::lastPathComponent(bundle)}, result);
        publish::moment("book swapped");
    }
    publish::moment("publish done");
    return result;
}

} // namespace quire
