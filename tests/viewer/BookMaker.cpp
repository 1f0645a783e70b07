// quire-viewer-books: publishes real books with the core for the viewer's
// browser tests and its benchmark: numbered page pictures painted with Qt, the
// shipped "float" template with its "Blank" style, an outline and hand-built
// link areas.
//   quire-viewer-books test OUT LINKBASE   small/, small-blue/, big/, rtl/ and settings/ in OUT
//   quire-viewer-books bench OUT PAGES [WxH]   book/ in OUT, pictures 1224x1584 unless given
#include "import/FlashOutline.h"
#include "import/FlashPageSource.h"
#include "import/FlashPagesAnnotations.h"
#include "publish/FlashBookOutput.h"
#include "publish/HTMLConfigInfo.h"
#include "templates/FlashTemplate.h"
#include "util/Error.h"
#include "util/Resources.h"
#include "util/Xml.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPair>
#include <cstdio>

namespace quire {
namespace {

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

QFont sans(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void paintLink(QPainter& p, const QSize& size, const LinkSpec& link)
{
    const QRectF r(link.area.x() * size.width(), link.area.y() * size.height(), link.area.width() * size.width(),
                   link.area.height() * size.height());
    p.setPen(QPen(QColor(30, 90, 200), 3));
    p.setBrush(QColor(30, 90, 200, 40));
    p.drawRect(r);
    p.setFont(sans(int(r.height() * 0.4)));
    p.setPen(QColor(20, 60, 150));
    p.drawText(r, Qt::AlignCenter, link.label);
}

// A page that screenshots can tell apart: its own colour, its position in
// big figures and its document number below.
QString paintPage(const BookSpec& spec, int position, const QList<LinkSpec>& links, const QString& folder)
{
    const QSize size = spec.pictureSize;
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((position * 47) % 360, 55, 245));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 4));
    p.drawRect(QRect(QPoint(2, 2), size - QSize(4, 4)));
    p.setFont(sans(size.height() / 4, true));
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRect(0, size.height() / 4, size.width(), size.height() / 3), Qt::AlignCenter, QString::number(position));
    p.setFont(sans(std::max(10, size.height() / 24)));
    p.drawText(QRect(0, size.height() * 2 / 3, size.width(), size.height() / 10), Qt::AlignCenter,
               QStringLiteral("document page %1").arg(spec.firstNumber + position - 1));
    for (const LinkSpec& link : links)
        paintLink(p, size, link);
    p.end();
    const QString path = QDir(folder).filePath(QStringLiteral("picture-%1.jpg").arg(position));
    if (!image.save(path, "JPEG", 85))
        throw Error(QStringLiteral("BOOK_MAKER"), QStringLiteral("cannot write ") + path);
    return path;
}

std::unique_ptr<FlashOutlineItem> outlineItem(const OutlineSpec& spec, FlashOutlineItem* parent, int level)
{
    auto item = std::make_unique<FlashOutlineItem>();
    item->setCaption(spec.caption);
    item->setPageIndex(spec.pageNumber);
    item->setLevel(level);
    item->setParent(parent);
    for (const OutlineSpec& child : spec.children)
        item->addChild(outlineItem(child, item.get(), level + 1));
    return item;
}

// The "pagesAnnos" element as the PDF link reader writes it, built by hand:
// it also carries links the reader would leave out, for the viewer to refuse.
xml::NodePtr annotations(const BookSpec& spec)
{
    const QString kinds = "com.tessel.flipbook.pageeditor.TAnno";
    xml::NodePtr root = xml::newElement("pagesAnnos");
    for (int position = 1; position <= spec.pageCount; ++position) {
        xmlNode* page = xml::appendElement(root.get(), "pageAnnos");
        xml::setAttribute(page, "pageIndex", QString::number(position));
        for (const auto& [at, link] : spec.links) {
            if (at != position)
                continue;
            xmlNode* anno = xml::appendElement(page, "anno");
            xml::setAttribute(anno, "annotype", kinds + "Link");
            xmlNode* action = xml::appendElement(anno, "action");
            xml::setAttribute(action, "triggerEventType", "mouseDown");
            xml::setAttribute(action, "actionType", kinds + (link.url.isEmpty() ? "ActionGotoPage" : "ActionOpenURL"));
            if (link.url.isEmpty())
                xml::appendTextElement(action, "pageIndex", QString::number(link.pageNumber));
            else
                xml::appendTextElement(action, "url", link.url);
            xmlNode* location = xml::appendElement(anno, "location");
            const QRectF& r = link.area;
            for (const auto& [name, value] :
                 {std::pair{"x", r.x()}, {"y", r.y()}, {"width", r.width()}, {"height", r.height()}})
                xml::setAttribute(location, name, QString::asprintf("%f", value));
        }
    }
    return root;
}

// Paints the pictures into pictureFolder and publishes the book into
// bookFolder (created when missing). Throws quire::Error on failure.
void publishBook(const BookSpec& spec, const QString& pictureFolder, const QString& bookFolder)
{
    if (!QDir().mkpath(pictureFolder) || !QDir().mkpath(bookFolder))
        throw Error(QStringLiteral("BOOK_MAKER"), QStringLiteral("cannot make ") + bookFolder);

    auto pages = std::make_shared<FlashPageSourceImg>();
    for (int position = 1; position <= spec.pageCount; ++position) {
        QList<LinkSpec> links;
        for (const auto& [at, link] : spec.links)
            if (at == position)
                links << link;
        pages->addImgPageFromFile(paintPage(spec, position, links, pictureFolder));
    }
    // Pictures are numbered as the document's pages they were rendered from.
    for (size_t i = 0; i < pages->pages().size(); ++i)
        pages->pages()[i]->setPageIndex(spec.firstNumber + int(i));
    pages->generateNormalPages();

    auto flashTemplate = std::make_shared<FlashTemplate>();
    flashTemplate->loadStyleByStyleName(QStringLiteral("Blank"));
    flashTemplate->setPropertyValue(QStringLiteral("pageWidth"), QString::number(spec.pictureSize.width()));
    flashTemplate->setPropertyValue(QStringLiteral("pageHeight"), QString::number(spec.pictureSize.height()));
    for (const auto& [key, value] : spec.settings)
        flashTemplate->setPropertyValue(key, value);

    FlashBookOutput output(pages, flashTemplate, bookFolder, QStringLiteral("index.html"));
    auto html = std::make_shared<HTMLConfigInfo>();
    html->setHTMLTitle(spec.htmlTitle);
    output.setHTMLConfig(html);
    if (!spec.outline.isEmpty()) {
        auto outline = std::make_shared<FlashOutline>();
        for (const OutlineSpec& entry : spec.outline)
            outline->items().push_back(outlineItem(entry, nullptr, 1));
        output.setFlashOutline(outline);
    }
    if (spec.withAnnotations) {
        auto links = std::make_shared<FlashPagesAnnotations>();
        links->setPagesAnnotationsNode(annotations(spec));
        output.setFlashPagesAnnotations(links);
    }
    const PublishResult result = output.ouputTheBook();
    if (!result.ok())
        throw Error(QStringLiteral("BOOK_MAKER"), result.description());
}


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
    QImage logo(160, 48, QImage::Format_RGB32);
    logo.fill(QColor(255, 0, 102));
    const QString logoPath = QDir(folder).filePath("logo.png");
    if (!logo.save(logoPath, "PNG"))
        throw Error("BOOK_MAKER", "cannot write " + logoPath);
    return {.pageCount = 4,
            .settings = {{"allowedHosts", "example.org, localhost"}, {"logoImage", logoPath},
                         {"logoLink", "https://example.org/"}, {"autoFlip", "YES"}, {"autoFlipInterval", "1"},
                         {"flipSound", resourcePath("AppFiles/Sounds/page-turn.wav")}, {"backgroundImage", ""},
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
void writeBook(const BookSpec& spec, const QString& out, const QString& name, bool withoutExtras = false)
{
    const QString book = QDir(out).filePath(name);
    publishBook(spec, QDir(out).filePath("pictures-" + name), book);
    if (withoutExtras
        && (!QFile::remove(book + "/files/extras.js") || !QDir(book + "/files/thumb").removeRecursively()))
        throw Error("BOOK_MAKER", "cannot remove the extras of " + book);
    std::printf("%s %s\n", qPrintable(name), qPrintable(QDir(out).filePath(name)));
}

} // namespace

int makeViewerBooks(const QStringList& args)
{
    try {
        if (args.size() == 4 && args[1] == "test") {
            writeBook(smallBook(), args[2], "small");
            // Its configuration republished with another colour.
            writeBook(smallBook("0x2266aa"), args[2], "small-blue");
            writeBook(bigBook(args[3]), args[2], "big", true);
            writeBook(rtlBook(), args[2], "rtl");
            writeBook(settingsBook(args[2]), args[2], "settings");
            return 0;
        }
        // Unless given, a letter page imported at 144 dots per inch.
        const QStringList wh = args.value(4, QStringLiteral("1224x1584")).split('x');
        const QSize size = wh.size() == 2 ? QSize(wh[0].toInt(), wh[1].toInt()) : QSize();
        if ((args.size() == 4 || args.size() == 5) && args[1] == "bench" && args[3].toInt() > 0 && !size.isEmpty()) {
            writeBook(benchBook(args[3].toInt(), size), args[2], "book");
            return 0;
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "quire-viewer-books: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: quire-viewer-books test OUT LINKBASE | bench OUT PAGES [WxH]\n");
    return 2;
}

} // namespace quire
