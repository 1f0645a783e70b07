#include "PageKeeping.h"

#include "PagePainter.h"
#include "util/Log.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>
#include <optional>
#include <set>
#include <vector>

namespace quire::textimport {

namespace {

// A paragraph or a frame (a table) of the main flow.
struct Item {
    QTextBlock block;
    QTextFrame* frame = nullptr;
};

std::vector<Item> mainFlow(const QTextDocument& doc)
{
    std::vector<Item> items;
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* frame = it.currentFrame())
            items.push_back({QTextBlock(), frame});
        else
            items.push_back({it.currentBlock(), nullptr});
    }
    return items;
}

bool breaksBefore(const Item& item)
{
    const QTextFormat format = item.frame ? QTextFormat(item.frame->frameFormat()) : item.block.blockFormat();
    return format.intProperty(QTextFormat::PageBreakPolicy) & QTextFormat::PageBreak_AlwaysBefore;
}

struct Line {
    double top = 0;
    double bottom = 0;
};

// Where the layout put lines, in layout units from the document's top. Page
// N shows the band from N to N + 1 page heights; a line that starts within
// half a unit of a band's end is printed on the next page.
class Placement {
public:
    explicit Placement(const QTextDocument& doc)
        : m_layout(doc.documentLayout()), m_pageHeight(doc.pageSize().height())
    {
    }

    double pageHeight() const { return m_pageHeight; }
    int page(double y) const { return PagePainter::pageOf(y, m_pageHeight); }

    Line line(const QTextBlock& block, bool last) const
    {
        const double top = m_layout->blockBoundingRect(block).top();
        const QTextLayout* layout = block.layout();
        if (!layout || layout->lineCount() == 0)
            return {top, top};
        const QTextLine line = layout->lineAt(last ? layout->lineCount() - 1 : 0);
        return {top + line.y(), top + line.y() + line.height()};
    }

    Line firstLine(const Item& item) const
    {
        return line(item.frame ? item.frame->firstCursorPosition().block() : item.block, false);
    }

    int lastPage(const Item& item) const
    {
        if (!item.frame)
            return page(line(item.block, true).top);
        // A table's last row ends where its tallest cell ends.
        if (auto* table = qobject_cast<QTextTable*>(item.frame); table && table->rows() > 0) {
            int last = 0;
            for (int c = 0; c < table->columns(); ++c) {
                const QTextBlock end = table->cellAt(table->rows() - 1, c).lastCursorPosition().block();
                last = std::max(last, page(line(end, true).top));
            }
            return last;
        }
        return page(line(item.frame->lastCursorPosition().block(), true).top);
    }

private:
    QAbstractTextDocumentLayout* m_layout;
    double m_pageHeight;
};

class Keeper {
public:
    explicit Keeper(QTextDocument& doc) : m_items(mainFlow(doc)), m_at(doc) {}

    bool hasMarks() const
    {
        return std::any_of(m_items.begin(), m_items.end(), [](const Item& item) {
            if (item.frame)
                return false;
            const QTextBlockFormat format = item.block.blockFormat();
            return format.boolProperty(PageKeeping::KeepWithNext) ||
                   format.boolProperty(PageKeeping::KeepLinesTogether);
        });
    }

    int run()
    {
        int added = 0;
        size_t from = 0;
        const int lastPage = m_at.lastPage(m_items.back());
        long long relaid = 0;
        for (int attempt = 0; attempt < PageKeeping::kMaxAttempts; ++attempt) {
            const auto parted = findParted(from);
            if (!parted)
                break;
            const auto [start, end] = *parted;
            const int startPage = m_at.page(m_at.firstLine(m_items[start]).top);
            const int pagesAfter = std::max(1, lastPage - startPage);
            relaid += pagesAfter;
            if (relaid > PageKeeping::kMaxPagesRelaid) {
                QLOG_INFO("paragraphs are kept together up to page %d only: the document is too long to lay out "
                          "again for the rest",
                          startPage + 1);
                break;
            }
            setBreak(start, true);
            if (partedBetween(start, end)) {
                relaid += pagesAfter;
                setBreak(start, false);
                m_refused.insert(start);
            } else {
                ++added;
            }
            // Nothing before the group moved.
            from = start;
        }
        return added;
    }

private:
    struct Parted {
        size_t start; // the group's first paragraph
        size_t end;   // the paragraph whose keeping failed
    };

    std::optional<Parted> findParted(size_t from) const
    {
        for (size_t i = from; i < m_items.size(); ++i) {
            const std::optional<double> end = partedEnd(i);
            if (!end)
                continue;
            const size_t start = groupStart(i);
            if (m_refused.count(start) || startsPage(start))
                continue;
            if (*end - m_at.firstLine(m_items[start]).top > m_at.pageHeight())
                continue;
            return Parted{start, i};
        }
        return std::nullopt;
    }

    bool partedBetween(size_t start, size_t end) const
    {
        for (size_t i = start; i <= end; ++i)
            if (partedEnd(i))
                return true;
        return false;
    }

    // When the paragraph at i is parted from what it keeps with: where the
    // group would end if it were whole (the next item's first line added
    // to the paragraph's end, or the paragraph's own end).
    std::optional<double> partedEnd(size_t i) const
    {
        const Item& item = m_items[i];
        if (item.frame)
            return std::nullopt;
        const QTextBlockFormat format = item.block.blockFormat();
        const bool withNext = format.boolProperty(PageKeeping::KeepWithNext);
        const bool lines = format.boolProperty(PageKeeping::KeepLinesTogether);
        if (!withNext && !lines)
            return std::nullopt;
        const Line last = m_at.line(item.block, true);
        if (withNext) {
            if (const std::optional<size_t> next = following(i)) {
                const Line first = m_at.firstLine(m_items[*next]);
                if (m_at.page(last.top) < m_at.page(first.top))
                    return last.bottom + (first.bottom - first.top);
            }
        }
        if (lines && m_at.page(m_at.line(item.block, false).top) < m_at.page(last.top))
            return last.bottom;
        return std::nullopt;
    }

    // What the paragraph at i keeps with: the next item, or the table after
    // the empty paragraph that Qt hides before a table. None at the end, or
    // when a forced page break comes first.
    std::optional<size_t> following(size_t i) const
    {
        size_t next = i + 1;
        if (next >= m_items.size() || breaksBefore(m_items[next]))
            return std::nullopt;
        const Item& item = m_items[next];
        if (!item.frame && item.block.length() == 1 && next + 1 < m_items.size() &&
            qobject_cast<QTextTable*>(m_items[next + 1].frame)) {
            ++next;
            if (breaksBefore(m_items[next]))
                return std::nullopt;
        }
        return next;
    }

    // The first of the paragraphs before i that keep with the next one.
    size_t groupStart(size_t i) const
    {
        size_t start = i;
        while (start > 0 && !breaksBefore(m_items[start])) {
            const Item& before = m_items[start - 1];
            if (before.frame || !before.block.blockFormat().boolProperty(PageKeeping::KeepWithNext))
                break;
            --start;
        }
        return start;
    }

    bool startsPage(size_t i) const
    {
        if (i == 0 || breaksBefore(m_items[i]))
            return true;
        return m_at.lastPage(m_items[i - 1]) < m_at.page(m_at.firstLine(m_items[i]).top);
    }

    void setBreak(size_t i, bool on)
    {
        const QTextBlock& block = m_items[i].block;
        QTextBlockFormat format = block.blockFormat();
        QTextFormat::PageBreakFlags policy = format.pageBreakPolicy();
        policy.setFlag(QTextFormat::PageBreak_AlwaysBefore, on);
        format.setPageBreakPolicy(policy);
        QTextCursor(block).setBlockFormat(format);
    }

    std::vector<Item> m_items;
    Placement m_at;
    std::set<size_t> m_refused;
};

} // namespace

int PageKeeping::apply(QTextDocument& doc)
{
    if (!(doc.pageSize().height() > 0))
        return 0;
    Keeper keeper(doc);
    return keeper.hasMarks() ? keeper.run() : 0;
}

} // namespace quire::textimport
