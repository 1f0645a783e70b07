#include "PDFToPageConverter.h"

#include "app/QuillUtility.h"
#include "util/FileUtil.h"

namespace quire {

PDFToPageConverter::PDFToPageConverter(const QString& PDFPath, std::shared_ptr<pdf::PdfDocument> PDFDoc, int quality)
    : m_quality(quality),
      m_PDFPath(PDFPath),
      m_converterWorkFolder(QuillUtility::forceTmpDiractory(QLatin1String(kWorkFolderName))),
      m_PDFDoc(std::move(PDFDoc))
{
}

PDFToPageConverter::~PDFToPageConverter()
{
    if (!m_converterWorkFolder.isEmpty())
        QuillUtility::removeTmpDiractory(m_converterWorkFolder);
}

Text PDFToPageConverter::generatePage(int)
{
    return std::nullopt;
}

QString PDFToPageConverter::pagePath(int pageNumber) const
{
    return fs::join(m_converterWorkFolder, QString::number(pageNumber) + QStringLiteral(".jpg"));
}

Text PDFToSWFPageConverter::generatePage(int pageNumber)
{
    if (!PDFDoc())
        return fs::join(converterWorkFolder(), QString::number(pageNumber) + QStringLiteral(".swf"));
    const QString path = pagePath(pageNumber);
    pdfPageToImage(pageNumber, path);
    return path;
}

void PDFToSWFPageConverter::pdfPageToImage(int pageNumber, const QString& path)
{
    if (!PDFDoc())
        return;
    if (!m_renderer)
        m_renderer = std::make_unique<PageRenderer>(PDFDoc(), quality());
    m_renderer->renderPage(pageNumber, path);
}

} // namespace quire
