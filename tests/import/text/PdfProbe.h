#pragma once
// Reads PDF files back with poppler's command-line tools, which share no code
// with the writer under test. Text comes back in Unicode compatibility form,
// so that ligatures read as their letters.
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QStringList>

namespace quire::test {

struct PdfWord {
    int page = 0; // from 1
    QRectF box;   // points, origin at the page's top left
    QString text;
};

struct PdfProbe {
    static bool available(); // whether the tools can be run
    static QList<QSizeF> pageSizes(const QString& pdf);
    static QStringList pageTexts(const QString& pdf); // as pdftotext extracts them
    static QString text(const QString& pdf) { return pageTexts(pdf).join('\n'); }
    static QList<PdfWord> words(const QString& pdf);
    static QStringList links(const QString& pdf);                // the link annotations' targets
    static QStringList images(const QString& pdf);               // "width x height" of each picture
    static QStringList fonts(const QString& pdf);                // names without subset tags, sorted
    static QString info(const QString& pdf, const QString& key); // "Title", "Creator" ...
    static QStringList wordsOf(const QString& text);             // split on white space
};

} // namespace quire::test
