#include "TextToPdf.h"

#include "HeadingOutline.h"
#include "PageSetup.h"
#include "PdfPrinter.h"
#include "PlainTextDocument.h"
#include "RtfReader.h"
#include "TextDecoding.h"
#include "util/Console.h"
#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextDocument>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quire {

using namespace textimport;

namespace {

QString quoted(const QString& path)
{
    return QStringLiteral("“%1”").arg(QFileInfo(QDir::cleanPath(path)).fileName());
}

bool isRtfd(const QString& source)
{
    return fs::pathExtension(QDir::cleanPath(source)).toLower() == QLatin1String("rtfd");
}

// The RTF text of a document: the file, or an RTFD folder's "TXT.rtf".
QString rtfText(const QString& source)
{
    return isRtfd(source) ? fs::join(source, QStringLiteral("TXT.rtf")) : source;
}

ConversionResult failure(const QString& message)
{
    QLOG_ERROR("%@", message);
    ConversionResult result;
    result.error = message;
    return result;
}

bool haveGuiApplication(QString* error)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return true;
    *error = QStringLiteral("Text and RTF documents can be converted only while the application's graphical "
                            "side is running (fonts need a QGuiApplication).");
    return false;
}

// The whole file, or a message saying why not.
std::optional<QByteArray> readSource(const QString& source, QString* error)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The file %1 cannot be read: %2.").arg(quoted(source), file.errorString());
        return std::nullopt;
    }
    if (file.size() > TextToPdf::kMaxSourceBytes) {
        *error = QStringLiteral("The file %1 is too large to convert (%2 MB; the limit is %3 MB).")
                     .arg(quoted(source))
                     .arg(file.size() / (1024 * 1024))
                     .arg(TextToPdf::kMaxSourceBytes / (1024 * 1024));
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("The file %1 cannot be read: %2.").arg(quoted(source), file.errorString());
        return std::nullopt;
    }
    return bytes;
}

ConversionResult printWithWarnings(QTextDocument& doc, const QString& savePath, const QStringList& warnings)
{
    ConversionResult result = TextToPdf::PrinttoPDF(doc, savePath);
    result.warnings = warnings + result.warnings;
    return result;
}

} // namespace

QString TextToPdf::quireFolder()
{
    QString temp = QDir::tempPath();
    if (temp.isEmpty())
        temp = QStringLiteral("/tmp");
    return fs::join(temp, QStringLiteral("Quire"));
}

QString TextToPdf::quirePdfPath(QString* error)
{
    const QString folder = quireFolder();
    const QByteArray native = QFile::encodeName(folder);
    console::line(formatMessage("Template: %@", {folder}));
    console::line(formatMessage("FS Template: %s", {native.constData()}));

    auto fail = [&](const QString& message) {
        QLOG_ERROR("%@", message);
        if (error)
            *error = message;
        return QString();
    };
    if (::mkdir(native.constData(), S_IRWXU) != 0 && errno != EEXIST)
        return fail(QStringLiteral("The folder “%1” cannot be created: %2.")
                        .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    // In a shared temporary folder someone else may have made "Quire" first,
    // or put a link there; the PDF is not written into such a folder.
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0)
        return fail(QStringLiteral("The folder “%1” cannot be examined: %2.")
                        .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    if (!S_ISDIR(info.st_mode))
        return fail(QStringLiteral("“%1” is not a folder, so the PDF cannot be written there.").arg(folder));
    if (info.st_uid != ::geteuid())
        return fail(QStringLiteral("The folder “%1” belongs to another user, so the PDF is not written there.")
                        .arg(folder));
    return fs::join(folder, QStringLiteral("quire.pdf"));
}

std::optional<ConversionResult> TextToPdf::convertForImport(const QString& source, const QString& savePath)
{
    if (!converts(source))
        return std::nullopt;
    if (fs::pathExtension(source).toLower() == QLatin1String("txt"))
        return CreateTXTtoPDF(source, savePath);
    return CreateRTFtoPDF(source, savePath);
}

bool TextToPdf::converts(const QString& source)
{
    const QString extension = fs::pathExtension(QDir::cleanPath(source)).toLower();
    return extension == QLatin1String("txt") || extension == QLatin1String("rtf") || isRtfd(source);
}

bool TextToPdf::isReadableSource(const QString& source)
{
    const QFileInfo info(source);
    if (info.isDir() && isRtfd(source))
        return QFileInfo(rtfText(source)).isFile() && QFileInfo(rtfText(source)).isReadable();
    return info.isFile() && info.isReadable();
}

ConversionResult TextToPdf::CreateTXTtoPDF(const QString& source, const QString& savePath)
{
    QString error;
    if (!haveGuiApplication(&error))
        return failure(error);
    const auto bytes = readSource(source, &error);
    if (!bytes)
        return failure(error);
    const DecodedText decoded = decodeTextFile(*bytes);
    QStringList warnings;
    if (decoded.usedFallback) {
        warnings << QStringLiteral("The file %1 is not valid UTF-8; it was read as Windows-1252.").arg(quoted(source));
        QLOG_WARN("%@", warnings.last());
    }
    QTextDocument doc;
    PlainTextDocument::build(doc, decoded.text, LayoutUnits::forPrinting());
    doc.setMetaInformation(QTextDocument::DocumentTitle, QFileInfo(source).fileName());
    return printWithWarnings(doc, savePath, warnings);
}

ConversionResult TextToPdf::CreateRTFtoPDF(const QString& source, const QString& savePath)
{
    QString error;
    if (!haveGuiApplication(&error))
        return failure(error);
    const QString text = rtfText(source);
    if (isRtfd(source) && !QFileInfo::exists(text))
        return failure(QStringLiteral("The folder %1 holds no TXT.rtf, so it is not an RTFD document.").arg(quoted(source)));
    const auto bytes = readSource(text, &error);
    if (!bytes)
        return failure(error);
    QTextDocument doc;
    const RtfReadResult read =
        RtfReader::read(*bytes, doc, LayoutUnits::forPrinting(), QFileInfo(text).absolutePath());
    if (!read.ok)
        return failure(QStringLiteral("The file %1 %2.").arg(quoted(source), read.problem));
    QStringList warnings;
    for (const QString& w : read.warnings) {
        warnings << QStringLiteral("%1: %2.").arg(quoted(source), w);
        QLOG_WARN("%@", warnings.last());
    }
    // The reader gives the document information's title, when there is one.
    if (doc.metaInformation(QTextDocument::DocumentTitle).isEmpty())
        doc.setMetaInformation(QTextDocument::DocumentTitle, QFileInfo(QDir::cleanPath(source)).fileName());
    return printWithWarnings(doc, savePath, warnings);
}

ConversionResult TextToPdf::PrinttoPDF(QTextDocument& document, const QString& savePath)
{
    QString error;
    if (!haveGuiApplication(&error))
        return failure(error);
    const PrintOutcome printed =
        PdfPrinter::print(document, savePath, document.metaInformation(QTextDocument::DocumentTitle));
    if (!printed.ok)
        return failure(QStringLiteral("The PDF file “%1” cannot be written: %2.").arg(savePath, printed.error));
    QLOG_DEBUG("printed %d pages to %@", printed.pageCount, savePath);
    ConversionResult result;
    result.ok = true;
    result.pageCount = printed.pageCount;
    // Without headings the file stays as Qt wrote it.
    if (!printed.headings.empty()) {
        if (auto warning = HeadingOutline::write(savePath, printed.headings))
            result.warnings << *warning;
    }
    return result;
}

} // namespace quire
