#include "RtfDocumentWriter.h"

#include "RtfTables.h"

#include <QTextTable>
#include <QUrl>
#include <algorithm>

namespace quire::textimport {

RtfDocumentWriter::RtfDocumentWriter(QTextDocument& doc, const LayoutUnits& units, const RtfFormatter& formatter,
                                     const RtfRowDefinition& row)
    : m_doc(doc), m_units(units), m_formatter(formatter), m_rowDefinition(row), m_cursor(&doc), m_batch(&doc)
{
    // The document's text area is the page's text column, without insets.
    doc.setDocumentMargin(0);
    QFont font;
    font.setFamilies({FontMapper::genericFamily(FontMapper::Generic::Sans),
                      FontMapper::fallbackFamily(FontMapper::Generic::Sans)});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(12);
    doc.setDefaultFont(font);
    QTextOption option = doc.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(units.scaled(kDefaultTabPoints));
    doc.setDefaultTextOption(option);
    // Nobody undoes an import, and layout waits until the whole text is in.
    doc.setUndoRedoEnabled(false);
    m_cursor.movePosition(QTextCursor::End);
    m_batch.beginEditBlock();
}

void RtfDocumentWriter::insertText(const QString& text, const QTextCharFormat& format, bool inTable)
{
    syncTable(inTable);
    m_cursor.insertText(text, format);
}

void RtfDocumentWriter::insertImage(const QImage& image, const QSizeF& points, const QTextCharFormat& format,
                                    bool inTable)
{
    syncTable(inTable);
    const QUrl name(QStringLiteral("quire-picture:%1").arg(++m_imageCount));
    m_doc.addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat imageFormat;
    imageFormat.merge(format);
    imageFormat.setName(name.toString());
    imageFormat.setWidth(m_units.scaled(points.width()));
    imageFormat.setHeight(m_units.scaled(points.height()));
    m_cursor.insertImage(imageFormat);
}

void RtfDocumentWriter::endParagraph(const QTextBlockFormat& block, const QTextCharFormat& mark, bool inTable)
{
    syncTable(inTable);
    applyBlockFormat(block, mark);
    QTextBlockFormat next = block;
    next.clearProperty(QTextFormat::PageBreakPolicy);
    m_cursor.insertBlock(next, mark);
}

void RtfDocumentWriter::pageBreak()
{
    if (m_table) {
        // A row cannot be broken; between rows the break ends the table, and
        // what follows (a paragraph or another table) starts the next page.
        if (m_cellOpen || m_rowOpen)
            return;
        leaveTable();
    }
    // A break before the first line would only leave a blank page.
    if (m_doc.characterCount() <= 1)
        return;
    if (m_cursor.block().length() > 1) {
        QTextBlockFormat next = m_cursor.blockFormat();
        next.clearProperty(QTextFormat::PageBreakPolicy);
        m_cursor.insertBlock(next, m_cursor.blockCharFormat());
    }
    QTextBlockFormat format = m_cursor.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    m_cursor.setBlockFormat(format);
}

void RtfDocumentWriter::endCell(const QTextBlockFormat& block, const QTextCharFormat& mark)
{
    if (!m_table)
        enterTable();
    openCell();
    QTextBlockFormat format = block;
    format.clearProperty(QTextFormat::PageBreakPolicy);
    applyBlockFormat(format, mark);
    ++m_column;
    m_cellOpen = false;
    m_rowOpen = true;
}

void RtfDocumentWriter::endRow()
{
    if (!m_table)
        return;
    const RtfRowDefinition& row = m_rowDefinition;
    if (row.cells.size() > m_widestRow.cells.size())
        m_widestRow = row;
    if (m_row < m_table->rows()) {
        // \trgaph is half the space between the texts of neighbouring cells.
        const double gap = m_units.scaled(std::clamp(row.gapTwips / 20.0, 0.0, 20.0));
        for (int c = 0; c < m_table->columns(); ++c) {
            QTextTableCell cell = m_table->cellAt(m_row, c);
            QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
            cellFormat.setLeftPadding(gap);
            cellFormat.setRightPadding(gap);
            const int background = c < int(row.cells.size()) ? row.cells[size_t(c)].background : 0;
            if (auto color = m_formatter.color(background); color && background > 0)
                cellFormat.setBackground(*color);
            cell.setFormat(cellFormat);
        }
    }
    ++m_row;
    m_column = 0;
    m_cellOpen = false;
    m_rowOpen = false;
}

void RtfDocumentWriter::finish(const QTextBlockFormat& block, const QTextCharFormat& mark)
{
    if (m_table)
        leaveTable();
    m_batch.endEditBlock();
    applyBlockFormat(block, mark);
    // The usual closing \par leaves an empty paragraph that would only cost a
    // line, and perhaps a blank page.
    QTextBlock last = m_doc.lastBlock();
    QTextBlock previous = last.previous();
    if (last.length() == 1 && previous.isValid() && !QTextCursor(previous).currentTable() &&
        !QTextCursor(last).currentTable()) {
        QTextCursor remove(&m_doc);
        remove.movePosition(QTextCursor::End);
        remove.deletePreviousChar();
    } else if (last.length() == 1 && (last.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)) {
        // The paragraph after a table stays; a break before it would only
        // add a blank page.
        QTextBlockFormat format = last.blockFormat();
        format.clearProperty(QTextFormat::PageBreakPolicy);
        QTextCursor(last).setBlockFormat(format);
    }
}

void RtfDocumentWriter::syncTable(bool inTable)
{
    // Until its \row, a row that has ended a cell goes on, \intbl or not.
    if (inTable || m_rowOpen) {
        if (!m_table)
            enterTable();
        openCell();
    } else if (m_table) {
        leaveTable();
    }
}

void RtfDocumentWriter::enterTable()
{
    if (m_cursor.block().length() > 1)
        m_cursor.insertBlock();
    const RtfRowDefinition& row = m_rowDefinition;
    QTextTableFormat format;
    format.setCellSpacing(0);
    format.setMargin(0);
    // Cells get their own side padding when their row ends.
    format.setCellPadding(m_units.scaled(1));
    if (row.bordered) {
        format.setBorder(m_units.scaled(0.5));
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(Qt::black);
    } else {
        format.setBorder(0);
    }
    format.setAlignment(Qt::AlignLeft);
    const int columns = std::clamp(int(row.cells.size()), 1, kMaxColumns);
    m_table = m_cursor.insertTable(1, columns, format);
    m_widestRow = RtfRowDefinition{};
    m_row = 0;
    m_column = 0;
    m_cellOpen = false;
    ++m_tableCount;
}

void RtfDocumentWriter::openCell()
{
    if (m_row >= m_table->rows())
        m_table->appendRows(m_row - m_table->rows() + 1);
    if (m_column >= m_table->columns()) {
        if (m_table->columns() < kMaxColumns)
            m_table->appendColumns(std::min(m_column, kMaxColumns - 1) - m_table->columns() + 1);
        m_column = std::min(m_column, m_table->columns() - 1);
    }
    if (!m_cellOpen) {
        m_cursor = m_table->cellAt(m_row, m_column).lastCursorPosition();
        m_cellOpen = true;
    }
}

void RtfDocumentWriter::leaveTable()
{
    applyColumnWidths();
    m_cursor.setPosition(m_table->lastPosition() + 1);
    m_table = nullptr;
    m_cellOpen = false;
    m_rowOpen = false;
}

void RtfDocumentWriter::applyColumnWidths()
{
    const auto& cells = m_widestRow.cells;
    if (cells.empty() || qsizetype(cells.size()) != m_table->columns())
        return;
    // \cellx gives each cell's right edge from the left margin.
    QList<double> widths;
    int left = 0;
    for (const RtfCellDefinition& cell : cells) {
        widths.append(std::max(1, cell.rightTwips - left) / 20.0);
        left = std::max(left, cell.rightTwips);
    }
    double total = 0;
    for (double w : widths)
        total += w;
    QTextTableFormat format = m_table->format();
    QList<QTextLength> constraints;
    for (int c = 0; c < m_table->columns(); ++c) {
        constraints.append(QTextLength(QTextLength::PercentageLength, widths[c] / total * 100.0));
    }
    format.setColumnWidthConstraints(constraints);
    const double tableShare = std::clamp(total / PageSetup::textAreaWidth * 100.0, 10.0, 100.0);
    format.setWidth(QTextLength(QTextLength::PercentageLength, tableShare));
    m_table->setFormat(format);
}

void RtfDocumentWriter::applyBlockFormat(QTextBlockFormat block, const QTextCharFormat& mark)
{
    if (m_cursor.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        block.setPageBreakPolicy(block.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
    m_cursor.setBlockFormat(block);
    m_cursor.setBlockCharFormat(mark);
}

} // namespace quire::textimport
