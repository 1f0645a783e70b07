#include "BookMaker.h"

#include "import/FlashOutline.h"
#include "import/FlashPageSource.h"
#include "import/FlashPagesAnnotations.h"
#include "publish/FlashBookOutput.h"
#include "publish/HTMLConfigInfo.h"
#include "templates/FlashTemplate.h"
#include "util/Error.h"
#include "util/Xml.h"

#include <QColor>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>

namespace quire::viewertest {
namespace {

void paintLink(QPainter& p, const QSize& size, const LinkSpec& link)
{
    const QRectF r(link.area.x() * size.width(), link.area.y() * size.height(), link.area.width() * size.width(),
                   link.area.height() * size.height());
    p.setPen(QPen(QColor(30, 90, 200), 3));
    p.setBrush(QColor(30, 90, 200, 40));
    p.drawRect(r);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(int(r.height() * 0.4));
    p.setFont(font);
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
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setBold(true);
    big.setPixelSize(size.height() / 4);
    p.setFont(big);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRect(0, size.height() / 4, size.width(), size.height() / 3), Qt::AlignCenter, QString::number(position));
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(std::max(10, size.height() / 24));
    p.setFont(small);
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

} // namespace

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

} // namespace quire::viewertest
