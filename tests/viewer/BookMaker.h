#pragma once
// Publishes real books with the core for the viewer's browser tests and its
// benchmark: numbered page pictures painted with Qt, the shipped "float"
// template with its "Blank" style, an outline and hand-built link areas.
#include <QList>
#include <QPair>
#include <QRectF>
#include <QSize>
#include <QString>

namespace quire::viewertest {

struct LinkSpec {
    QRectF area;       // fractions of the page
    QString url;       // an open-URL link when not empty
    int pageNumber = 0; // else a go-to-page link to this document page
    QString label;     // painted into the area so screenshots show it
};

struct OutlineSpec {
    QString caption;
    int pageNumber = 0;
    QList<OutlineSpec> children;
};

struct BookSpec {
    int pageCount = 0;
    int firstNumber = 1;                       // document number of the first page
    QSize pictureSize{600, 800};
    QList<QPair<QString, QString>> settings{}; // template values, set by key
    QList<OutlineSpec> outline{};              // none when empty
    QList<QPair<int, LinkSpec>> links{};       // by book position counted from 1
    bool withAnnotations = false;              // publish a "pagesAnnos" element
    QString htmlTitle = QStringLiteral("Quire test book");
};

// Paints the pictures into pictureFolder and publishes the book into
// bookFolder (created when missing). Throws quire::Error on failure.
void publishBook(const BookSpec& spec, const QString& pictureFolder, const QString& bookFolder);

} // namespace quire::viewertest
