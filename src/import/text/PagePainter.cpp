#include "PagePainter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace quire::textimport {

PagePainter::PagePainter(const QTextDocument& doc) : m_doc(doc), m_pageHeight(doc.pageSize().height())
{
    // Every block, those in table cells included.
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        if (!block.isVisible() || !layout || layout->lineCount() < 2)
            continue;
        const double top = doc.documentLayout()->blockBoundingRect(block).top();
        const int first = pageOf(top + layout->lineAt(0).y(), m_pageHeight);
        const int last = pageOf(top + layout->lineAt(layout->lineCount() - 1).y(), m_pageHeight);
        for (int page = first + 1; page <= last; ++page)
            m_continuing.emplace_back(page, block);
    }
    std::stable_sort(m_continuing.begin(), m_continuing.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

int PagePainter::pageOf(double y, double pageHeight)
{
    return int(std::floor((y + 0.5) / pageHeight));
}

void PagePainter::draw(QPainter& painter, int page) const
{
    const auto [from, to] = std::equal_range(m_continuing.begin(), m_continuing.end(), std::pair{page, QTextBlock()},
                                             [](const auto& a, const auto& b) { return a.first < b.first; });
    // A first line below the band stops Qt drawing a paragraph at all.
    std::vector<QPointF> firstLines;
    for (auto it = from; it != to; ++it) {
        QTextLine first = it->second.layout()->lineAt(0);
        firstLines.push_back(first.position());
        first.setPosition(QPointF(first.x(), (page + 2) * m_pageHeight));
    }
    const double top = page * m_pageHeight;
    QAbstractTextDocumentLayout::PaintContext context;
    // Qt draws every line that touches the clip: a line starting exactly at
    // the band's end belongs to the next page.
    constexpr double kWide = 1e5;
    context.clip = QRectF(-kWide, top + 0.5, 2 * kWide, m_pageHeight - 1);
    context.palette.setColor(QPalette::Text, Qt::black);
    m_doc.documentLayout()->draw(&painter, context);

    painter.setPen(Qt::black);
    for (auto it = from; it != to; ++it) {
        QTextLayout* layout = it->second.layout();
        layout->lineAt(0).setPosition(firstLines[size_t(it - from)]);
        const QPointF origin = m_doc.documentLayout()->blockBoundingRect(it->second).topLeft();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            if (pageOf(origin.y() + line.y(), m_pageHeight) == page)
                line.draw(&painter, origin);
        }
    }
}

} // namespace quire::textimport
