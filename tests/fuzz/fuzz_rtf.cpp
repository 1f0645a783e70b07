// RTF documents: reading any bytes is safe and ends in a result; bytes
// without an RTF header are refused.
#include "FuzzSupport.h"
#include "import/text/PageSetup.h"
#include "import/text/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>

using namespace quire;

void fuzz::setUp(char* program)
{
    // Text layout needs a GUI application, never a window; the fuzzer's
    // options are not Qt's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char* argv[] = {program, nullptr};
    static QGuiApplication app(argc, argv);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const textimport::LayoutUnits units = textimport::LayoutUnits::forPrinting();
    QTextDocument doc;
    const textimport::RtfReadResult result = textimport::RtfReader::read(fuzz::bytes(data, size), doc, units);
    fuzz::check(result.ok || !result.problem.isEmpty(), "a failed read says why");
    if (!fuzz::bytes(data, size).contains("{\\rtf"))
        fuzz::check(!result.ok && doc.isEmpty(), "what is not RTF is refused, the document left empty");
    doc.toPlainText();
    return 0;
}
