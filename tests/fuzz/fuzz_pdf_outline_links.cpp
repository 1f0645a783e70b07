// PDF documents: reading the outline and the links of any file is safe; a
// file that is no readable PDF fails with an Error, never otherwise.
#include "FuzzSupport.h"
#include "import/FlashOutlinePDF.h"
#include "import/FlashPagesAnnotationsPDF.h"
#include "import/PdfDocument.h"
#include "util/Error.h"

#include <cstdint>

using namespace quire;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = fuzz::workFile(QStringLiteral("input.pdf"));
    fuzz::writeFile(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    std::shared_ptr<pdf::PdfDocument> doc;
    try {
        doc = pdf::PdfDocument::open(path);
    } catch (const Error&) {
        return 0;
    }
    try {
        FlashOutlinePDF outline;
        outline.loadOutlineFromPDF(doc.get());
    } catch (const Error&) {
    }
    try {
        FlashPagesAnnotationsPDF links;
        links.loadLinksFromPDF(doc, QStringLiteral("ALL"));
    } catch (const Error&) {
    }
    return 0;
}
