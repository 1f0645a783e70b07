#pragma once
// The RTF control words the reader acts on.
#include <string_view>

namespace quire::textimport {

enum class RtfKeyword {
    Unknown,
    // document
    Rtf, Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont, DefaultTab, UnicodeSkip, Unicode,
    // destinations
    FontTable, ColorTable, StyleSheet, Picture, Field, FieldInstruction, FieldResult, ShapePicture, ListText,
    SkippedDestination, Info, Title,
    // font table
    Font, FontNil, FontRoman, FontSwiss, FontModern, FontScript, FontDecor, FontTech, FontBidi, FontCharset,
    CodePage, FontPitch,
    // colour table
    Red, Green, Blue,
    // style sheet (\s also gives a paragraph its style)
    Style, OtherStyle,
    // characters
    Plain, FontSize, Bold, Italic, Underline, UnderlineDotted, UnderlineDashed, UnderlineWave, UnderlineNone,
    Strike, Superscript, Subscript, NoSuperSub, Caps, SmallCaps, Hidden, Foreground, Background, Highlight,
    Expand, ExpandTwips,
    // paragraphs
    Par, Pard, AlignLeft, AlignCenter, AlignRight, AlignJustify, LeftIndent, RightIndent, FirstIndent,
    SpaceBefore, SpaceAfter, LineSpacing, LineMultiple, TabStop, TabRight, TabCenter, TabDecimal, InTable,
    PageBreakBefore, RightToLeftPar, LeftToRightPar, OutlineLevel, Section, KeepWithNext, KeepLines,
    // special characters
    Tab, Line, Page, EmDash, EnDash, EmSpace, EnSpace, QmSpace, Bullet, LeftQuote, RightQuote, LeftDoubleQuote,
    RightDoubleQuote, ZeroWidthJoiner, ZeroWidthNonJoiner, LeftToRightMark, RightToLeftMark,
    // tables
    RowDefaults, CellRight, CellBackground, RowGap, TableBorderSide, BorderStyle, BorderNone, Cell, Row,
    NestedCell, NestedRow,
    // pictures
    PngBlip, JpegBlip, OtherBlip, PictureWidth, PictureHeight, PictureGoalWidth, PictureGoalHeight,
    PictureScaleX, PictureScaleY, Binary,
    // pictures of RTFD documents: {\NeXTGraphic file \width \height}
    NeXTGraphic, AttachmentWidth, AttachmentHeight,
};

RtfKeyword rtfKeyword(std::string_view word);

} // namespace quire::textimport
