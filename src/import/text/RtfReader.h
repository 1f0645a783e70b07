#pragma once
// Reads an RTF document into a QTextDocument. Qt has no RTF reader, and no
// maintained C or C++ one is packaged, so this one covers what documents from
// word processors and from macOS's text system use: character and paragraph
// formatting, the font and colour tables and their code pages, Unicode
// escapes, hyperlink fields, PNG and JPEG pictures, the picture files of RTFD
// documents and simple tables.
// Headings (\outlinelevel, or a style named "heading N") get their level as
// the block's heading level; of the style sheet only those names are read.
// \keepn and \keep become block properties that the printer honours
// (PageKeeping). The document information's \title becomes the document's
// title (QTextDocument::DocumentTitle); other destinations it does not show
// (headers, footers, notes, the rest of the information and any unknown \*
// destination) are skipped.
#include "PageSetup.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QTextDocument;

namespace quire::textimport {

struct RtfReadResult {
    bool ok = false;
    // When not ok: what is wrong with the bytes, as a phrase that follows the
    // file's name ("is empty").
    QString problem;
    // What was read only in part, as phrases ("a picture was left out: ...").
    QStringList warnings;
};

class RtfReader {
public:
    // Groups nested deeper than this are left out.
    static constexpr int kMaxDepth = 256;
    // Longer titles are cut.
    static constexpr qsizetype kMaxTitleLength = 1000;

    // Appends the document to `doc`, which should be empty; `units` are the
    // units of the device it will be printed on. Pictures that the document
    // attaches as files are read from `folder` (an RTFD folder, or the one
    // the document is in); without one they are left out with a warning.
    static RtfReadResult read(QByteArrayView bytes, QTextDocument& doc, const LayoutUnits& units,
                              const QString& folder = QString());

    // Whether the bytes start like an RTF document ("{\rtf", after white
    // space or a UTF-8 byte order mark).
    static bool looksLikeRtf(QByteArrayView bytes);
};

} // namespace quire::textimport
