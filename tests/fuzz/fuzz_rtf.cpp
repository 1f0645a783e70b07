// RTF documents: reading any bytes is safe and ends in a result.
#include "FuzzSupport.h"
#include "import/text/PageSetup.h"
#include "import/text/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>

using namespace quire;

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    fuzz::quietLogs();
    // Text layout needs a GUI application, never a window; the fuzzer's
    // options are not Qt's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    static QGuiApplication app(qtArgc, qtArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const textimport::LayoutUnits units = textimport::LayoutUnits::forPrinting();
    QTextDocument doc;
    const textimport::RtfReadResult result = textimport::RtfReader::read(
        QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), doc, units);
    fuzz::check(result.ok || !result.problem.isEmpty(), "a failed read says why");
    doc.toPlainText();
    return 0;
}
