// quire-viewer-books: publishes the books the viewer's browser tests and
// benchmark read.
//   quire-viewer-books test OUT LINKBASE   small/, small-blue/, big/, rtl/ and settings/ in OUT
//   quire-viewer-books bench OUT PAGES [WxH]   book/ in OUT, pictures 1224x1584 unless given
#include "BookMaker.h"

#include "util/Error.h"
#include "util/Resources.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

using quire::viewertest::BookSpec;
using quire::viewertest::LinkSpec;
using quire::viewertest::OutlineSpec;

namespace {

BookSpec smallBook(const QString& background = "0x8a2be2")
{
    return {.pageCount = 3,
            .settings = {{"backgroundColor", background}, {"toolbarPosition", "top"}, {"showThumbnails", "NO"},
                         {"flipDuration", "300"}},
            .htmlTitle = "Three pages"};
}

// Forty pages imported from document pages 5 to 44, so document numbers
// and book positions differ by four.
BookSpec bigBook(const QString& linkBase)
{
    return {.pageCount = 40,
            .firstNumber = 5,
            .settings = {{"isHardCover", "YES"}, {"bookTitle", "Forty <b>pages</b> & more"}, {"flipDuration", "300"},
                         {"aboutText", "A book of forty pages.\nMade for the viewer's tests."}},
            .outline = {{"Cover", 5, {}},
                        {"Chapter 1", 6, {{"Section 1.1", 8, {}}, {"Section 1.2", 10, {{"Detail 1.2.1", 11, {}}}}}},
                        {"Chapter 2", 20, {{"Section 2.1", 24, {}}}},
                        {"Chapter 3", 30, {}},
                        {"Preface (not imported)", 2, {}},
                        {"Back cover", 44, {}}},
            .links = {{3, {QRectF(0.1, 0.08, 0.8, 0.1), QString(), 30, "Go to chapter 3"}},
                      {3, {QRectF(0.1, 0.2, 0.8, 0.1), linkBase + "/target.html", 0, "Web link"}},
                      {3, {QRectF(0.1, 0.74, 0.8, 0.08), "javascript:window.quirePwned=1", 0, "javascript: link"}},
                      {3, {QRectF(0.1, 0.84, 0.8, 0.08), "data:text/html,<script>opener.quirePwned=1</script>", 0,
                           "data: link"}},
                      {26, {QRectF(0.1, 0.08, 0.8, 0.1), QString(), 7, "Back to page 3"}},
                      // Smaller than a fingertip on a phone.
                      {4, {QRectF(0.45, 0.6, 0.03, 0.02), QString(), 12, QString()}}},
            .withAnnotations = true,
            .htmlTitle = "Forty pages"};
}

BookSpec rtlBook()
{
    return {.pageCount = 6,
            .settings = {{"rightToLeft", "YES"}, {"languageSetting", "fr"}, {"flipDuration", "300"}},
            .htmlTitle = "Droite a gauche"};
}

// Template values the viewer must honour: a host list, a logo with its
// link, automatic turning with a sound, and no background picture.
BookSpec settingsBook(const QString& out)
{
    const QString folder = QDir(out).filePath("pictures-settings");
    QDir().mkpath(folder);
    QImage logo(160, 48, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(255, 0, 102));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, 160, 48), 10, 10);
    p.setPen(Qt::white);
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(24);
    p.setFont(font);
    p.drawText(QRect(0, 0, 160, 48), Qt::AlignCenter, "LOGO");
    p.end();
    const QString logoPath = QDir(folder).filePath("logo.png");
    if (!logo.save(logoPath, "PNG"))
        throw quire::Error("BOOK_MAKER", "cannot write " + logoPath);
    return {.pageCount = 4,
            .settings = {{"allowedHosts", "example.org, localhost"}, {"logoImage", logoPath},
                         {"logoLink", "https://example.org/"}, {"autoFlip", "YES"}, {"autoFlipInterval", "1"},
                         {"flipSound", quire::resourcePath("AppFiles/Sounds/page-turn.wav")}, {"backgroundImage", ""},
                         {"backgroundColor", "0x3a5f3a"}, {"accentColor", "0xff0066"}, {"flipDuration", "300"}},
            .htmlTitle = "Settings"};
}

BookSpec benchBook(int pages, const QSize& size)
{
    return {.pageCount = pages, .pictureSize = size, .settings = {{"flipDuration", "200"}},
            .htmlTitle = "Benchmark book"};
}

// withoutExtras: the book as publishers made it before thumbnails and words
// (its thumbnails are then drawn from the page pictures).
void publish(const BookSpec& spec, const QString& out, const QString& name, bool withoutExtras = false)
{
    const QString book = QDir(out).filePath(name);
    quire::viewertest::publishBook(spec, QDir(out).filePath("pictures-" + name), book);
    if (withoutExtras
        && (!QFile::remove(book + "/files/extras.js") || !QDir(book + "/files/thumb").removeRecursively()))
        throw quire::Error("BOOK_MAKER", "cannot remove the extras of " + book);
    std::printf("%s %s\n", qPrintable(name), qPrintable(QDir(out).filePath(name)));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args[1] == "test") {
            publish(smallBook(), args[2], "small");
            // Its configuration republished with another colour.
            publish(smallBook("0x2266aa"), args[2], "small-blue");
            publish(bigBook(args[3]), args[2], "big", true);
            publish(rtlBook(), args[2], "rtl");
            publish(settingsBook(args[2]), args[2], "settings");
            return 0;
        }
        if ((args.size() == 4 || args.size() == 5) && args[1] == "bench" && args[3].toInt() > 0) {
            QSize size(1224, 1584);   // a letter page imported at 144 dots per inch
            if (args.size() == 5) {
                const QStringList wh = args[4].split('x');
                size = wh.size() == 2 ? QSize(wh[0].toInt(), wh[1].toInt()) : QSize();
            }
            if (size.isValid() && !size.isEmpty()) {
                publish(benchBook(args[3].toInt(), size), args[2], "book");
                return 0;
            }
        }
    } catch (const quire::Error& e) {
        std::fprintf(stderr, "quire-viewer-books: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: quire-viewer-books test OUT LINKBASE | bench OUT PAGES [WxH]\n");
    return 2;
}
