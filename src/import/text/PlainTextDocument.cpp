#include "PlainTextDocument.h"

#include "RtfTables.h"

#include <QImage>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <algorithm>
#include <vector>

namespace quire::textimport {

namespace {

// The width of `columns` columns as the document lays them out.
double measure(const QFont& font, int columns)
{
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(72 / 0.0254));
    device.setDotsPerMeterY(qRound(72 / 0.0254));
    QTextLayout layout(QString(columns, QLatin1Char('M')), font, &device);
    QTextOption option;
    option.setUseDesignMetrics(true);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    return line.naturalTextWidth();
}

} // namespace

QString PlainTextDocument::normalized(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == '\r') {
            out.append(QLatin1Char('\n'));
            if (i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else if (c == '\n' || c == '\t' || c == '\f' || (c >= 0x20 && c != 0x7F)) {
            out.append(QChar(c));
        }
    }
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}

QString PlainTextDocument::expandTabs(const QString& line)
{
    if (!line.contains(QLatin1Char('\t')))
        return line;
    QString out;
    out.reserve(line.size() + kTabColumns);
    for (QChar c : line) {
        if (c == QLatin1Char('\t'))
            out.append(QString(kTabColumns - out.size() % kTabColumns, QLatin1Char(' ')));
        else
            out.append(c);
    }
    return out;
}

QFont PlainTextDocument::font(double* columnWidth)
{
    QFont font;
    font.setFamilies({FontMapper::fallbackFamily(FontMapper::Generic::Mono),
                      FontMapper::genericFamily(FontMapper::Generic::Mono)});
    font.setStyleHint(QFont::Monospace);
    constexpr int probe = 100;
    font.setPointSize(probe);
    // Qt sizes a face in whole pixels, which are points here.
    int size = std::max(1, int(probe * kLineWidth / measure(font, kColumns)));
    double width = 0;
    for (; size >= 1; --size) {
        font.setPointSize(size);
        width = measure(font, kColumns);
        if (width <= kLineWidth || size == 1)
            break;
    }
    if (columnWidth)
        *columnWidth = width / kColumns;
    return font;
}

void PlainTextDocument::build(QTextDocument& doc, const QString& text, const LayoutUnits& units)
{
    doc.setUndoRedoEnabled(false);
    double columnWidth = 0;
    doc.setDefaultFont(font(&columnWidth));
    // Columns stay columns whatever the device's hinting makes of a glyph.
    doc.setUseDesignMetrics(true);
    QTextOption option;
    // Flush left whatever the script's direction.
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc.setDefaultTextOption(option);

    // The file's lines, and which of them a form feed puts on a new page.
    // What follows a form feed on its line starts the page when there is
    // something; a page never starts empty, nor with the document.
    QStringList lines;
    std::vector<int> pageStarts;
    bool breakPending = false;
    for (const QString& line : normalized(text).split(QLatin1Char('\n'))) {
        const QStringList parts = line.split(QLatin1Char('\f'));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            breakPending = breakPending || i > 0;
            if (parts.size() > 1 && parts[i].isEmpty())
                continue;
            if (breakPending && !lines.isEmpty())
                pageStarts.push_back(int(lines.size()));
            breakPending = false;
            lines << expandTabs(parts[i]);
        }
    }
    doc.setPlainText(lines.join(QLatin1Char('\n')));

    QTextFrameFormat frame = doc.rootFrame()->frameFormat();
    frame.setMargin(0);
    frame.setLeftMargin(units.scaled(kSideInset));
    frame.setRightMargin(units.scaled(kSideInset));
    doc.rootFrame()->setFrameFormat(frame);

    QTextBlockFormat line;
    const double hanging = kHangingColumns * columnWidth;
    line.setLeftMargin(hanging);
    line.setTextIndent(-hanging);
    QTextCursor cursor(&doc);
    cursor.select(QTextCursor::Document);
    cursor.setBlockFormat(line);
    QTextBlockFormat pageStart = line;
    pageStart.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    for (int number : pageStarts)
        QTextCursor(doc.findBlockByNumber(number)).setBlockFormat(pageStart);

    // Frame margins repeat on every page and Qt ignores the top margin of a
    // frame's first paragraph, so the one-off top inset is an empty first
    // line of exactly that height.
    cursor.movePosition(QTextCursor::Start);
    cursor.insertBlock();
    cursor.movePosition(QTextCursor::Start);
    QTextBlockFormat spacer;
    spacer.setLineHeight(units.scaled(kTopInset), QTextBlockFormat::FixedHeight);
    cursor.setBlockFormat(spacer);
}

} // namespace quire::textimport
