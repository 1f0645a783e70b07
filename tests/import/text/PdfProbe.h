#pragma once
// Reads PDF files back with poppler's command-line tools, which share no code
// with the writer under test. Text comes back in Unicode compatibility form,
// so that ligatures read as their letters.
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace quire::test {

struct PdfWord {
    int page = 0; // from 1
    QRectF box;   // points, origin at the page's top left
    QString text;
};

class PdfProbe {
public:
    // Whether pdfinfo, pdftotext, pdftohtml, pdfimages and pdffonts can be run.
    static bool available();

    static QList<QSizeF> pageSizes(const QString& pdf);
    // The text of each page, as pdftotext extracts it.
    static QStringList pageTexts(const QString& pdf);
    static QString text(const QString& pdf) { return pageTexts(pdf).join('\n'); }
    static QList<PdfWord> words(const QString& pdf);
    // The targets of the link annotations.
    static QStringList links(const QString& pdf);
    // "width x height" of each picture in the file.
    static QStringList images(const QString& pdf);
    // The names of the fonts the file uses, without subset tags, sorted.
    static QStringList fonts(const QString& pdf);
    // The document's information entry (pdfinfo's "Title:", "Creator:" ...).
    static QString info(const QString& pdf, const QString& key);

    // Splits text into words on white space.
    static QStringList wordsOf(const QString& text);
};

} // namespace quire::test
