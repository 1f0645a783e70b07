#include "RtfParser.h"

#include <QTextDocument>
#include <algorithm>

namespace quire::textimport {

RtfParser::RtfParser(QByteArrayView bytes, QTextDocument& doc, const LayoutUnits& units, const QString& folder)
    : m_tokens(bytes),
      m_doc(doc),
      m_units(units),
      m_formatter(m_fonts, m_colors, m_styles, units),
      m_writer(doc, units, m_formatter, m_row),
      m_folder(folder)
{
}

RtfReadResult RtfParser::run()
{
    bool started = false;
    while (!m_documentEnded) {
        const RtfToken token = m_tokens.next();
        if (token.kind == RtfToken::Kind::End)
            break;
        if (m_overflowDepth > 0) {
            // Inside groups nested too deeply: only keep count, and step over
            // binary data, whose bytes may look like braces.
            if (token.kind == RtfToken::Kind::GroupStart)
                ++m_overflowDepth;
            else if (token.kind == RtfToken::Kind::GroupEnd)
                --m_overflowDepth;
            else if (token.kind == RtfToken::Kind::ControlWord && token.word == "bin")
                skipBinary(token);
            continue;
        }
        switch (token.kind) {
        case RtfToken::Kind::GroupStart:
            groupStart();
            started = true;
            break;
        case RtfToken::Kind::GroupEnd:
            groupEnd();
            break;
        case RtfToken::Kind::ControlWord:
            controlWord(token);
            break;
        case RtfToken::Kind::ControlSymbol:
            controlSymbol(token.symbol);
            break;
        case RtfToken::Kind::HexByte:
            hexByte(token.byte);
            break;
        case RtfToken::Kind::Text:
            text(token.word);
            break;
        case RtfToken::Kind::End:
            break;
        }
    }
    if (!m_documentEnded) {
        if (started)
            warnOnce(QStringLiteral("the document ends before all of its groups are closed; "
                                    "the text up to there was read"));
        endDocument();
    } else {
        // Anything but white space after the closing brace is not part of
        // the document.
        for (RtfToken t = m_tokens.next(); t.kind != RtfToken::Kind::End; t = m_tokens.next()) {
            const bool blank = t.kind == RtfToken::Kind::Text &&
                               std::all_of(t.word.begin(), t.word.end(), [](char c) { return c == ' ' || c == '\t'; });
            if (!blank) {
                warnOnce(QStringLiteral("text after the end of the document was ignored"));
                break;
            }
        }
    }
    if (const QString title = m_title.simplified(); !title.isEmpty())
        m_doc.setMetaInformation(QTextDocument::DocumentTitle, title);
    RtfReadResult result;
    result.ok = true;
    result.warnings = m_warnings;
    return result;
}

void RtfParser::groupStart()
{
    flush();
    m_skipAfterUnicode = 0;
    if (int(m_stack.size()) >= RtfReader::kMaxDepth) {
        m_overflowDepth = 1;
        warnOnce(QStringLiteral("groups nested deeper than %1 levels were left out").arg(RtfReader::kMaxDepth));
        return;
    }
    m_stack.push_back(m_state);
    m_state.startsPicture = false;
    m_state.startsAttachment = false;
    m_state.startsFieldInstruction = false;
    m_state.startsField = false;
    m_state.startsFontEntry = false;
    m_state.startsStyleEntry = false;
    m_ignorableNext = false;
    // Each group directly inside the style sheet defines one style.
    if (m_state.destination == Destination::StyleSheet && !m_state.inStyleEntry) {
        m_state.startsStyleEntry = true;
        m_state.inStyleEntry = true;
        m_styles.beginEntry();
    }
}

void RtfParser::groupEnd()
{
    flush();
    m_skipAfterUnicode = 0;
    m_ignorableNext = false;
    if (m_stack.empty())
        return;
    if (m_state.startsFontEntry && m_state.destination == Destination::FontTable)
        m_fonts.endEntry();
    if (m_state.startsStyleEntry)
        m_styles.endEntry();
    if (m_state.destination == Destination::FontTable || m_state.destination == Destination::ColorTable)
        m_formatter.invalidate();
    if (m_state.startsPicture)
        finishPicture();
    if (m_state.startsAttachment)
        finishAttachment();
    else if (m_attachmentMarkDepth == int(m_stack.size()))
        m_attachmentMarkDepth = -1;
    if (m_state.startsFieldInstruction)
        finishFieldInstruction();
    if (m_state.startsField && !m_fields.empty())
        m_fields.pop_back();
    if (m_stack.size() == 1) {
        // The document's own group closes: its last paragraph takes the
        // formatting in effect now.
        endDocument();
        m_documentEnded = true;
    }
    m_state = m_stack.back();
    m_stack.pop_back();
}

void RtfParser::endDocument()
{
    flush();
    m_writer.finish(m_formatter.blockFormat(m_state.para), m_formatter.charFormat(m_state.chars));
}

void RtfParser::text(std::string_view bytes)
{
    if (m_skipAfterUnicode > 0) {
        const size_t skip = std::min<size_t>(size_t(m_skipAfterUnicode), bytes.size());
        m_skipAfterUnicode -= int(skip);
        bytes.remove_prefix(skip);
    }
    if (bytes.empty())
        return;
    switch (m_state.destination) {
    case Destination::Skip:
        return;
    case Destination::Picture:
        m_picture.appendHex(bytes);
        return;
    default:
        break;
    }
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (unsigned char)c < 0x80; });
    if (ascii && m_pendingBytes.isEmpty())
        m_pendingText.append(QLatin1StringView(bytes.data(), qsizetype(bytes.size())));
    else
        m_pendingBytes.append(bytes.data(), qsizetype(bytes.size()));
}

void RtfParser::hexByte(unsigned char byte)
{
    if (m_skipAfterUnicode > 0) {
        --m_skipAfterUnicode;
        return;
    }
    if (m_state.destination == Destination::Skip)
        return;
    if (m_state.destination == Destination::Picture) {
        m_picture.appendBinary(std::string_view(reinterpret_cast<const char*>(&byte), 1));
        return;
    }
    m_pendingBytes.append(char(byte));
}

void RtfParser::controlSymbol(char symbol)
{
    if (symbol == '*') {
        m_ignorableNext = true;
        return;
    }
    if (m_skipAfterUnicode > 0) {
        --m_skipAfterUnicode;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        appendChar(char32_t(symbol));
        break;
    case '~':
        appendChar(0x00A0);
        break;
    case '-':
        appendChar(0x00AD);
        break;
    case '_':
        appendChar(0x2011);
        break;
    case '\t':
        appendChar('\t');
        break;
    case '\n':
    case '\r':
        // A backslash before a line end is a paragraph mark.
        if (writesText()) {
            flush();
            m_writer.endParagraph(m_formatter.blockFormat(m_state.para), m_formatter.charFormat(m_state.chars),
                                  m_state.para.inTable);
        }
        break;
    default:
        break;
    }
}

void RtfParser::appendChar(char32_t c)
{
    if (m_state.destination == Destination::Skip || m_state.destination == Destination::Picture)
        return;
    if (!m_pendingBytes.isEmpty()) {
        m_pendingText.append(m_decoder.decode(currentCodePage(), m_pendingBytes));
        m_pendingBytes.clear();
    }
    if (c > 0xFFFF) {
        const char32_t utf32[1] = {c};
        m_pendingText.append(QString::fromUcs4(utf32, 1));
    } else {
        m_pendingText.append(QChar(char16_t(c)));
    }
}

int RtfParser::currentCodePage() const
{
    const RtfFont* font = nullptr;
    if (m_state.destination == Destination::FontTable)
        font = m_fonts.current();
    else
        font = m_fonts.find(m_state.chars.font);
    if (font && font->codePage > 0)
        return font->codePage;
    if (font && font->charset >= 0)
        return codePageForCharset(font->charset, m_documentCodePage);
    return m_documentCodePage;
}

void RtfParser::flush()
{
    if (!m_pendingBytes.isEmpty()) {
        m_pendingText.append(m_decoder.decode(currentCodePage(), m_pendingBytes));
        m_pendingBytes.clear();
    }
    if (m_pendingText.isEmpty())
        return;
    QString text;
    text.swap(m_pendingText);
    // Control characters other than tabs have no place in the text, and a
    // lone surrogate cannot be printed.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i;
        } else if (QChar::isSurrogate(c)) {
            text[i] = QChar::ReplacementCharacter;
        } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
            text.remove(i--, 1);
        }
    }
    // Documents of the NeXT family follow a picture with the attachment
    // character (written as U+00AC or U+FFFC), which only stands for it.
    if (m_attachmentMarkDepth >= 0 && !text.isEmpty() && writesText()) {
        if (text.front() == QChar(0x00AC) || text.front() == QChar(0xFFFC))
            text.remove(0, 1);
        m_attachmentMarkDepth = -1;
    }
    if (!text.isEmpty())
        deliver(text);
}

void RtfParser::deliver(const QString& text)
{
    switch (m_state.destination) {
    case Destination::Normal:
        if (!m_state.chars.hidden)
            m_writer.insertText(text, m_formatter.charFormat(m_state.chars), m_state.para.inTable);
        break;
    case Destination::FontTable:
        m_fonts.appendText(text);
        break;
    case Destination::ColorTable:
        m_colors.appendText(text);
        break;
    case Destination::StyleSheet:
        m_styles.appendText(text);
        break;
    case Destination::FieldInstruction:
        if (!m_fields.empty() && m_fields.back().instruction.size() < 4096)
            m_fields.back().instruction.append(text);
        break;
    case Destination::Title:
        if (m_title.size() < RtfReader::kMaxTitleLength)
            m_title.append(text.left(RtfReader::kMaxTitleLength - m_title.size()));
        break;
    case Destination::Attachment:
        if (m_attachment.fileName.size() < 1024)
            m_attachment.fileName.append(text);
        break;
    case Destination::Skip:
    case Destination::Picture:
    case Destination::Info:
        break;
    }
}

bool RtfParser::enterDestination(RtfKeyword keyword)
{
    switch (keyword) {
    case RtfKeyword::FontTable:
        m_state.destination = Destination::FontTable;
        return true;
    case RtfKeyword::ColorTable:
        m_state.destination = Destination::ColorTable;
        return true;
    case RtfKeyword::StyleSheet:
        m_state.destination = Destination::StyleSheet;
        m_state.inStyleEntry = false;
        return true;
    case RtfKeyword::Picture:
        m_state.destination = Destination::Picture;
        m_state.startsPicture = true;
        m_picture = RtfPicture{};
        return true;
    case RtfKeyword::NeXTGraphic:
        m_state.destination = Destination::Attachment;
        m_state.startsAttachment = true;
        m_attachment = RtfAttachment{};
        return true;
    case RtfKeyword::Field:
        m_state.destination = Destination::Normal;
        m_state.startsField = true;
        m_fields.push_back(Field{});
        return true;
    case RtfKeyword::FieldInstruction:
        m_state.destination = Destination::FieldInstruction;
        m_state.startsFieldInstruction = true;
        return true;
    case RtfKeyword::FieldResult:
        m_state.destination = Destination::Normal;
        if (!m_fields.empty() && !m_fields.back().href.isEmpty())
            m_state.chars.href = m_fields.back().href;
        return true;
    case RtfKeyword::ShapePicture:
    case RtfKeyword::ListText:
        m_state.destination = Destination::Normal;
        return true;
    case RtfKeyword::SkippedDestination:
        m_state.destination = Destination::Skip;
        return true;
    case RtfKeyword::Info:
        m_state.destination = Destination::Info;
        return true;
    case RtfKeyword::Title:
        // Only the document information has a title; a stray one is not text.
        m_state.destination = m_state.destination == Destination::Info ? Destination::Title : Destination::Skip;
        return true;
    default:
        return false;
    }
}

void RtfParser::finishPicture()
{
    if (m_state.destination != Destination::Picture)
        return;
    QString problem;
    const QImage image = m_picture.decode(&problem);
    if (image.isNull()) {
        warnOnce(QStringLiteral("a picture was left out because %1").arg(problem));
        return;
    }
    insertPicture(image, m_picture);
}

void RtfParser::finishAttachment()
{
    if (m_state.destination != Destination::Attachment)
        return;
    m_attachmentMarkDepth = int(m_stack.size()) - 1;
    QString problem;
    const QImage image = m_attachment.load(m_folder, &problem);
    if (image.isNull()) {
        warnOnce(QStringLiteral("a picture was left out because %1").arg(problem));
        return;
    }
    RtfPicture sizing;
    sizing.goalWidthTwips = std::clamp(m_attachment.widthTwips, 0, 100000);
    sizing.goalHeightTwips = std::clamp(m_attachment.heightTwips, 0, 100000);
    insertPicture(image, sizing);
}

void RtfParser::insertPicture(const QImage& image, const RtfPicture& sizing)
{
    // The picture may not be wider than the text area nor taller than a page.
    const QSizeF bounds(PageSetup::textAreaWidth, PageSetup::printableHeight - 2);
    const QSizeF size = sizing.displaySize(image, bounds);
    // The group that holds the picture decides where it goes.
    const GroupState& outer = m_stack.back();
    if (outer.destination == Destination::Normal && !outer.chars.hidden)
        m_writer.insertImage(image, size, m_formatter.charFormat(outer.chars), outer.para.inTable);
}

namespace {

// Words and quoted strings of a field instruction.
QStringList instructionTokens(const QString& instruction)
{
    QStringList tokens;
    qsizetype i = 0;
    const qsizetype n = instruction.size();
    while (i < n) {
        if (instruction[i].isSpace()) {
            ++i;
        } else if (instruction[i] == QLatin1Char('"')) {
            const qsizetype close = instruction.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? n : close;
            tokens.append(instruction.mid(i + 1, end - i - 1));
            i = end + 1;
        } else {
            qsizetype end = i;
            while (end < n && !instruction[end].isSpace())
                ++end;
            tokens.append(instruction.mid(i, end - i));
            i = end;
        }
    }
    return tokens;
}

} // namespace

void RtfParser::finishFieldInstruction()
{
    if (m_fields.empty())
        return;
    // HYPERLINK "url" [\l "bookmark"] [\o "tip"] [\t "frame"] ...
    const QStringList tokens = instructionTokens(m_fields.back().instruction);
    if (tokens.isEmpty() || tokens.first().compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0)
        return;
    QString url;
    QString bookmark;
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        const QString& t = tokens[i];
        if (t == QLatin1String("\\l")) {
            if (i + 1 < tokens.size())
                bookmark = tokens[++i];
        } else if (t == QLatin1String("\\o") || t == QLatin1String("\\t")) {
            ++i;
        } else if (t.startsWith(QLatin1Char('\\'))) {
            continue;
        } else if (url.isEmpty()) {
            url = t.trimmed();
        }
    }
    // A link to a bookmark alone has nowhere to go: bookmarks do not reach
    // the PDF.
    if (!url.isEmpty() && !bookmark.isEmpty())
        url += QLatin1Char('#') + bookmark.trimmed();
    m_fields.back().href = url;
}

void RtfParser::warnOnce(const QString& warning)
{
    if (m_warned.contains(warning))
        return;
    m_warned.insert(warning);
    m_warnings.append(warning);
}

} // namespace quire::textimport
