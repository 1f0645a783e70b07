#pragma once
// Publishes the book as a desktop application bundle N.app: the player
// skeleton from the resources, with the book folder in Contents/Resources.
#include "FlashBookOutput.h"

namespace quire {

class FlashBookOutputApp : public FlashBookOutput {
public:
    // fileName is the page name the dialog passes (N.html); the bundle is
    // saveToFolder/N.app and the book goes into its Contents/Resources/.
    FlashBookOutputApp(std::shared_ptr<FlashPageSource> pageSource, std::shared_ptr<FlashTemplate> flashTemplate,
                       const QString& saveToFolder, const Text& fileName);

    // Makes a fresh bundle from the skeleton with the book in it, as
    // FlashBookOutput writes a book, and puts it in the place of the earlier
    // bundle in one step. A skeleton that cannot be copied fails the publish.
    PublishResult ouputTheBook() override;

    QString outputHTMLFileName() const override; // always index.html
    QString outputFileName() const override;     // the bundle folder

    // The skeleton's "Contents" folder in the application's resources.
    static QString skeletonFolder();

protected:
    QString previousBook() const override { return QString(); } // made afresh

private:
    QString bundleFolder() const;
};

} // namespace quire
