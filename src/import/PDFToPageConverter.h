#pragma once
// Turns pages of a PDF document into page picture files in a work folder of
// the converter's own, which lives exactly as long as the converter.
#include "PageRenderer.h"
#include "PdfDocument.h"
#include "util/Text.h"

#include <QString>
#include <memory>
#include <vector>

namespace quire {

class PDFToPageConverter {
public:
    // The folder under /tmp that holds the converters' work folders.
    static constexpr const char* kWorkFolderName = "Sheaf";

    // Makes a fresh work folder under /tmp/Sheaf (throws Error when it
    // cannot). doc may be null.
    PDFToPageConverter(const QString& PDFPath, std::shared_ptr<pdf::PdfDocument> PDFDoc, int quality);
    virtual ~PDFToPageConverter(); // removes the work folder with its files
    PDFToPageConverter(const PDFToPageConverter&) = delete;
    PDFToPageConverter& operator=(const PDFToPageConverter&) = delete;

    // The page file of page n (counted from 1); none in this base class.
    virtual Text generatePage(int pageNumber);
    Text generateAllPage() { return std::nullopt; }
    Text generatePages(const std::vector<int>&) { return std::nullopt; }

    int quality() const { return m_quality; }
    void setQuality(int quality) { m_quality = quality; }
    const QString& PDFPath() const { return m_PDFPath; }
    void setPDFPath(const QString& path) { m_PDFPath = path; }
    const QString& converterWorkFolder() const { return m_converterWorkFolder; }
    void setConverterWorkFolder(const QString& folder) { m_converterWorkFolder = folder; }
    int DPI() const { return m_DPI; }
    void setDPI(int dpi) { m_DPI = dpi; }
    const std::shared_ptr<pdf::PdfDocument>& PDFDoc() const { return m_PDFDoc; }
    void setPDFDoc(std::shared_ptr<pdf::PdfDocument> doc) { m_PDFDoc = std::move(doc); }

    // The file name of page n in the work folder ("%d.jpg").
    QString pagePath(int pageNumber) const;

private:
    int m_quality;
    QString m_PDFPath;
    QString m_converterWorkFolder;
    int m_DPI = 144;
    std::shared_ptr<pdf::PdfDocument> m_PDFDoc;
};

// Renders pages through the PDF library and writes JPEG files.
class PDFToSWFPageConverter : public PDFToPageConverter {
public:
    using PDFToPageConverter::PDFToPageConverter;

    // Renders page n into "n.jpg" in the work folder and returns that path,
    // whether or not a file could be written. Without a document: "n.swf",
    // no file made.
    Text generatePage(int pageNumber) override;
    void pdfPageToImage(int pageNumber, const QString& path);

private:
    std::unique_ptr<PageRenderer> m_renderer; // made on first use
};

} // namespace quire
