#include "FlashPagesAnnotationsPDF.h"

#include "FlashPageSource.h"
#include "util/Log.h"

#include <QUrl>

namespace quire {
namespace {

QString fraction(float value)
{
    return formatMessage("%f", {value});
}

QString describe(const pdf::Link& link)
{
    return formatMessage("Link{%f, %f, %f, %f}", {link.area.x, link.area.y, link.area.width, link.area.height});
}

} // namespace

Text FlashPagesAnnotationsPDF::viewerAddress(const QString& address)
{
    const QUrl url(address.trimmed(), QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    const bool web = (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
    const bool mail = scheme == QLatin1String("mailto") && !url.path().isEmpty();
    if (!url.isValid() || !(web || mail))
        return std::nullopt;
    return url.toString(QUrl::FullyEncoded);
}

void FlashPagesAnnotationsPDF::loadLinksFromPDF(std::shared_ptr<pdf::PdfDocument> pdfDoc, const QString& pageRange)
{
    m_pdfDoc = std::move(pdfDoc);
    m_needToImportPages = FlashPageSource::parsePageRange(pageRange, m_pdfDoc ? m_pdfDoc->pageCount() : 0);
    needFiles().clear();
    setPagesAnnotationsNode(xml::newElement("pagesAnnos"));
    for (m_currentIndex = 0; m_currentIndex < int(m_needToImportPages.size()); ++m_currentIndex)
        parsePage();
}

void FlashPagesAnnotationsPDF::parsePage()
{
    const int n = m_needToImportPages.at(size_t(m_currentIndex));
    QLOG_DEBUG("page is:%d", n);
    xmlNode* pageAnnos = xml::appendElement(pagesAnnotationsNode(), "pageAnnos");
    xml::setAttribute(pageAnnos, "pageIndex", QString::number(m_currentIndex + 1));
    if (!m_pdfDoc || n < 1 || n > m_pdfDoc->pageCount())
        return;

    const std::vector<pdf::Link> links = m_pdfDoc->links(n - 1);
    if (links.empty())
        return;
    const pdf::Rect page = m_pdfDoc->displayedBounds(n - 1);
    if (!(page.width > 0 && page.height > 0))
        return; // no area to place links on
    QLOG_DEBUG("count is:%d", int(links.size()));
    for (size_t k = 0; k < links.size(); ++k) {
        const pdf::Link& link = links[k];
        QLOG_DEBUG("%d:%@,%@,d:%@,url:%@", int(k), QStringLiteral("Link"), describe(link),
                   link.target ? formatMessage("page %d", {*link.target + 1}) : QStringLiteral("(null)"),
                   textOr(link.url, QStringLiteral("(null)")));
        if (xml::NodePtr anno = annoForLink(link, page))
            xml::adopt(pageAnnos, std::move(anno));
        else if (link.url)
            QLOG_WARN("The link to \"%@\" on page %d is left out: the book can open only web and mail addresses",
                      *link.url, n);
    }
}

xml::NodePtr FlashPagesAnnotationsPDF::annoForLink(const pdf::Link& link, const pdf::Rect& page)
{
    const Text url = link.url ? viewerAddress(*link.url) : std::nullopt;
    if (!url && !link.target)
        return nullptr;
    xml::NodePtr anno = xml::newElement("anno");
    xml::setAttribute(anno.get(), "annotype", QStringLiteral("com.tessel.flipbook.pageeditor.TAnnoLink"));
    xmlNode* action = xml::appendElement(anno.get(), "action");
    xml::setAttribute(action, "triggerEventType", QStringLiteral("mouseDown"));
    if (url) {
        xml::setAttribute(action, "actionType", QStringLiteral("com.tessel.flipbook.pageeditor.TAnnoActionOpenURL"));
        xml::appendTextElement(action, "url", *url);
    } else {
        xml::setAttribute(action, "actionType", QStringLiteral("com.tessel.flipbook.pageeditor.TAnnoActionGotoPage"));
        xml::appendTextElement(action, "pageIndex", QString::number(*link.target + 1));
    }

    // Fractions of the page as rendered: the link area and the page bounds
    // are both in displayed space, so rotation and a crop box off the origin
    // are already accounted for.
    xmlNode* location = xml::appendElement(anno.get(), "location");
    const float x = (link.area.x - page.x) / page.width;
    const float y = (link.area.y - page.y) / page.height;
    xml::setAttribute(location, "x", fraction(x));
    xml::setAttribute(location, "y", fraction(y));
    xml::setAttribute(location, "width", fraction(link.area.width / page.width));
    xml::setAttribute(location, "height", fraction(link.area.height / page.height));
    return anno;
}

} // namespace quire
