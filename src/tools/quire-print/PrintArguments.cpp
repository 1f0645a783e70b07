#include "PrintArguments.h"

#include "import/text/TextToPdf.h"
#include "util/FileUtil.h"

#include <QFileInfo>

namespace quire::print {

namespace {

Checked refuse(int status, const QString& error)
{
    Checked c;
    c.status = status;
    c.error = error;
    return c;
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "Usage: quire-print [--strict] [--quiet] SOURCE OUT.pdf\n"
        "       quire-print --help | --version\n"
        "\n"
        "Lays out a plain-text (.txt) or RTF (.rtf, or an .rtfd folder) document on\n"
        "648 x 468-point pages exactly as Quire's import does, and writes it as a PDF\n"
        "file. Headings of RTF documents become the PDF's bookmarks.\n"
        "\n"
        "  --strict   treat parts of the source that could not be read in full (a picture\n"
        "             left out, say) as an error\n"
        "  --quiet    print nothing but errors\n"
        "\n"
        "Exit status: 0 done, 2 bad usage, 3 the source cannot be read or converted,\n"
        "4 the PDF cannot be written, 5 (with --strict) the source was read only in part.\n");
}

Checked parseArguments(const QStringList& arguments)
{
    Arguments a;
    QStringList files;
    bool onlyFiles = false;
    for (const QString& arg : arguments) {
        if (onlyFiles || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            files << arg;
        } else if (arg == QLatin1String("--")) {
            onlyFiles = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            a.mode = Mode::Help;
        } else if (arg == QLatin1String("--version")) {
            a.mode = Mode::Version;
        } else if (arg == QLatin1String("--strict")) {
            a.strict = true;
        } else if (arg == QLatin1String("--quiet") || arg == QLatin1String("-q")) {
            a.quiet = true;
        } else {
            return refuse(kUsage, QStringLiteral("unknown option %1").arg(arg));
        }
    }
    Checked c;
    if (a.mode != Mode::Print) {
        c.arguments = a;
        return c;
    }
    if (files.size() != 2)
        return refuse(kUsage, files.size() < 2 ? QStringLiteral("a source document and a PDF file to write are needed")
                                               : QStringLiteral("too many arguments: %1").arg(files.mid(2).join(' ')));
    a.source = files[0];
    a.output = files[1];
    if (!TextToPdf::converts(a.source))
        return refuse(kUsage, QStringLiteral("%1: only .txt, .rtf and .rtfd documents can be printed").arg(a.source));
    c.arguments = a;
    return c;
}

Checked checkFiles(const Arguments& a)
{
    const QFileInfo source(a.source);
    if (!source.exists())
        return refuse(kSourceUnreadable, QStringLiteral("%1: no such file").arg(a.source));
    if (!TextToPdf::isReadableSource(a.source))
        return refuse(kSourceUnreadable, QStringLiteral("%1: not a readable file").arg(a.source));

    const QFileInfo output(a.output);
    if (output.exists() && output.canonicalFilePath() == source.canonicalFilePath())
        return refuse(kUsage, QStringLiteral("%1: the PDF would replace the source document").arg(a.output));
    if (output.isDir())
        return refuse(kOutputUnwritable, QStringLiteral("%1: is a folder, not a file to write").arg(a.output));
    const QFileInfo folder(output.absolutePath());
    if (!folder.isDir())
        return refuse(kOutputUnwritable, QStringLiteral("%1: the folder %2 does not exist")
                                             .arg(a.output, folder.absoluteFilePath()));
    if (!folder.isWritable())
        return refuse(kOutputUnwritable, QStringLiteral("%1: the folder %2 is not writable")
                                             .arg(a.output, folder.absoluteFilePath()));
    Checked ok;
    ok.arguments = a;
    return ok;
}

} // namespace quire::print
