#include "RtfKeywords.h"

#include <unordered_map>

namespace quire::textimport {

namespace {

using K = RtfKeyword;

const std::unordered_map<std::string_view, RtfKeyword>& table()
{
    static const std::unordered_map<std::string_view, RtfKeyword> map = [] {
        std::unordered_map<std::string_view, RtfKeyword> m{
            {"rtf", K::Rtf}, {"ansi", K::Ansi}, {"mac", K::Mac}, {"pc", K::Pc}, {"pca", K::Pca},
            {"ansicpg", K::AnsiCodePage}, {"deff", K::DefaultFont}, {"deftab", K::DefaultTab},
            {"uc", K::UnicodeSkip}, {"u", K::Unicode},

            {"fonttbl", K::FontTable}, {"colortbl", K::ColorTable}, {"stylesheet", K::StyleSheet},
            {"pict", K::Picture}, {"field", K::Field},
            {"fldinst", K::FieldInstruction}, {"fldrslt", K::FieldResult}, {"shppict", K::ShapePicture},
            {"listtext", K::ListText}, {"pntext", K::ListText}, {"info", K::Info}, {"title", K::Title},

            {"f", K::Font}, {"fnil", K::FontNil}, {"froman", K::FontRoman}, {"fswiss", K::FontSwiss},
            {"fmodern", K::FontModern}, {"fscript", K::FontScript}, {"fdecor", K::FontDecor},
            {"ftech", K::FontTech}, {"fbidi", K::FontBidi}, {"fcharset", K::FontCharset}, {"cpg", K::CodePage},
            {"fprq", K::FontPitch},

            {"red", K::Red}, {"green", K::Green}, {"blue", K::Blue},

            // Character and table styles come as {\*\cs ...} and {\*\ts ...}, skipped as unknown.
            {"s", K::Style}, {"ds", K::OtherStyle},

            {"plain", K::Plain}, {"fs", K::FontSize}, {"b", K::Bold}, {"i", K::Italic},
            {"ul", K::Underline}, {"ulw", K::Underline}, {"uldb", K::Underline}, {"ulth", K::Underline},
            {"uld", K::UnderlineDotted}, {"ulthd", K::UnderlineDotted},
            {"uldash", K::UnderlineDashed}, {"uldashd", K::UnderlineDashed}, {"uldashdd", K::UnderlineDashed},
            {"ulldash", K::UnderlineDashed}, {"ulthdash", K::UnderlineDashed},
            {"ulwave", K::UnderlineWave}, {"ulhwave", K::UnderlineWave}, {"ululdbwave", K::UnderlineWave},
            {"ulnone", K::UnderlineNone}, {"strike", K::Strike}, {"striked", K::Strike},
            {"super", K::Superscript}, {"sub", K::Subscript}, {"nosupersub", K::NoSuperSub},
            {"caps", K::Caps}, {"scaps", K::SmallCaps}, {"v", K::Hidden},
            {"cf", K::Foreground}, {"cb", K::Background}, {"chcbpat", K::Background}, {"highlight", K::Highlight},
            {"expnd", K::Expand}, {"expndtw", K::ExpandTwips},

            {"par", K::Par}, {"pard", K::Pard}, {"ql", K::AlignLeft}, {"qc", K::AlignCenter},
            {"qr", K::AlignRight}, {"qj", K::AlignJustify}, {"qd", K::AlignJustify},
            {"li", K::LeftIndent}, {"lin", K::LeftIndent}, {"ri", K::RightIndent}, {"rin", K::RightIndent},
            {"fi", K::FirstIndent}, {"sb", K::SpaceBefore}, {"sa", K::SpaceAfter}, {"sl", K::LineSpacing},
            {"slmult", K::LineMultiple}, {"tx", K::TabStop}, {"tb", K::TabStop}, {"tqr", K::TabRight},
            {"tqc", K::TabCenter}, {"tqdec", K::TabDecimal}, {"intbl", K::InTable},
            {"pagebb", K::PageBreakBefore}, {"rtlpar", K::RightToLeftPar}, {"ltrpar", K::LeftToRightPar},
            {"outlinelevel", K::OutlineLevel}, {"keepn", K::KeepWithNext}, {"keep", K::KeepLines},
            {"sect", K::Section},

            {"tab", K::Tab}, {"line", K::Line}, {"page", K::Page}, {"emdash", K::EmDash}, {"endash", K::EnDash},
            {"emspace", K::EmSpace}, {"enspace", K::EnSpace}, {"qmspace", K::QmSpace}, {"bullet", K::Bullet},
            {"lquote", K::LeftQuote}, {"rquote", K::RightQuote}, {"ldblquote", K::LeftDoubleQuote},
            {"rdblquote", K::RightDoubleQuote}, {"zwj", K::ZeroWidthJoiner}, {"zwnj", K::ZeroWidthNonJoiner},
            {"ltrmark", K::LeftToRightMark}, {"rtlmark", K::RightToLeftMark},

            {"trowd", K::RowDefaults}, {"cellx", K::CellRight}, {"clcbpat", K::CellBackground},
            {"trgaph", K::RowGap}, {"cell", K::Cell}, {"row", K::Row}, {"nestcell", K::NestedCell},
            {"nestrow", K::NestedRow}, {"brdrnone", K::BorderNone}, {"brdrnil", K::BorderNone},

            {"pngblip", K::PngBlip}, {"jpegblip", K::JpegBlip}, {"picw", K::PictureWidth},
            {"pich", K::PictureHeight}, {"picwgoal", K::PictureGoalWidth}, {"pichgoal", K::PictureGoalHeight},
            {"picscalex", K::PictureScaleX}, {"picscaley", K::PictureScaleY}, {"bin", K::Binary},
            {"NeXTGraphic", K::NeXTGraphic}, {"width", K::AttachmentWidth}, {"height", K::AttachmentHeight},
        };
        for (const char* w : {"clbrdrt", "clbrdrl", "clbrdrb", "clbrdrr", "trbrdrt", "trbrdrl", "trbrdrb",
                              "trbrdrr", "trbrdrh", "trbrdrv"})
            m.emplace(w, K::TableBorderSide);
        for (const char* w : {"brdrs", "brdrth", "brdrsh", "brdrdb", "brdrdot", "brdrdash", "brdrhair",
                              "brdrdashsm", "brdrdashd", "brdrdashdd", "brdrtriple", "brdrwavy", "brdrinset",
                              "brdroutset", "brdremboss", "brdrengrave", "brdrframe"})
            m.emplace(w, K::BorderStyle);
        for (const char* w : {"emfblip", "wmetafile", "macpict", "dibitmap", "wbitmap", "pmmetafile"})
            m.emplace(w, K::OtherBlip);
        // Destinations whose contents are not part of the text.
        for (const char* w :
             {"header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
              "footerf", "footnote", "annotation", "atnid", "atnauthor", "atndate", "atnref", "pn", "pntxta",
              "pntxtb", "filetbl", "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator",
              "xmlnstbl", "template", "nonshppict", "shpinst", "object", "objdata", "objclass", "themedata",
              "colorschememapping", "latentstyles", "datastore", "pgdsctbl", "fchars", "lchars", "mmathPr",
              "docvar", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "private", "bkmkstart",
              "bkmkend", "txe", "xe", "tc", "tcn", "userprops", "passwordhash", "protusertbl", "wgrffmtfilter",
              "blipuid", "picprop", "do", "comment", "subject", "author", "operator", "keywords",
              "doccomm", "hlinkbase", "nonesttables", "listpicture", "expandedcolortbl",
              "fldtype", "formfield", "datafield", "panose", "falt", "fontemb", "fontfile", "sp", "sn", "sv"})
            m.emplace(w, K::SkippedDestination);
        return m;
    }();
    return map;
}

} // namespace

RtfKeyword rtfKeyword(std::string_view word)
{
    const auto& map = table();
    auto it = map.find(word);
    return it == map.end() ? RtfKeyword::Unknown : it->second;
}

} // namespace quire::textimport
