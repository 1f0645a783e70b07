#include "ConvertJob.h"

#include "TemplateChoice.h"
#include "import/FlashPageSourcePDF.h"
#include "import/ImportPDFOperation.h"
#include "import/text/TextToPdf.h"
#include "publish/FlashBookOutput.h"
#include "publish/FlashBookOutputApp.h"
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

// Text and RTF are printed into the import PDF first; a PDF is read as it is.
JobResult preparePdf(const Options& o, QString& pdfPath)
{
    const QFileInfo source(o.source);
    if (!source.exists())
        return failure(kSourceUnreadable, QStringLiteral("%1: no such file").arg(o.source));
    if (!source.isFile() || !source.isReadable())
        return failure(kSourceUnreadable, QStringLiteral("%1: not a readable file").arg(o.source));

    const QString extension = fs::pathExtension(o.source).toLower();
    if (extension == QLatin1String("pdf")) {
        pdfPath = source.absoluteFilePath();
        return {};
    }
    if (extension != QLatin1String("txt") && extension != QLatin1String("rtf"))
        return failure(kSourceUnreadable,
                       QStringLiteral("%1: unknown kind of document \"%2\" (use a .txt, .rtf or .pdf file)")
                           .arg(o.source, extension.isEmpty() ? QStringLiteral("no extension") : "." + extension));

    QString error;
    pdfPath = TextToPdf::quirePdfPath(&error);
    if (pdfPath.isEmpty())
        return failure(kSourceUnreadable, QStringLiteral("%1: cannot prepare the import folder: %2").arg(o.source, error));
    const std::optional<ConversionResult> converted = TextToPdf::convertForImport(o.source, pdfPath);
    if (!converted || !converted->ok)
        return failure(kSourceUnreadable, converted ? converted->error
                                                    : QStringLiteral("%1: cannot be converted").arg(o.source));
    return {};
}

} // namespace

JobResult runConversion(const Options& o, ProgressBar& progress)
{
    TemplateChoice choice;
    if (JobResult bad = choice.resolve(o); bad.status != kDone)
        return bad;

    QString pdfPath;
    if (JobResult bad = preparePdf(o, pdfPath); bad.status != kDone)
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
        return failure(kImportFailed, QStringLiteral("%1: %2").arg(o.source, why));
    }

    // The page size follows the document's first page, as after an import in
    // the application.
    std::shared_ptr<FlashTemplate> flashTemplate = choice.load();
    if (auto* pdfPages = dynamic_cast<FlashPageSourcePDF*>(pages.get()); pdfPages && pdfPages->PDFDoc()) {
        try {
            const pdf::Rect box = pdfPages->PDFDoc()->cropBox(0);
            flashTemplate->setPropertyValue(QStringLiteral("pageWidth"), QString::number(int(box.width)));
            flashTemplate->setPropertyValue(QStringLiteral("pageHeight"), QString::number(int(box.height)));
        } catch (const Error&) {
            // A first page without a readable box keeps the template's size.
        }
    }

    if (QString error; !fs::makePath(o.outputFolder, &error))
        return failure(kPublishFailed, QStringLiteral("%1: cannot create the output folder: %2").arg(o.outputFolder, error));

    const QString pageName = o.name + QStringLiteral(".html");
    std::unique_ptr<FlashBookOutput> publisher;
    if (o.app)
        publisher = std::make_unique<FlashBookOutputApp>(pages, flashTemplate, o.outputFolder, pageName);
    else
        publisher = std::make_unique<FlashBookOutput>(pages, flashTemplate, o.outputFolder, pageName);
    auto html = std::make_shared<HTMLConfigInfo>();
    html->setHTMLTitle(o.title ? *o.title : QFileInfo(o.source).completeBaseName());
    publisher->setHTMLConfig(html);
    publisher->setFlashPagesAnnotations(operation.flashPagesAnnotation());
    publisher->setFlashOutline(operation.flashOutline());

    progress.step(QStringLiteral("Publishing %1 pages into %2").arg(pages->pages().size()).arg(o.outputFolder));
    const PublishResult published = publisher->ouputTheBook();
    if (!published.ok())
        return failure(kPublishFailed, published.description());

    return JobResult{kDone, QString(), publisher->outputFileName()};
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
