// PDF documents: reading the outline, the links, the page labels and the
// words of any file is safe; a file that is no readable PDF fails with an
// Error, never otherwise.
#include "FuzzSupport.h"
#include "import/FlashOutlinePDF.h"
#include "import/FlashPagesAnnotationsPDF.h"
#include "import/PdfDocument.h"
#include "util/Error.h"

#include <algorithm>
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
    try {
        const std::vector<Text> labels = doc->pageLabels();
        if (!labels.empty() && int(labels.size()) != doc->pageCount())
            __builtin_trap();
    } catch (const Error&) {
    }
    for (int position = 0; position < std::min(doc->pageCount(), 3); ++position) {
        try {
            for (const TextBlock& block : doc->words(position).blocks)
                for (const TextLine& line : block.lines)
                    for (const TextWord& word : line.words)
                        if (word.text.isEmpty() || !(word.box.x >= 0 && word.box.x + word.box.width <= 1.0001f))
                            __builtin_trap();
        } catch (const Error&) {
        }
    }
    return 0;
}
