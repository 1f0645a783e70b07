// PDF documents: reading the outline and the links of any file is safe; a
// file that is no readable PDF fails with an Error, never otherwise.
#include "FuzzSupport.h"
#include "import/FlashOutlinePDF.h"
#include "import/FlashPagesAnnotationsPDF.h"
#include "util/Error.h"

using namespace quire;

void fuzz::setUp(char*) {}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = fuzz::workFile("input.pdf");
    fuzz::writeFile(path, fuzz::bytes(data, size));
    try {
        const std::shared_ptr<pdf::PdfDocument> doc = pdf::PdfDocument::open(path);
        try {
            FlashOutlinePDF().loadOutlineFromPDF(doc.get());
        } catch (const Error&) {
        }
        FlashPagesAnnotationsPDF().loadLinksFromPDF(doc, "ALL");
    } catch (const Error&) {
    }
    return 0;
}
