#pragma once
// One publish of a book, as the converter and the publish dialog both run
// it: the output folder made when missing, the HTML page titled, the web
// folder or desktop bundle written, and what happened reported back.
#include "PublishResult.h"
#include "import/FlashOutline.h"
#include "import/FlashPageSource.h"
#include "import/FlashPagesAnnotations.h"
#include "templates/FlashTemplate.h"

#include <QString>
#include <memory>

namespace quire {

// The tags of the output kinds, as the settings store them.
enum class BookKind : int { WebFolder = 0, DesktopApplication = 1 };

struct PublishedBook {
    PublishResult result;
    QString outputFileName; // what to open: the HTML page or the bundle
};

struct BookPublishJob {
    std::shared_ptr<FlashTemplate> flashTemplate;
    std::shared_ptr<FlashPageSource> flashPageSource;
    std::shared_ptr<FlashOutline> flashOutline;                    // may be absent
    std::shared_ptr<FlashPagesAnnotations> flashPagesAnnotations; // may be absent
    QString folder;
    QString name; // the page is name + ".html", the bundle name + ".app"
    QString title;
    BookKind kind = BookKind::WebFolder;
    // A web folder is made only inside an existing folder unless this is
    // set; a bundle's folder is always made with its parents.
    bool makeParentFolders = false;

    // Never throws: an error raised inside the publisher becomes the result.
    PublishedBook run() const;
};

// The program that starts a published bundle.
QString bundleLauncher(const QString& bundle);

} // namespace quire
