// quire-viewer-books: publishes the books the viewer's browser tests and
// benchmark read.
//   quire-viewer-books test OUT LINKBASE   small/, big/ and rtl/ in OUT
//   quire-viewer-books bench OUT PAGES     book/ in OUT
#include "BookMaker.h"

#include "util/Error.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

using quire::viewertest::BookSpec;
using quire::viewertest::LinkSpec;
using quire::viewertest::OutlineSpec;

namespace {

BookSpec smallBook()
{
    BookSpec spec;
    spec.pageCount = 3;
    spec.htmlTitle = QStringLiteral("Three pages");
    spec.settings = {{"backgroundColor", "0x8a2be2"}, {"toolbarPosition", "top"}, {"showThumbnails", "NO"},
                     {"flipDuration", "300"}};
    return spec;
}

// Forty pages imported from document pages 5 to 44, so document numbers
// and book positions differ by four.
BookSpec bigBook(const QString& linkBase)
{
    BookSpec spec;
    spec.pageCount = 40;
    spec.firstNumber = 5;
    spec.htmlTitle = QStringLiteral("Forty pages");
    spec.settings = {{"isHardCover", "YES"},
                     {"bookTitle", "Forty <b>pages</b> & more"},
                     {"flipDuration", "300"},
                     {"aboutText", "A book of forty pages.\nMade for the viewer's tests."}};
    spec.outline = {
        {"Cover", 5, {}},
        {"Chapter 1", 6, {{"Section 1.1", 8, {}}, {"Section 1.2", 10, {{"Detail 1.2.1", 11, {}}}}}},
        {"Chapter 2", 20, {{"Section 2.1", 24, {}}}},
        {"Chapter 3", 30, {}},
        {"Preface (not imported)", 2, {}},
        {"Back cover", 44, {}},
    };
    spec.withAnnotations = true;
    spec.links = {
        {3, {QRectF(0.1, 0.08, 0.8, 0.1), QString(), 30, "Go to chapter 3"}},
        {3, {QRectF(0.1, 0.2, 0.8, 0.1), linkBase + "/target.html", 0, "Web link"}},
        {3, {QRectF(0.1, 0.74, 0.8, 0.08), "javascript:window.quirePwned=1", 0, "javascript: link"}},
        {3, {QRectF(0.1, 0.84, 0.8, 0.08), "data:text/html,<script>opener.quirePwned=1</script>", 0, "data: link"}},
        {26, {QRectF(0.1, 0.08, 0.8, 0.1), QString(), 7, "Back to page 3"}},
    };
    return spec;
}

BookSpec rtlBook()
{
    BookSpec spec;
    spec.pageCount = 6;
    spec.htmlTitle = QStringLiteral("Droite a gauche");
    spec.settings = {{"rightToLeft", "YES"}, {"languageSetting", "fr"}, {"flipDuration", "300"}};
    return spec;
}

BookSpec benchBook(int pages)
{
    BookSpec spec;
    spec.pageCount = pages;
    spec.pictureSize = QSize(480, 640);
    spec.htmlTitle = QStringLiteral("Benchmark book");
    spec.settings = {{"flipDuration", "200"}};
    return spec;
}

void publish(const BookSpec& spec, const QString& out, const QString& name)
{
    quire::viewertest::publishBook(spec, QDir(out).filePath("pictures-" + name), QDir(out).filePath(name));
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
            publish(bigBook(args[3]), args[2], "big");
            publish(rtlBook(), args[2], "rtl");
            return 0;
        }
        if (args.size() == 4 && args[1] == "bench" && args[3].toInt() > 0) {
            publish(benchBook(args[3].toInt()), args[2], "book");
            return 0;
        }
    } catch (const quire::Error& e) {
        std::fprintf(stderr, "quire-viewer-books: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: quire-viewer-books test OUT LINKBASE | bench OUT PAGES\n");
    return 2;
}
