#include "ConvertJob.h"

#include "ArgumentPaths.h"
#include "TemplateChoice.h"
#include "import/FlashPageSourcePDF.h"
#include "import/ImportPDFOperation.h"
#include "import/text/PrintedPdf.h"
#include "publish/BookPublishJob.h"
#include "util/Error.h"
#include "util/FileUtil.h"

#include <QFileInfo>

namespace quire::cli {
namespace {

constexpr int kDPI = 144;

JobResult failure(int status, const QString& message)
{
    return JobResult{status, message, QString()};
}

// Text and RTF are printed into a PDF of this run's own first; a PDF is read
// as it is. `source` is the path to read, `shown` the name for messages.
JobResult preparePdf(const QString& source, const QString& shown, std::unique_ptr<PrintedPdf>& printed,
                     QString& pdfPath)
{
    const QFileInfo info(source);
    if (!info.exists())
        return failure(kSourceUnreadable, QStringLiteral("%1: no such file").arg(shown));
    if (!info.isFile() || !info.isReadable())
        return failure(kSourceUnreadable, QStringLiteral("%1: not a readable file").arg(shown));

    const QString extension = fs::pathExtension(source).toLower();
    if (extension == QLatin1String("pdf")) {
        pdfPath = info.absoluteFilePath();
        return {};
    }
    if (extension != QLatin1String("txt") && extension != QLatin1String("rtf"))
        return failure(kSourceUnreadable,
                       QStringLiteral("%1: unknown kind of document \"%2\" (use a .txt, .rtf or .pdf file)")
                           .arg(shown, extension.isEmpty() ? QStringLiteral("no extension") : "." + extension));

    printed = PrintedPdf::print(source, PrintedPdf::Place::Private);
    if (!printed->result().ok)
        return failure(kSourceUnreadable, printed->result().error);
    pdfPath = printed->path();
    return {};
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
    std::unique_ptr<PrintedPdf> printed;
    QString pdfPath;
    if (JobResult bad = preparePdf(source, shownSource, printed, pdfPath); bad.status != kDone)
        return bad;

    ImportPDFOperation operation(pdfPath, o.range, kDPI, qualityForLevel(o.qualityLevel));
    operation.setImportBookmarks(o.bookmarks);
    operation.setImportLinks(o.links);
    operation.setProgressHandler([&progress](const ImportProgressInfo& info) {
        progress.importing(info.pageIndex, info.totalPage,
                           info.type == kProgressTypePage ? QStringLiteral("rendering") : QStringLiteral("listing"));
    });
    operation.start();
    progress.finishLine();

    const std::shared_ptr<FlashPageSource> pages = operation.flashPageSource();
    if (!pages) {
        const QString why = operation.errorMessage().isEmpty() ? QStringLiteral("the import failed")
                                                               : operation.errorMessage();
        return failure(kImportFailed, QStringLiteral("%1: %2").arg(shownSource, why));
    }

    // The page size follows the document's first page as rendered, as after
    // an import in the application.
    std::shared_ptr<FlashTemplate> flashTemplate = choice.load();
    if (auto* pdfPages = dynamic_cast<FlashPageSourcePDF*>(pages.get())) {
        if (const std::optional<QSize> size = pdfPages->firstPageSize()) {
            flashTemplate->setPropertyValue(QStringLiteral("pageWidth"), QString::number(size->width()));
            flashTemplate->setPropertyValue(QStringLiteral("pageHeight"), QString::number(size->height()));
        }
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
    job.title = o.title ? displayName(*o.title) : QFileInfo(shownSource).completeBaseName();
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
    if (!flashTemplate->exportPropertiesSettingsTo(o.exportFile))
        return failure(kPublishFailed, QStringLiteral("%1: cannot be written").arg(o.exportFile));
    return JobResult{kDone, QString(), o.exportFile};
}

} // namespace quire::cli
