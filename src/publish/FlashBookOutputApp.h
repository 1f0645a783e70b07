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

    // Replaces the bundle with a fresh copy of the skeleton, then writes the
    // book into it as FlashBookOutput does.
    void ouputTheBook() override;

    QString outputHTMLFileName() const override; // always index.html
    QString outputFileName() const override;     // the bundle folder

    // The skeleton's "Contents" folder in the application's resources.
    static QString skeletonFolder();

private:
    QString bundleFolder() const;
};

} // namespace quire
