// bench_text: times the import's first step on generated documents: 200 pages
// of plain text to PDF (target under 0.5 s) and a 2 MB formatted RTF, written
// the way word processors write it, read and printed (target under 1 s); and,
// without a target, a 2 MB RTF styled every few words. Where enscript and ps2pdf, or LibreOffice, are
// installed, the same files go through them in the same run for comparison.
// bench_text --samples DIR writes the generated documents there instead.
#include "import/text/PageSetup.h"
#include "import/text/RtfReader.h"
#include "import/text/TextToPdf.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace quire;

namespace {

constexpr int kRounds = 3;

double bestSeconds(const std::function<bool()>& run)
{
    double best = 1e9;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run())
            return -1;
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

const char* const kWords[] = {"page", "flip", "book", "reader", "quire", "folio", "margin", "column",
                              "paper", "binding", "spine", "chapter", "verse", "river", "harbour", "lantern"};

QByteArray plainText(int lines)
{
    QByteArray text;
    unsigned seed = 7;
    for (int line = 0; line < lines; ++line) {
        QByteArray l = "Line " + QByteArray::number(line + 1) + ":";
        while (l.size() < 56) {
            seed = seed * 1103515245 + 12345;
            l += ' ';
            l += kWords[(seed >> 16) % 16];
        }
        text += l + '\n';
    }
    return text;
}

QByteArray pictureHex()
{
    QImage image(48, 32, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex();
}

QByteArray number(unsigned n)
{
    return QByteArray::number(n);
}

// A document as word processors write it: a header with font, colour and
// style tables, revision ids and theme data, then paragraphs that restate
// their formatting in full, sentences in runs of their own with a bold,
// italic, coloured or highlighted word now and then, accented and Unicode
// characters, a table every 60 paragraphs and a picture every 200.
QByteArray wordStyleRtf(qsizetype bytes)
{
    QByteArray rtf = "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0\\stshfdbch31505"
                     "\\stshfloch31506\\stshfhich31506\\stshfbi31507\\deflang1033\\deflangfe1033\\themelang1033\n"
                     "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}"
                     "Times New Roman;}"
                     "{\\f1\\fbidi \\fswiss\\fcharset0\\fprq2{\\*\\panose 020b0604020202020204}Arial;}"
                     "{\\f2\\fbidi \\fmodern\\fcharset0\\fprq1{\\*\\panose 02070309020205020404}Courier New;}"
                     "{\\f37\\fbidi \\fswiss\\fcharset0\\fprq2{\\*\\panose 020f0502020204030204}Calibri;}}\n"
                     "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red192\\green0\\blue0;"
                     "\\red255\\green255\\blue0;\\red31\\green56\\blue100;}\n"
                     "{\\*\\defchp \\f31506\\fs22 }{\\*\\defpap \\ql \\li0\\ri0\\sa160\\sl259\\slmult1}\n{\\stylesheet";
    for (int s = 0; s < 40; ++s)
        rtf += "{\\s" + number(s) + "\\ql \\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\wrapdefault\\aspalpha"
               "\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 \\rtlch\\fcs1 \\af31507\\afs22\\alang1025 "
               "\\ltrch\\fcs0 \\f31506\\fs22\\lang1033\\langfe1033\\cgrid\\langnp1033\\langfenp1033 "
               "\\sbasedon0 \\snext0 \\sqformat Style " + number(s) + ";}";
    rtf += "}\n{\\*\\rsidtbl ";
    for (int r = 0; r < 200; ++r)
        rtf += "\\rsid" + number(1000000 + r * 7919);
    rtf += "}\n{\\*\\generator Bench Writer;}{\\info{\\title Benchmark}{\\author Quire}}\n"
           "\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440\\gutter0\\ltrsect\n"
           "{\\*\\themedata ";
    for (int i = 0; i < 60000; ++i)
        rtf += "0123456789abcdef"[i % 16];
    rtf += "}\n{\\*\\latentstyles\\lsdstimax376\\lsdlockeddef0";
    for (int l = 0; l < 300; ++l)
        rtf += "{\\lsdlocked0 Latent Style " + number(l) + ";}";
    rtf += "}\n";

    const QByteArray picture = pictureHex();
    unsigned seed = 11;
    auto next = [&] { return (seed = seed * 1103515245 + 12345) >> 16; };
    auto words = [&](int count) {
        QByteArray out;
        for (int i = 0; i < count; ++i) {
            if (i)
                out += ' ';
            out += kWords[next() % 16];
        }
        return out;
    };
    int paragraph = 0;
    while (rtf.size() < bytes) {
        ++paragraph;
        const QByteArray rsid = number(1000000 + (next() % 200) * 7919);
        rtf += "\\pard\\plain \\ltrpar\\s0" + QByteArray(next() % 5 == 0 ? "\\qj" : "\\ql") +
               " \\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\wrapdefault\\aspalpha\\aspnum\\faauto\\adjustright"
               "\\rin0\\lin0\\itap0\\pararsid" + rsid + " \\rtlch\\fcs1 \\af31507\\afs22\\alang1025 \\ltrch\\fcs0 "
               "\\f37\\fs22\\lang1033\\langfe1033\\cgrid\\langnp1033\\langfenp1033 ";
        const int sentences = 2 + next() % 4;
        for (int s = 0; s < sentences; ++s) {
            rtf += "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid" + rsid + " " + words(6 + next() % 10);
            rtf += " caf\\'e9 na\\'efve \\u8364\\'80 }";
            switch (next() % 4) {
            case 0: rtf += "{\\rtlch\\fcs1 \\ab\\af31507 \\ltrch\\fcs0 \\b\\insrsid" + rsid + " "; break;
            case 1: rtf += "{\\rtlch\\fcs1 \\ai\\af31507 \\ltrch\\fcs0 \\i\\insrsid" + rsid + " "; break;
            case 2: rtf += "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\cf3\\insrsid" + rsid + " "; break;
            default: rtf += "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\highlight4\\insrsid" + rsid + " "; break;
            }
            // Two spaces: the first ends the control word.
            rtf += words(1 + next() % 3) + "}{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid" + rsid + "  " +
                   words(4 + next() % 8) + ". }";
        }
        rtf += "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid" + rsid + " \\par }\n";
        if (paragraph % 60 == 0) {
            for (int row = 0; row < 3; ++row) {
                rtf += "\\trowd \\irow" + number(row) + "\\ts11\\trgaph108\\trleft-108\\trbrdrt\\brdrs\\brdrw10 "
                       "\\trbrdrl\\brdrs\\brdrw10 \\trbrdrb\\brdrs\\brdrw10 \\trbrdrr\\brdrs\\brdrw10 "
                       "\\clbrdrt\\brdrs\\brdrw10 \\cellx3000\\clbrdrt\\brdrs\\brdrw10 \\cellx6000"
                       "\\clbrdrt\\brdrs\\brdrw10 \\cellx9000\\pard\\plain \\ltrpar\\ql \\li0\\ri0\\widctlpar\\intbl"
                       "\\wrapdefault\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0 \\rtlch\\fcs1 \\af31507 "
                       "\\ltrch\\fcs0 \\f37\\fs22 {\\insrsid" + rsid + " " + words(2) + "\\cell " + words(3) +
                       "\\cell " + words(2) + "\\cell }\\pard\\plain \\ltrpar\\intbl {\\insrsid" + rsid +
                       " \\trowd \\irow" + number(row) + "\\trgaph108\\cellx3000\\cellx6000\\cellx9000\\row }\n";
            }
        }
        if (paragraph % 200 == 0)
            rtf += "\\pard\\plain {\\*\\shppict{\\pict{\\*\\picprop}\\picscalex100\\picscaley100\\picw1270\\pich847"
                   "\\picwgoal960\\pichgoal640\\pngblip " +
                   picture + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}\\par\n";
    }
    rtf += "}";
    return rtf;
}

// Formatting every few words: the same size in far more styled runs.
QByteArray denseRtf(qsizetype bytes)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
                     "{\\f1\\fswiss Helvetica;}{\\f2\\fmodern Courier New;}}"
                     "{\\colortbl;\\red200\\green0\\blue0;\\red0\\green90\\blue160;\\red255\\green240\\blue120;}\n";
    unsigned seed = 11;
    while (rtf.size() < bytes) {
        seed = seed * 1103515245 + 12345;
        rtf += "\\pard\\sa120\\f" + number((seed >> 12) % 3) + "\\fs" + number(20 + (seed >> 4) % 8) + " ";
        for (int sentence = 0; sentence < 4; ++sentence) {
            seed = seed * 1103515245 + 12345;
            rtf += "{\\b " + QByteArray(kWords[(seed >> 16) % 16]) + "} ";
            rtf += "{\\i\\cf" + number(1 + (seed >> 20) % 3) + " " + kWords[(seed >> 8) % 16] + "} ";
            rtf += "caf\\'e9 na\\'efve \\u8364? and \\u8220?quoted\\u8221? words run on here ";
            rtf += "{\\ul " + QByteArray(kWords[(seed >> 4) % 16]) + "}{\\highlight3  marked} text. ";
        }
        rtf += "\\par\n";
    }
    rtf += "}";
    return rtf;
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool runTool(const QString& shell)
{
    QProcess p;
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), shell});
    return p.waitForFinished(120000) && p.exitCode() == 0;
}

bool have(const char* program)
{
    return !QStandardPaths::findExecutable(QLatin1String(program)).isEmpty();
}

void report(const char* what, double seconds, double target)
{
    if (seconds < 0)
        std::printf("  %-34s failed\n", what);
    else
        std::printf("  %-34s %7.3f s   (target < %.1f s: %s)\n", what, seconds, target,
                    seconds < target ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--samples") {
        const QString folder = QString::fromLocal8Bit(argv[2]);
        const bool ok = write(folder + QStringLiteral("/long.txt"), plainText(200 * 27)) &&
                        write(folder + QStringLiteral("/formatted.rtf"), wordStyleRtf(2 * 1024 * 1024)) &&
                        write(folder + QStringLiteral("/dense.rtf"), denseRtf(2 * 1024 * 1024));
        return ok ? 0 : 1;
    }
    QTemporaryDir dir;
    const QString txt = dir.filePath(QStringLiteral("long.txt"));
    const QString rtf = dir.filePath(QStringLiteral("formatted.rtf"));
    const QString pdf = dir.filePath(QStringLiteral("quire.pdf"));

    // Plain text: enough lines for 200 pages.
    int lines = 200 * 26;
    int pages = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        write(txt, plainText(lines));
        const ConversionResult r = TextToPdf::CreateTXTtoPDF(txt, pdf);
        if (!r.ok) {
            std::fprintf(stderr, "bench_text: %s\n", qPrintable(r.error));
            return 1;
        }
        pages = r.pageCount;
        if (pages >= 200)
            break;
        lines = lines * 201 / std::max(1, pages);
    }
    const double textSeconds = bestSeconds([&] { return TextToPdf::CreateTXTtoPDF(txt, pdf).ok; });

    struct RtfRun {
        QByteArray bytes;
        int pages = 0;
        qsizetype characters = 0;
        double seconds = -1;
        double readSeconds = -1;
    };
    auto measureRtf = [&](const QByteArray& bytes) {
        RtfRun run;
        run.bytes = bytes;
        write(rtf, bytes);
        run.seconds = bestSeconds([&] {
            const ConversionResult r = TextToPdf::CreateRTFtoPDF(rtf, pdf);
            run.pages = r.pageCount;
            return r.ok;
        });
        run.readSeconds = bestSeconds([&] {
            QTextDocument doc;
            const bool ok = textimport::RtfReader::read(bytes, doc, textimport::LayoutUnits::forPrinting()).ok;
            run.characters = doc.characterCount();
            return ok;
        });
        return run;
    };
    const RtfRun wordStyle = measureRtf(wordStyleRtf(2 * 1024 * 1024));
    const RtfRun dense = measureRtf(denseRtf(2 * 1024 * 1024));

    std::printf("bench_text (best of %d runs)\n", kRounds);
    std::printf("plain text: %d lines, %lld KB, %d pages\n", lines, QFile(txt).size() / 1024LL, pages);
    report("Quire text to PDF", textSeconds, 0.5);
    std::printf("RTF as word processors write it: %lld KB, %lld characters of text, %d pages\n",
                (long long)wordStyle.bytes.size() / 1024, (long long)wordStyle.characters, wordStyle.pages);
    report("Quire RTF read and printed", wordStyle.seconds, 1.0);
    std::printf("  %-34s %7.3f s\n", "  of which reading into a document", wordStyle.readSeconds);
    std::printf("RTF styled every few words: %lld KB, %lld characters of text, %d pages (no target)\n",
                (long long)dense.bytes.size() / 1024, (long long)dense.characters, dense.pages);
    std::printf("  %-34s %7.3f s\n", "Quire RTF read and printed", dense.seconds);
    std::printf("  %-34s %7.3f s\n", "  of which reading into a document", dense.readSeconds);
    std::printf("peers:\n");
    if (have("enscript") && have("ps2pdf")) {
        const QString cmd = QStringLiteral("enscript -q -B -p - '%1' | ps2pdf - '%2'").arg(txt, pdf + ".peer");
        const double s = bestSeconds([&] { return runTool(cmd); });
        std::printf("  %-34s %7.3f s\n", "enscript | ps2pdf, same text", s);
    } else {
        std::printf("  enscript | ps2pdf: skipped, not installed\n");
    }
    const char* office = have("libreoffice") ? "libreoffice" : have("soffice") ? "soffice" : nullptr;
    if (office) {
        const QString cmd = QStringLiteral("%1 --headless --convert-to pdf --outdir '%2' '%3' >/dev/null 2>&1")
                                .arg(QLatin1String(office), dir.path(), rtf);
        const double s = bestSeconds([&] { return runTool(cmd); });
        std::printf("  %-34s %7.3f s\n", "LibreOffice, same RTF", s);
    } else {
        std::printf("  LibreOffice: skipped, not installed\n");
    }
    return 0;
}
