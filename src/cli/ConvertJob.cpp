#include "ConvertJob.h"

#include "ArgumentPaths.h"
#include "TemplateChoice.h"
#include "import/DocumentImport.h"
#include "publish/BookPublishJob.h"
#include "util/Error.h"
#include "util/FileUtil.h"

#include <QDir>
#include <QFileInfo>

namespace quire::cli {
namespace {

JobResult failure(int status, const QString& message)
{
    return JobResult{status, message, QString()};
}

} // namespace

JobResult runConversion(const Options& o, ProgressBar& progress)
{
    TemplateChoice choice;
    if (JobResult bad = choice.resolve(o); bad.status != kDone)
        return bad;

    ArgumentPaths names;
    QString error;
    const QString shownSource = displayName(o.source);
    const QString source = names.file(o.source, &error);
    if (source.isEmpty())
        return failure(kSourceUnreadable, QStringLiteral("%1: cannot be reached: %2").arg(shownSource, error));
    DocumentImportOptions importOptions;
    importOptions.source = source;
    importOptions.shownName = shownSource;
    importOptions.pageRange = o.range;
    importOptions.qualityLevel = o.qualityLevel;
    importOptions.importBookmarks = o.bookmarks;
    importOptions.importLinks = o.links;
    importOptions.place = PrintedPdf::Place::Private;
    DocumentImport operation(importOptions);
    operation.setProgressHandler([&progress](const ImportProgressInfo& info) {
        progress.importing(info.pageIndex, info.totalPage,
                           info.type == kProgressTypePage ? QStringLiteral("rendering") : QStringLiteral("listing"));
    });
    operation.start();
    progress.finishLine();
    if (operation.failure() != DocumentImport::Failure::None)
        return failure(operation.failure() == DocumentImport::Failure::Source ? kSourceUnreadable : kImportFailed,
                       operation.errorMessage());
    const std::shared_ptr<FlashPageSource> pages = operation.flashPageSource();

    // The page size follows the document's first page as rendered, as after
    // an import in the application.
    std::shared_ptr<FlashTemplate> flashTemplate = choice.load();
    if (const std::optional<QSize> size = operation.firstPageSize()) {
        flashTemplate->setPropertyValue(QStringLiteral("pageWidth"), QString::number(size->width()));
        flashTemplate->setPropertyValue(QStringLiteral("pageHeight"), QString::number(size->height()));
    }

    const QString shownFolder = displayName(o.outputFolder);
    const QString folder = names.folder(o.outputFolder, &error);
    if (folder.isEmpty())
        return failure(kPublishFailed, QStringLiteral("%1: %2").arg(shownFolder, error));

    BookPublishJob job;
    job.flashTemplate = flashTemplate;
    job.flashPageSource = pages;
    job.flashOutline = operation.flashOutline();
    job.flashPagesAnnotations = operation.flashPagesAnnotation();
    job.folder = folder;
    job.name = o.name;
    job.title = o.title ? displayName(*o.title) : QFileInfo(QDir::cleanPath(shownSource)).completeBaseName();
    job.kind = o.app ? BookKind::DesktopApplication : BookKind::WebFolder;
    job.makeParentFolders = true;

    progress.step(QStringLiteral("Publishing %1 pages into %2").arg(pages->pages().size()).arg(shownFolder));
    PublishedBook book = job.run();
    if (!book.result.ok()) {
        book.result.relocate(folder, displayName(names.original(folder)));
        return failure(kPublishFailed, book.result.description());
    }

    return JobResult{kDone, QString(), names.original(book.outputFileName)};
}

JobResult exportSettings(const Options& o)
{
    TemplateChoice choice;
    if (JobResult bad = choice.resolve(o); bad.status != kDone)
        return bad;
    std::shared_ptr<FlashTemplate> flashTemplate = choice.load();
    QString error;
    if (!flashTemplate->exportPropertiesSettingsTo(o.exportFile, &error))
        return failure(kPublishFailed, QStringLiteral("%1: cannot be written: %2").arg(o.exportFile, error));
    return JobResult{kDone, QString(), o.exportFile};
}

} // namespace quire::cli
