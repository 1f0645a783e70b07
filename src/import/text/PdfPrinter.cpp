#include "PdfPrinter.h"

#include "PageKeeping.h"
#include "PagePainter.h"
#include "PageSetup.h"
#include "util/FileUtil.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace quire::textimport {

namespace {

// The layout keeps a plain pointer to its paint device; the writer dies first.
class PaintDeviceScope {
public:
    PaintDeviceScope(QAbstractTextDocumentLayout* layout, QPaintDevice* device) : m_layout(layout)
    {
        m_layout->setPaintDevice(device);
    }
    ~PaintDeviceScope() { m_layout->setPaintDevice(nullptr); }
    PaintDeviceScope(const PaintDeviceScope&) = delete;
    PaintDeviceScope& operator=(const PaintDeviceScope&) = delete;

private:
    QAbstractTextDocumentLayout* m_layout;
};

// Pages up to the last one with something printed on it: empty paragraphs at
// the end do not make blank pages.
int countPages(const QTextDocument& doc, double pageHeight)
{
    QTextBlock block = doc.lastBlock();
    while (block.length() <= 1 && block.previous().isValid() && !QTextCursor(block).currentTable())
        block = block.previous();
    const double bottom = doc.documentLayout()->blockBoundingRect(block).bottom() - 0.01;
    return std::max(1, int(std::floor(std::max(0.0, bottom) / pageHeight)) + 1);
}

} // namespace

PrintOutcome PdfPrinter::print(QTextDocument& doc, const QString& path, const QString& title)
{
    PrintOutcome outcome;
    // Printed into memory and written in one checked step.
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QPdfWriter writer(&file);
    writer.setResolution(72);
    writer.setCreator(QStringLiteral("Quire"));
    writer.setTitle(title);
    const QPageSize paper(QSizeF(PageSetup::paperWidth, PageSetup::paperHeight), QPageSize::Point,
                          QString::fromLatin1(PageSetup::paperName), QPageSize::ExactMatch);
    const QPageLayout pageLayout(paper, QPageLayout::Portrait,
                                 QMarginsF(PageSetup::marginLeft, PageSetup::marginTop, PageSetup::marginRight,
                                           PageSetup::marginBottom),
                                 QPageLayout::Point);
    if (!writer.setPageLayout(pageLayout)) {
        outcome.error = QStringLiteral("the page layout was refused");
        return outcome;
    }

    PaintDeviceScope device(doc.documentLayout(), &writer);
    // Each letter reaches the PDF's text layer on its own: a ligature's glyph
    // reads as one character ("ﬁ"), which a search for "fi" misses. Qt forms
    // no ligatures where letters are spaced, and spacing them by 100 % leaves
    // them where they were.
    QFont font = doc.defaultFont();
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    doc.setDefaultFont(font);
    doc.setPageSize(QSizeF(PageSetup::textAreaWidth, PageSetup::printableHeight));
    const double contentWidth = std::max(PageSetup::textAreaWidth, doc.documentLayout()->documentSize().width());
    const double scale = std::min(1.0, PageSetup::printableWidth / contentWidth);
    if (scale < 1.0)
        doc.setPageSize(QSizeF(PageSetup::textAreaWidth, PageSetup::printableHeight / scale));
    // Page breaks that keep paragraphs together; the pages and the headings'
    // places below come from the layout they leave.
    PageKeeping::apply(doc);
    const double pageHeight = doc.pageSize().height();
    const double left = (PageSetup::printableWidth - PageSetup::textAreaWidth * scale) / 2;
    const int pages = countPages(doc, pageHeight);
    outcome.headings = HeadingOutline::find(doc, {pageHeight, scale, PageSetup::marginTop, pages});

    QPainter painter;
    if (!painter.begin(&writer)) {
        outcome.error = file.errorString();
        if (outcome.error.isEmpty())
            outcome.error = QStringLiteral("the PDF could not be started");
        return outcome;
    }
    const PagePainter pagePainter(doc);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        // Everything of this page's band of the document, and nothing of the
        // next page's first line.
        const QRectF band(-left / scale, page * pageHeight, PageSetup::printableWidth / scale, pageHeight);
        painter.save();
        painter.translate(left, 0);
        painter.scale(scale, scale);
        painter.translate(0, -band.top());
        painter.setClipRect(band);
        pagePainter.draw(painter, page);
        painter.restore();
    }
    if (!painter.end()) {
        outcome.error = QStringLiteral("the PDF could not be finished");
        return outcome;
    }
    if (QString error; !fs::writeAtomically(path, file.data(), &error)) {
        outcome.error = error;
        return outcome;
    }
    outcome.ok = true;
    outcome.pageCount = pages;
    outcome.scale = scale;
    return outcome;
}

} // namespace quire::textimport
