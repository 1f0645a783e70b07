#include "HeadingOutline.h"

#include "PagePainter.h"
#include "util/Error.h"
#include "util/Log.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace quire::textimport {

namespace {

// The layout position of the block's first line: Qt moves a line that would
// cross a page's end to the next page without moving its block.
double firstLineTop(const QTextDocument& doc, const QTextBlock& block)
{
    const double top = doc.documentLayout()->blockBoundingRect(block).top();
    const QTextLayout* layout = block.layout();
    return layout && layout->lineCount() > 0 ? top + layout->lineAt(0).y() : top;
}

size_t nestBelow(const std::vector<PrintedHeading>& headings, size_t i, int parentLevel,
                 std::vector<pdf::OutlineEntry>& into)
{
    while (i < headings.size() && headings[i].level > parentLevel) {
        const PrintedHeading& h = headings[i];
        pdf::OutlineEntry entry;
        entry.title = h.title;
        entry.target = h.page;
        entry.top = float(h.top);
        i = nestBelow(headings, i + 1, h.level, entry.children);
        into.push_back(std::move(entry));
    }
    return i;
}

} // namespace

std::vector<PrintedHeading> HeadingOutline::find(const QTextDocument& doc, const PageBands& pages)
{
    std::vector<PrintedHeading> headings;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level <= 0)
            continue;
        QString text = title(block.text());
        if (text.isEmpty())
            continue;
        const double y = firstLineTop(doc, block);
        // Lines that start at a band's end are printed on the next page.
        const int page = std::clamp(PagePainter::pageOf(y, pages.bandHeight), 0, pages.pageCount - 1);
        const double top = pages.topMargin + std::max(0.0, y - page * pages.bandHeight) * pages.scale;
        headings.push_back({std::min(level, 9), std::move(text), page, top});
    }
    return headings;
}

QString HeadingOutline::title(const QString& blockText)
{
    QString out;
    bool space = false;
    for (const QChar c : blockText) {
        if (c.isSpace()) {
            space = !out.isEmpty();
        } else if (c != QChar::ObjectReplacementCharacter && c != QChar::SoftHyphen &&
                   c.category() != QChar::Other_Control) {
            if (space)
                out += QLatin1Char(' ');
            space = false;
            out += c;
        }
    }
    if (out.size() > kMaxTitleLength) {
        qsizetype cut = kMaxTitleLength - 1;
        if (out[cut].isLowSurrogate())
            --cut;
        out = out.left(cut).trimmed() + QChar(0x2026);
    }
    return out;
}

std::vector<pdf::OutlineEntry> HeadingOutline::nest(const std::vector<PrintedHeading>& headings)
{
    std::vector<pdf::OutlineEntry> roots;
    nestBelow(headings, 0, 0, roots);
    return roots;
}

std::optional<QString> HeadingOutline::write(const QString& pdfPath, const std::vector<PrintedHeading>& headings)
{
    try {
        pdf::writeOutline(pdfPath, nest(headings));
        return std::nullopt;
    } catch (const Error& e) {
        const QString warning = QStringLiteral("The bookmarks for the headings could not be added to “%1”, which "
                                               "has none: %2.")
                                    .arg(QFileInfo(pdfPath).fileName(), e.reason());
        QLOG_WARN("%@", warning);
        return warning;
    }
}

} // namespace quire::textimport
