#include "PlainTextDocument.h"

#include "RtfTables.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

namespace quire::textimport {

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
        } else if (c == '\n' || c == '\t' || (c >= 0x20 && c != 0x7F)) {
            out.append(QChar(c));
        }
    }
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}

void PlainTextDocument::build(QTextDocument& doc, const QString& text, const LayoutUnits& units)
{
    QFont font(FontMapper::genericFamily(FontMapper::Generic::Sans));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kFontPoints);
    doc.setDefaultFont(font);

    QTextOption option;
    // Flush left whatever the script's direction.
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(units.scaled(kTabStop));
    doc.setDefaultTextOption(option);

    doc.setPlainText(normalized(text));

    QTextFrameFormat frame = doc.rootFrame()->frameFormat();
    frame.setMargin(0);
    frame.setLeftMargin(units.scaled(kSideInset));
    frame.setRightMargin(units.scaled(kSideInset));
    doc.rootFrame()->setFrameFormat(frame);

    // Frame margins repeat on every page and Qt ignores the top margin of a
    // frame's first paragraph, so the one-off top inset is an empty first
    // line of exactly that height.
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::Start);
    cursor.beginEditBlock();
    cursor.insertBlock();
    cursor.movePosition(QTextCursor::Start);
    QTextBlockFormat spacer;
    spacer.setLineHeight(units.scaled(kTopInset), QTextBlockFormat::FixedHeight);
    cursor.setBlockFormat(spacer);
    cursor.endEditBlock();
}

} // namespace quire::textimport
