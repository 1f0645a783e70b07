#pragma once
// Reads PDF files back with tools that share no code with the writer under
// test: poppler's command-line tools for pages, text, pictures, fonts and
// information; qpdf for the file's structure and its bookmarks. Text
// comes back in Unicode compatibility form, so ligatures read as letters.
#include "import/PdfDocument.h"

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <optional>

namespace quire::test {

struct PdfWord {
    int page = 0; // from 1
    QRectF box;   // points, origin at the page's top left
    QString text;
};

struct QpdfBookmark {
    QString title;
    int page = 0;              // from 1; 0 without a destination page
    QString view;              // "/XYZ", "/FitH" ...
    std::optional<double> top; // the view's top, PDF space (y upwards)
    QList<QpdfBookmark> kids;
};

struct PdfProbe {
    static bool available(); // whether the tools can be run
    static QList<QSizeF> pageSizes(const QString& pdf);
    // As pdftotext extracts them, ligatures spelled out unless `raw`.
    static QStringList pageTexts(const QString& pdf, bool raw = false);
    static QString text(const QString& pdf) { return pageTexts(pdf).join('\n'); }
    static QList<PdfWord> words(const QString& pdf);
    static QStringList images(const QString& pdf);               // "page: width x height" of each picture
    static QStringList fonts(const QString& pdf);                // names without subset tags, sorted
    static QString info(const QString& pdf, const QString& key); // "Title", "Creator" ...
    static QStringList wordsOf(const QString& text);             // split on white space
    static bool checks(const QString& pdf); // qpdf --check: the structure, cross-references included, is sound
    // The bookmarks as qpdf reads them; none (and a test failure) when it cannot.
    static std::optional<QList<QpdfBookmark>> bookmarks(const QString& pdf);
};

// A bookmark tree, from qpdf or from the import's reader, as lines
// "title @page" indented two spaces a level, to compare whole.
QStringList outlineLines(const QList<QpdfBookmark>& list, const QString& indent = {});
QStringList outlineLines(const std::vector<pdf::OutlineNode>& list, const QString& indent = {});

} // namespace quire::test
