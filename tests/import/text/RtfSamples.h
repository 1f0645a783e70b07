#pragma once
// RTF documents written for these tests.
#include <QByteArray>
#include <QBuffer>
#include <QColor>
#include <QImage>

namespace quire::test {

// A picture's bytes as the hex digits a \pict group holds.
inline QByteArray pictureHex(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    QByteArray hex = bytes.toHex();
    QByteArray wrapped;
    for (qsizetype i = 0; i < hex.size(); i += 64)
        wrapped += hex.mid(i, 64) + '\n';
    return wrapped;
}

inline QImage filledImage(int width, int height, const QColor& color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Every feature the reader handles, each with words of its own so that a
// round trip through a PDF can be checked word by word.
inline QByteArray featureSample()
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720\n"
        "{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}{\\f1\\fswiss\\fcharset0 Helvetica;}"
        "{\\f2\\fmodern\\fcharset0 Courier New;}{\\f3\\fnil\\fcharset204 Arial Cyr;}}\n"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}\n"
        "{\\stylesheet{\\s0 Normal StyleSheetWord;}}\n"
        "{\\info{\\title InfoTitleWord}{\\author InfoAuthorWord}}\n"
        "{\\header HeaderWord\\par}{\\footer FooterWord\\par}\n"
        "{\\*\\unknowndestination UnknownWord}\n"
        "\\pard\\plain\\f0\\fs24 Plain roman opening.\\par\n"
        "\\pard{\\b BoldWord} {\\i ItalicWord} {\\ul UnderWord\\ulnone} {\\strike StrikeWord} "
        "H{\\sub 2}O E=mc{\\super 2} {\\caps capsword} {\\plain\\fs20 plainword}\\par\n"
        "\\pard{\\cf1 RedWord} {\\cb3 BackWord} {\\highlight3 HighWord} {\\f1 HelveticaWord} {\\f2 CourierWord}"
        " {\\fs48 BigWord} {\\fs16 SmallWord}\\par\n"
        "\\pard\\qc CentredWord\\par\n"
        "\\pard\\qr RightWord\\par\n"
        "\\pard\\qj JustifiedWord one two three four five six seven eight nine ten eleven twelve thirteen "
        "fourteen fifteen sixteen seventeen eighteen nineteen twenty.\\par\n"
        "\\pard\\li1440\\ri720\\fi-360\\sb240\\sa120 IndentWord hanging paragraph.\\par\n"
        "\\pard\\sl360\\slmult1 SpacedWord one and a half.\\par\n"
        "\\pard\\sl-480\\slmult0 ExactWord twenty four.\\par\n"
        "\\pard\\tx2880\\tqr\\tx7200 TabA\\tab TabB\\tab TabC\\par\n"
        "\\pard LineOne\\line LineTwo\\par\n"
        "\\pard Caf\\'e9 na\\'efve \\u8364? euro \\uc2\\u8220??quoted\\u8221?? {\\f3 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}"
        " \\emdash\\endash\\bullet \\lquote x\\rquote\\par\n"
        "\\pard{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/quire\"}}{\\fldrslt{\\ul\\cf2 LinkWord}}}"
        " {\\field{\\*\\fldinst PAGE}{\\fldrslt FieldResultWord}}\\par\n"
        "\\pard{\\pict\\pngblip\\picw40\\pich20\\picwgoal1200\\pichgoal600\n";
    rtf += pictureHex(filledImage(40, 20, Qt::red), "PNG");
    rtf += "}PictureCaption\\par\n"
           "\\pard{\\*\\shppict{\\pict\\jpegblip\\picwgoal720\\pichgoal720\n";
    rtf += pictureHex(filledImage(24, 24, Qt::blue), "JPEG");
    rtf += "}}{\\nonshppict{\\pict\\wmetafile8 0102}}JpegCaption\\par\n"
           "\\trowd\\trgaph108\\clbrdrt\\brdrs\\clbrdrb\\brdrs\\cellx2000\\clcbpat3\\cellx4000\\cellx6000\n"
           "\\pard\\intbl CellA1\\cell CellB1\\cell CellC1\\cell\\row\n"
           "\\trowd\\trgaph108\\cellx2000\\cellx4000\\cellx6000\n"
           "\\pard\\intbl CellA2\\cell CellB2\\cell CellC2\\cell\\row\n"
           "\\pard AfterTableWord\\par\n"
           "\\page\n"
           "\\pard SecondPageWord\\par\n"
           "}";
    return rtf;
}

// What TextEdit on macOS writes.
inline QByteArray cocoaSample()
{
    return "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2639\n"
           "\\cocoatextscaling0\\cocoaplatform0{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;"
           "\\f1\\fswiss\\fcharset0 Helvetica-Bold;\\f2\\fnil\\fcharset77 Menlo-Regular;}\n"
           "{\\colortbl;\\red255\\green255\\blue255;\\red251\\green2\\blue7;}\n"
           "{\\*\\expandedcolortbl;;\\cssrgb\\c100000\\c14913\\c0;}\n"
           "\\paperw11900\\paperh16840\\margl1440\\margr1440\\vieww11520\\viewh8400\\viewkind0\n"
           "\\pard\\tx566\\tx1133\\tx1700\\tx2267\\pardirnatural\\partightenfactor0\n"
           "\n"
           "\\f0\\fs24 \\cf0 Cocoa opening line\\\n"
           "\\f1\\b Cocoa bold line\\\n"
           "\\f0\\b0 \\expnd0\\expndtw0\\kerning0 Accents caf\\'e9 and \\uc0\\u8364  euro\\\n"
           "\\f2 \\'8e mac roman\\\n"
           "\\f0 \\cf2 Red cocoa line\\\n"
           "{\\field{\\*\\fldinst{HYPERLINK \"https://www.example.com/\"}}{\\fldrslt \\cf2 \\ul \\ulc2 Cocoa link}}"
           "\\\n"
           "Final cocoa line}";
}

// Lines of body text that share no word with the headings.
inline QByteArray fillerParagraphs(int count, int from = 1)
{
    QByteArray rtf;
    for (int i = from; i < from + count; ++i)
        rtf += "\\pard\\plain\\fs24 Lorem filler paragraph number " + QByteArray::number(i) +
               " keeps the page busy.\\par\n";
    return rtf;
}

// Headings of levels 1 to 3 over several pages, made by \outlinelevel and by
// the style sheet's "heading N" styles, with the titles the PDF's bookmarks
// should get, in document order.
inline QByteArray headingSample()
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\n"
                     "{\\stylesheet{\\s0 Normal;}{\\s1\\b\\fs32 heading 1;}{\\s2\\b\\fs28 Heading 2;}"
                     "{\\s3\\b\\fs24 heading 3;}}\n"
                     "\\pard\\plain\\s1\\b\\fs32 Chapter One\\par\n";
    rtf += fillerParagraphs(4, 1);
    rtf += "\\pard\\plain\\outlinelevel1\\b\\fs28 Section   1.1\\tab opens\\par\n";
    rtf += fillerParagraphs(30, 5);
    rtf += "\\pard\\plain\\s3\\b\\fs24 \\'dcber Stra\\'dfen\\par\n";
    rtf += fillerParagraphs(8, 35);
    rtf += "\\pard\\plain\\s2\\b\\fs28 Section 1.2\\par\n";
    rtf += fillerParagraphs(6, 43);
    rtf += "\\pard\\plain\\s1\\b\\fs32\\pagebb Chapter Two\\par\n"
           "\\pard\\plain\\outlinelevel2\\b Subsection 2.0.1\\par\n";
    rtf += fillerParagraphs(25, 49);
    rtf += "\\pard\\plain\\s1\\b\\fs32 \\u1043?\\u1083?\\u1072?\\u1074?\\u1072? \\u1090?\\u1088?\\u1080?\\par\n";
    rtf += fillerParagraphs(3, 74);
    rtf += "\\pard\\plain\\s1 \\par\n"; // an empty heading paragraph makes no bookmark
    rtf += "}";
    return rtf;
}

} // namespace quire::test
