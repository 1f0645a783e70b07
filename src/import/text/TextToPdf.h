#pragma once
// The import's first step: a text or RTF document becomes the PDF file that
// the page conversion reads. Shared by the import dialog and the command-line
// converter.
//
// Conversions lay out text with Qt's fonts and therefore need a
// QGuiApplication; without a display, start it on the "offscreen" platform
// (QT_QPA_PLATFORM=offscreen). Without one they fail with a message.
#include <QString>
#include <QStringList>
#include <optional>

class QTextDocument;

namespace quire {

struct ConversionResult {
    bool ok = false;
    // When not ok: what went wrong, naming the file.
    QString error;
    // Parts of the source that were read only approximately or left out.
    QStringList warnings;
    int pageCount = 0;

    explicit operator bool() const { return ok; }
};

class TextToPdf {
public:
    TextToPdf() = delete;

    // Sources larger than this are refused.
    static constexpr qint64 kMaxSourceBytes = 64 * 1024 * 1024;

    // The folder "Quire" in the user's temporary folder ("/tmp" when there is
    // none).
    static QString quireFolder();
    // "quire.pdf" in that folder, which is created readable by its owner only
    // when it does not exist. Empty, with the reason in *error, when the
    // folder cannot be made or is not a folder of this user's. Conversions
    // never print into it directly (PrintedPdf): another process may be
    // replacing it at any moment.
    static QString quirePdfPath(QString* error = nullptr);

    // Converts by the source's lower-cased extension: "txt", "rtf" and
    // "rtfd". Other extensions convert nothing (no value).
    static std::optional<ConversionResult> convertForImport(const QString& source, const QString& savePath);
    // Whether convertForImport takes the source, by its extension.
    static bool converts(const QString& source);
    // A readable file, or an RTFD folder: a folder "Name.rtfd" that holds
    // the text as a readable "TXT.rtf" beside the files it attaches.
    static bool isReadableSource(const QString& source);

    // The file's bytes as UTF-8 (Windows-1252 when they are not valid UTF-8,
    // with a warning), line for line as PlainTextDocument lays them out. The
    // PDF is titled with the file's name.
    static ConversionResult CreateTXTtoPDF(const QString& source, const QString& savePath);
    // The file read as RTF with its own formatting, the pictures it attaches
    // read from its folder. The source may be an RTFD folder. The PDF's
    // title is the document's own (\info's \title), or else the file's (or
    // folder's) name, as for text.
    static ConversionResult CreateRTFtoPDF(const QString& source, const QString& savePath);
    // Prints a document laid out in the 468-point text area to savePath,
    // replacing any file there only once the new one is complete; the PDF's
    // title is the document's QTextDocument::DocumentTitle. Headings
    // (blocks with a heading level) become the PDF's bookmarks; when they
    // cannot be added, the PDF is kept without them and a warning says so.
    static ConversionResult PrinttoPDF(QTextDocument& document, const QString& savePath);
};

} // namespace quire
