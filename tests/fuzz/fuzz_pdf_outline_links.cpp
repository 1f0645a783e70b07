// PDF documents: reading the outline, the links, the page labels and the
// words of any file is safe; a file that is no readable PDF fails with an
// Error, never otherwise.
#include "FuzzSupport.h"
#include "import/FlashOutlinePDF.h"
#include "import/FlashPagesAnnotationsPDF.h"
#include "util/Error.h"

#include <algorithm>

using namespace quire;

namespace {

// Runs a step, which may fail with an Error and no other way.
template <typename Step>
void attempt(Step&& step)
{
    try {
        step();
    } catch (const Error&) {
    }
}

} // namespace

void fuzz::setUp(char*) {}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = fuzz::workFile("input.pdf");
    fuzz::writeFile(path, fuzz::bytes(data, size));
    std::shared_ptr<pdf::PdfDocument> doc;
    attempt([&] { doc = pdf::PdfDocument::open(path); });
    if (!doc)
        return 0;
    attempt([&] { FlashOutlinePDF().loadOutlineFromPDF(doc.get()); });
    attempt([&] { FlashPagesAnnotationsPDF().loadLinksFromPDF(doc, "ALL"); });
    attempt([&] {
        const std::vector<Text> labels = doc->pageLabels();
        fuzz::check(labels.empty() || int(labels.size()) == doc->pageCount(), "a label for every page, or none");
    });
    for (int position = 0; position < std::min(doc->pageCount(), 3); ++position)
        attempt([&] {
            for (const TextBlock& block : doc->words(position).blocks)
                for (const TextLine& line : block.lines)
                    for (const TextWord& word : line.words)
                        fuzz::check(!word.text.isEmpty() && word.box.x >= 0 && word.box.x + word.box.width <= 1.0001f,
                                    "words have text and lie across the page", word.text);
        });
    return 0;
}
