#pragma once
// Writes what the RTF reader finds into a QTextDocument: runs of text,
// paragraphs, page breaks, pictures and simple tables.
#include "PageSetup.h"
#include "RtfFormatting.h"

#include <QTextCursor>
#include <QTextDocument>

class QTextTable;

namespace quire::textimport {

class RtfDocumentWriter {
public:
    static constexpr int kMaxColumns = 63;
    // RTF's default tab interval, half an inch.
    static constexpr double kDefaultTabPoints = 36;

    // `row` is the reader's current table-row definition, read when a table
    // starts and when a row ends.
    RtfDocumentWriter(QTextDocument& doc, const LayoutUnits& units, const RtfFormatter& formatter,
                      const RtfRowDefinition& row);

    // Every call says whether its paragraph belongs to a table (\intbl).
    void insertText(const QString& text, const QTextCharFormat& format, bool inTable);
    void insertImage(const QImage& image, const QSizeF& points, const QTextCharFormat& format, bool inTable);
    void endParagraph(const QTextBlockFormat& block, const QTextCharFormat& mark, bool inTable);
    void pageBreak();
    void endCell(const QTextBlockFormat& block, const QTextCharFormat& mark);
    void endRow();
    // The last paragraph, which may lack its \par.
    void finish(const QTextBlockFormat& block, const QTextCharFormat& mark);

    int tableCount() const { return m_tableCount; }
    int imageCount() const { return m_imageCount; }

private:
    void syncTable(bool inTable);
    void enterTable();
    void leaveTable();
    void openCell();
    void applyBlockFormat(QTextBlockFormat block, const QTextCharFormat& mark);
    void applyColumnWidths();

    QTextDocument& m_doc;
    LayoutUnits m_units;
    const RtfFormatter& m_formatter;
    const RtfRowDefinition& m_rowDefinition;
    QTextCursor m_cursor;
    QTextCursor m_batch; // holds the edit block that spans the whole read
    QTextTable* m_table = nullptr;
    int m_row = 0;
    int m_column = 0;
    bool m_cellOpen = false;
    bool m_rowOpen = false; // a cell of the current row has ended
    RtfRowDefinition m_widestRow;
    int m_tableCount = 0;
    int m_imageCount = 0;
};

} // namespace quire::textimport
