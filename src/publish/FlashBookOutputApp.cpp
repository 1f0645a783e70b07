#include "FlashBookOutputApp.h"

#include "PublishConstants.h"
#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/Log.h"
#include "util/Resources.h"

#include <QFileInfo>

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

void FlashBookOutputApp::ouputTheBook()
{
    const QString bundle = bundleFolder();
    const QString contents = fs::deletingLastPathComponent(saveToFolder());
    if (fs::exists(bundle))
        fs::removeAll(bundle);
    fs::makePath(bundle);

    const QString skeleton = skeletonFolder();
    if (!QFileInfo(skeleton).isDir())
        QLOG_ERROR("ouput the book,copy failed:%@",
                   formatMessage("The player skeleton %@ does not exist", {skeleton}));
    else if (!fs::copyFolder(skeleton, contents))
        QLOG_ERROR("ouput the book,copy failed:%@",
                   formatMessage("Could not copy the player skeleton %@ to %@", {skeleton, contents}));

    if (!QFileInfo(saveToFolder()).isDir())
        fs::makePath(saveToFolder());
    FlashBookOutput::ouputTheBook();
}

} // namespace quire
