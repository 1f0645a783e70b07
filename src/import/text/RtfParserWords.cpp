// Control words: what each one does to the parser's state.
#include "RtfParser.h"

#include <QTextDocument>
#include <algorithm>

namespace quire::textimport {

namespace {

// Lengths in twips are kept to a range no page comes near, so that later
// arithmetic cannot overflow.
int twips(const RtfToken& token)
{
    return std::clamp(token.parameter, -100000, 100000);
}

// \b, \b1 switch on; \b0 switches off.
bool flag(const RtfToken& token)
{
    return !token.hasParameter || token.parameter != 0;
}

int parameterOr(const RtfToken& token, int fallback)
{
    return token.hasParameter ? token.parameter : fallback;
}

} // namespace

void RtfParser::controlWord(const RtfToken& token)
{
    const RtfKeyword keyword = rtfKeyword(token.word);
    const bool ignorable = m_ignorableNext;
    m_ignorableNext = false;

    if (keyword == RtfKeyword::Binary) {
        if (m_skipAfterUnicode > 0)
            --m_skipAfterUnicode;
        if (m_state.destination == Destination::Picture)
            m_picture.appendBinary(m_tokens.takeBinary(token.parameter));
        else
            skipBinary(token);
        return;
    }
    if (m_state.destination == Destination::Skip)
        return;
    if (m_skipAfterUnicode > 0) {
        --m_skipAfterUnicode;
        return;
    }

    // Characters given by name join the pending text; everything else ends it.
    switch (keyword) {
    case RtfKeyword::Unicode: {
        int32_t code = token.parameter;
        if (code < 0)
            code += 65536;
        if (code > 0 && code <= 0x10FFFF)
            appendChar(char32_t(code));
        m_skipAfterUnicode = m_state.unicodeSkip;
        return;
    }
    case RtfKeyword::Tab: appendChar('\t'); return;
    case RtfKeyword::Line: appendChar(0x2028); return;
    case RtfKeyword::EmDash: appendChar(0x2014); return;
    case RtfKeyword::EnDash: appendChar(0x2013); return;
    case RtfKeyword::EmSpace: appendChar(0x2003); return;
    case RtfKeyword::EnSpace: appendChar(0x2002); return;
    case RtfKeyword::QmSpace: appendChar(0x2005); return;
    case RtfKeyword::Bullet: appendChar(0x2022); return;
    case RtfKeyword::LeftQuote: appendChar(0x2018); return;
    case RtfKeyword::RightQuote: appendChar(0x2019); return;
    case RtfKeyword::LeftDoubleQuote: appendChar(0x201C); return;
    case RtfKeyword::RightDoubleQuote: appendChar(0x201D); return;
    case RtfKeyword::ZeroWidthJoiner: appendChar(0x200D); return;
    case RtfKeyword::ZeroWidthNonJoiner: appendChar(0x200C); return;
    case RtfKeyword::LeftToRightMark: appendChar(0x200E); return;
    case RtfKeyword::RightToLeftMark: appendChar(0x200F); return;
    case RtfKeyword::NestedCell: appendChar('\t'); return;
    case RtfKeyword::NestedRow: appendChar(0x2028); return;
    default: break;
    }

    flush();
    if (enterDestination(keyword))
        return;
    if (ignorable && keyword == RtfKeyword::Unknown) {
        // {\*\word ...}: a destination this reader does not know.
        m_state.destination = Destination::Skip;
        return;
    }

    switch (m_state.destination) {
    case Destination::FontTable:
        fontTableWord(keyword, token);
        return;
    case Destination::ColorTable:
        if (keyword == RtfKeyword::Red)
            m_colors.setRed(token.parameter);
        else if (keyword == RtfKeyword::Green)
            m_colors.setGreen(token.parameter);
        else if (keyword == RtfKeyword::Blue)
            m_colors.setBlue(token.parameter);
        return;
    case Destination::Picture:
        pictureWord(keyword, token);
        return;
    case Destination::Attachment:
        attachmentWord(keyword, token);
        return;
    case Destination::StyleSheet:
        styleSheetWord(keyword, token);
        return;
    case Destination::FieldInstruction:
    case Destination::Skip:
    case Destination::Info:
    case Destination::Title:
        return;
    case Destination::Normal:
        break;
    }
    if (characterWord(keyword, token) || paragraphWord(keyword, token) || tableWord(keyword, token))
        return;
    documentWord(keyword, token);
}

bool RtfParser::characterWord(RtfKeyword keyword, const RtfToken& token)
{
    RtfCharState& c = m_state.chars;
    switch (keyword) {
    case RtfKeyword::Plain: {
        // A link stays a link whatever the formatting inside it.
        const QString href = c.href;
        c = RtfCharState{};
        c.href = href;
        return true;
    }
    case RtfKeyword::Font: c.font = token.parameter; return true;
    case RtfKeyword::FontSize:
        c.halfPoints = std::clamp(parameterOr(token, 24), 2, int(RtfFormatter::kMaxFontPoints * 2));
        return true;
    case RtfKeyword::Bold: c.bold = flag(token); return true;
    case RtfKeyword::Italic: c.italic = flag(token); return true;
    case RtfKeyword::Underline:
        c.underline = flag(token) ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        return true;
    case RtfKeyword::UnderlineDotted:
        c.underline = flag(token) ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
        return true;
    case RtfKeyword::UnderlineDashed:
        c.underline = flag(token) ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
        return true;
    case RtfKeyword::UnderlineWave:
        c.underline = flag(token) ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
        return true;
    case RtfKeyword::UnderlineNone: c.underline = QTextCharFormat::NoUnderline; return true;
    case RtfKeyword::Strike: c.strike = flag(token); return true;
    case RtfKeyword::Superscript:
        c.verticalAlignment = flag(token) ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
        return true;
    case RtfKeyword::Subscript:
        c.verticalAlignment = flag(token) ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
        return true;
    case RtfKeyword::NoSuperSub: c.verticalAlignment = QTextCharFormat::AlignNormal; return true;
    case RtfKeyword::Caps: c.caps = flag(token); return true;
    case RtfKeyword::SmallCaps: c.smallCaps = flag(token); return true;
    case RtfKeyword::Hidden: c.hidden = flag(token); return true;
    case RtfKeyword::Foreground: c.foreground = std::max(0, token.parameter); return true;
    case RtfKeyword::Background: c.background = std::max(0, token.parameter); return true;
    case RtfKeyword::Highlight: c.highlight = std::max(0, token.parameter); return true;
    // \expnd is in quarter points, \expndtw in twips.
    case RtfKeyword::Expand: c.expandTwips = std::clamp(token.parameter, -4000, 4000) * 5; return true;
    case RtfKeyword::ExpandTwips: c.expandTwips = std::clamp(token.parameter, -20000, 20000); return true;
    default: return false;
    }
}

bool RtfParser::paragraphWord(RtfKeyword keyword, const RtfToken& token)
{
    RtfParaState& p = m_state.para;
    switch (keyword) {
    case RtfKeyword::Par:
    case RtfKeyword::Section:
        m_writer.endParagraph(m_formatter.blockFormat(p), m_formatter.charFormat(m_state.chars), p.inTable);
        return true;
    case RtfKeyword::Pard: p = RtfParaState{}; return true;
    case RtfKeyword::AlignLeft: p.alignment = Qt::AlignLeft; return true;
    case RtfKeyword::AlignCenter: p.alignment = Qt::AlignHCenter; return true;
    case RtfKeyword::AlignRight: p.alignment = Qt::AlignRight; return true;
    case RtfKeyword::AlignJustify: p.alignment = Qt::AlignJustify; return true;
    case RtfKeyword::LeftIndent: p.leftTwips = twips(token); return true;
    case RtfKeyword::RightIndent: p.rightTwips = twips(token); return true;
    case RtfKeyword::FirstIndent: p.firstLineTwips = twips(token); return true;
    case RtfKeyword::SpaceBefore: p.spaceBeforeTwips = twips(token); return true;
    case RtfKeyword::SpaceAfter: p.spaceAfterTwips = twips(token); return true;
    case RtfKeyword::LineSpacing:
        // \sl1000 and \sl0 both mean single spacing.
        p.lineSpacing = (token.parameter == 1000) ? 0 : twips(token);
        return true;
    case RtfKeyword::LineMultiple: p.lineMultiple = flag(token); return true;
    case RtfKeyword::TabStop:
        if (p.tabs.size() < 64)
            p.tabs.push_back(RtfTabStop{twips(token), p.nextTabType});
        p.nextTabType = QTextOption::LeftTab;
        return true;
    case RtfKeyword::TabRight: p.nextTabType = QTextOption::RightTab; return true;
    case RtfKeyword::TabCenter: p.nextTabType = QTextOption::CenterTab; return true;
    case RtfKeyword::TabDecimal: p.nextTabType = QTextOption::DelimiterTab; return true;
    case RtfKeyword::InTable: p.inTable = flag(token); return true;
    case RtfKeyword::PageBreakBefore: p.breakBefore = flag(token); return true;
    case RtfKeyword::RightToLeftPar: p.rightToLeft = true; return true;
    case RtfKeyword::LeftToRightPar: p.rightToLeft = false; return true;
    case RtfKeyword::Style: p.style = token.parameter; return true;
    case RtfKeyword::OutlineLevel: p.outlineLevel = token.parameter; return true;
    case RtfKeyword::KeepWithNext: p.keepWithNext = flag(token); return true;
    case RtfKeyword::KeepLines: p.keepLines = flag(token); return true;
    case RtfKeyword::Page: m_writer.pageBreak(); return true;
    default: return false;
    }
}

bool RtfParser::tableWord(RtfKeyword keyword, const RtfToken& token)
{
    switch (keyword) {
    case RtfKeyword::RowDefaults:
        m_row = RtfRowDefinition{};
        m_pendingTableBorder = false;
        return true;
    case RtfKeyword::CellRight:
        if (m_row.cells.size() < size_t(RtfDocumentWriter::kMaxColumns))
            m_row.cells.push_back(RtfCellDefinition{twips(token), m_row.pendingBackground});
        m_row.pendingBackground = 0;
        return true;
    case RtfKeyword::CellBackground: m_row.pendingBackground = std::max(0, token.parameter); return true;
    case RtfKeyword::RowGap: m_row.gapTwips = twips(token); return true;
    case RtfKeyword::TableBorderSide: m_pendingTableBorder = true; return true;
    case RtfKeyword::BorderStyle:
        if (m_pendingTableBorder)
            m_row.bordered = true;
        m_pendingTableBorder = false;
        return true;
    case RtfKeyword::BorderNone: m_pendingTableBorder = false; return true;
    case RtfKeyword::Cell:
        m_writer.endCell(m_formatter.blockFormat(m_state.para), m_formatter.charFormat(m_state.chars));
        return true;
    case RtfKeyword::Row: m_writer.endRow(); return true;
    default: return false;
    }
}

void RtfParser::fontTableWord(RtfKeyword keyword, const RtfToken& token)
{
    if (keyword == RtfKeyword::Font) {
        m_fonts.begin(token.parameter);
        m_state.startsFontEntry = true;
        return;
    }
    RtfFont* font = m_fonts.current();
    if (!font)
        return;
    switch (keyword) {
    case RtfKeyword::FontNil: font->family = RtfFont::Family::Nil; break;
    case RtfKeyword::FontRoman: font->family = RtfFont::Family::Roman; break;
    case RtfKeyword::FontSwiss: font->family = RtfFont::Family::Swiss; break;
    case RtfKeyword::FontModern: font->family = RtfFont::Family::Modern; break;
    case RtfKeyword::FontScript: font->family = RtfFont::Family::Script; break;
    case RtfKeyword::FontDecor: font->family = RtfFont::Family::Decor; break;
    case RtfKeyword::FontTech: font->family = RtfFont::Family::Tech; break;
    case RtfKeyword::FontBidi: font->family = RtfFont::Family::Bidi; break;
    case RtfKeyword::FontCharset: font->charset = std::clamp(token.parameter, 0, 255); break;
    case RtfKeyword::CodePage: font->codePage = std::max(0, token.parameter); break;
    case RtfKeyword::FontPitch: font->fixedPitch = token.parameter == 1; break;
    default: break;
    }
}

void RtfParser::styleSheetWord(RtfKeyword keyword, const RtfToken& token)
{
    // Only what makes a style a heading: its number, kind and name.
    if (keyword == RtfKeyword::Style)
        m_styles.setNumber(token.parameter);
    else if (keyword == RtfKeyword::OtherStyle)
        m_styles.setNotParagraphStyle();
}

void RtfParser::pictureWord(RtfKeyword keyword, const RtfToken& token)
{
    RtfPicture& p = m_picture;
    switch (keyword) {
    case RtfKeyword::PngBlip: p.format = RtfPicture::Format::Png; break;
    case RtfKeyword::JpegBlip: p.format = RtfPicture::Format::Jpeg; break;
    case RtfKeyword::OtherBlip: p.format = RtfPicture::Format::Unsupported; break;
    case RtfKeyword::PictureWidth: p.widthPixels = std::max(0, token.parameter); break;
    case RtfKeyword::PictureHeight: p.heightPixels = std::max(0, token.parameter); break;
    case RtfKeyword::PictureGoalWidth: p.goalWidthTwips = std::clamp(token.parameter, 0, 100000); break;
    case RtfKeyword::PictureGoalHeight: p.goalHeightTwips = std::clamp(token.parameter, 0, 100000); break;
    case RtfKeyword::PictureScaleX: p.scaleX = std::clamp(parameterOr(token, 100), 1, 1000); break;
    case RtfKeyword::PictureScaleY: p.scaleY = std::clamp(parameterOr(token, 100), 1, 1000); break;
    default: break;
    }
}

void RtfParser::attachmentWord(RtfKeyword keyword, const RtfToken& token)
{
    if (keyword == RtfKeyword::AttachmentWidth)
        m_attachment.widthTwips = twips(token);
    else if (keyword == RtfKeyword::AttachmentHeight)
        m_attachment.heightTwips = twips(token);
}

void RtfParser::documentWord(RtfKeyword keyword, const RtfToken& token)
{
    switch (keyword) {
    case RtfKeyword::Ansi: m_documentCodePage = 1252; break;
    case RtfKeyword::Mac: m_documentCodePage = 10000; break;
    case RtfKeyword::Pc: m_documentCodePage = 437; break;
    case RtfKeyword::Pca: m_documentCodePage = 850; break;
    case RtfKeyword::AnsiCodePage:
        if (m_decoder.supports(token.parameter)) {
            m_documentCodePage = token.parameter;
        } else {
            m_documentCodePage = 1252;
            warnOnce(QStringLiteral("the document's code page %1 is not supported here, so its accented "
                                    "letters were read as Windows-1252")
                         .arg(token.parameter));
        }
        break;
    case RtfKeyword::DefaultFont: m_formatter.setDefaultFont(token.parameter); break;
    case RtfKeyword::DefaultTab: {
        const double points = std::clamp(token.parameter / 20.0, 1.0, PageSetup::textAreaWidth);
        QTextOption option = m_doc.defaultTextOption();
        option.setTabStopDistance(m_units.scaled(points));
        m_doc.setDefaultTextOption(option);
        break;
    }
    case RtfKeyword::UnicodeSkip: m_state.unicodeSkip = std::clamp(token.parameter, 0, 16); break;
    default: break;
    }
}

void RtfParser::skipBinary(const RtfToken& token)
{
    m_tokens.takeBinary(token.parameter);
}

} // namespace quire::textimport
