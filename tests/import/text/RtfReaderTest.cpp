// What the RTF reader makes of each feature, looked at in the document.
#include "RtfSamples.h"
#include "RtfTestSupport.h"
#include "import/text/RtfTables.h"

#include <QTextTable>
#include <gtest/gtest.h>

using namespace quire::test;
using namespace quire::textimport;

namespace {

// Families are looked up once the application runs.
QString serif()
{
    return FontMapper::genericFamily(FontMapper::Generic::Serif);
}
QString sans()
{
    return FontMapper::genericFamily(FontMapper::Generic::Sans);
}
QString mono()
{
    return FontMapper::genericFamily(FontMapper::Generic::Mono);
}

TEST(RtfReader, CharacterFormattingAndGroups)
{
    const ReadRtf r = readBody("\\f0\\fs24 {\\b bold} {\\i italic} {\\ul under\\ulnone after} {\\uld dotted} "
                               "{\\strike struck} x{\\super up}{\\sub down} {\\caps caps} {\\scaps small} "
                               "{\\b\\i\\fs40 both\\plain plain} {\\b on\\b0 off} {\\fs31 odd} {\\v hidden}back");
    ASSERT_TRUE(r.result.ok);
    EXPECT_TRUE(r.result.warnings.isEmpty());
    EXPECT_EQ(r.format("bold").fontWeight(), QFont::Bold);
    EXPECT_FALSE(r.format("italic").fontWeight() == QFont::Bold);
    EXPECT_TRUE(r.format("italic").fontItalic());
    EXPECT_EQ(r.format("under").underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_EQ(r.format("after").underlineStyle(), QTextCharFormat::NoUnderline);
    EXPECT_EQ(r.format("dotted").underlineStyle(), QTextCharFormat::DotLine);
    EXPECT_TRUE(r.format("struck").fontStrikeOut());
    EXPECT_EQ(r.format("up").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(r.format("down").verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(r.format("caps").fontCapitalization(), QFont::AllUppercase);
    EXPECT_EQ(r.format("small").fontCapitalization(), QFont::SmallCaps);
    EXPECT_TRUE(r.format("both").fontItalic());
    EXPECT_DOUBLE_EQ(r.format("both").fontPointSize(), 20);
    // \plain: the default font at 12 points, nothing else.
    EXPECT_FALSE(r.format("plain").fontItalic());
    EXPECT_NE(r.format("plain").fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(r.format("plain").fontPointSize(), 12);
    EXPECT_EQ(r.format("plain").fontFamilies().toStringList().value(0), serif());
    EXPECT_EQ(r.format("on").fontWeight(), QFont::Bold);
    EXPECT_NE(r.format("off").fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(r.format("odd").fontPointSize(), 15.5);
    EXPECT_FALSE(r.text().contains("hidden"));
    // A group's formatting ends with the group.
    EXPECT_NE(r.format("back").fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(r.format("back").fontPointSize(), 12);
}

TEST(RtfReader, ColoursFromTheTable)
{
    const ReadRtf r = readBody("{\\cf1 red} {\\cf2\\cb1 greenOnRed} {\\highlight2 marked} {\\cf0 automatic} "
                               "{\\cf99 outside}");
    EXPECT_EQ(r.format("red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(r.format("greenOnRed").foreground().color(), QColor(0, 128, 0));
    EXPECT_EQ(r.format("greenOnRed").background().color(), QColor(255, 0, 0));
    EXPECT_EQ(r.format("marked").background().color(), QColor(0, 128, 0));
    EXPECT_FALSE(r.format("automatic").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(r.format("outside").hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfReader, FontsMapToInstalledFamilies)
{
    const ReadRtf r = readRtf("{\\rtf1\\ansi\\deff3{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}"
                              "{\\f2\\fmodern Courier New;}{\\f3\\fnil DejaVu Serif;}"
                              "{\\f4\\fnil Helvetica-BoldOblique;}{\\f5\\fscript Zapfino;}"
                              "{\\f6\\fnil\\fprq1 Obscure Terminal;}{\\f7\\froman Made Up Serif;}"
                              "{\\f8\\fnil TimesNewRomanPS-ItalicMT;}}"
                              "default {\\f0 times} {\\f1 arial} {\\f2 courier} {\\f4 helvbold} {\\f5 script} "
                              "{\\f6 terminal} {\\f7 madeup} {\\f8 psname} {\\f42 missing}}");
    ASSERT_TRUE(r.result.ok);
    auto family = [&](const char* word) { return r.format(word).fontFamilies().toStringList().value(0); };
    EXPECT_EQ(family("default"), "DejaVu Serif");
    EXPECT_EQ(family("times"), serif());
    EXPECT_EQ(family("arial"), sans());
    EXPECT_EQ(family("courier"), mono());
    EXPECT_EQ(family("helvbold"), sans());
    EXPECT_EQ(r.format("helvbold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(r.format("helvbold").fontItalic());
    EXPECT_EQ(family("script"), sans());
    EXPECT_EQ(family("terminal"), mono());
    EXPECT_EQ(family("madeup"), serif());
    EXPECT_EQ(family("psname"), serif());
    EXPECT_TRUE(r.format("psname").fontItalic());
    EXPECT_EQ(family("missing"), sans());
    EXPECT_FALSE(r.text().contains(QLatin1Char(';')));
}

TEST(RtfReader, CodePagesForEscapedBytes)
{
    EXPECT_EQ(readRtf("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}").text(), "Привет");
    EXPECT_EQ(readRtf("{\\rtf1\\ansi caf\\'e9 \\'80\\'93}").text(), "café €“");
    EXPECT_EQ(readRtf("{\\rtf1\\mac caf\\'8e \\'a5}").text(), "café •");
    EXPECT_EQ(readRtf("{\\rtf1\\pc caf\\'82}").text(), "café");
    EXPECT_EQ(readRtf("{\\rtf1\\pca \\'d0}").text(), "ð");
    // A font's character set decides for its own text.
    const ReadRtf greek = readRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset161 Arial Greek;}"
                                  "{\\f2\\fcharset77 Geneva;}{\\f3\\fcharset128 MS Gothic;}}"
                                  "\\f0 \\'e1 {\\f1 \\'e1\\'e2} {\\f2 \\'8e} {\\f3 \\'82\\'a0}}");
    EXPECT_EQ(greek.text(), "á αβ é あ");

    const ReadRtf unknown = readRtf("{\\rtf1\\ansi\\ansicpg4242 caf\\'e9}");
    EXPECT_EQ(unknown.text(), "café");
    ASSERT_EQ(unknown.result.warnings.size(), 1);
    EXPECT_TRUE(unknown.result.warnings.first().contains("4242"));
}

TEST(RtfReader, UnicodeEscapesSkipTheirFallbacks)
{
    EXPECT_EQ(readRtf("{\\rtf1 a\\u8364?b}").text(), "a€b");
    EXPECT_EQ(readRtf("{\\rtf1 \\uc0\\u8364 x}").text(), "€x");
    EXPECT_EQ(readRtf("{\\rtf1 \\uc2\\u8220\\'93\\'93quote\\u8221??}").text(), "“quote”");
    EXPECT_EQ(readRtf("{\\rtf1 \\uc1\\u8212\\emdash after}").text(), "—after");
    // \uc is scoped to its group.
    EXPECT_EQ(readRtf("{\\rtf1 {\\uc3\\u937 xyz}\\u937 ab}").text(), "ΩΩb");
    // Negative values are 16-bit; a pair of them makes one character.
    EXPECT_EQ(readRtf("{\\rtf1 \\u-10179?\\u-8704?!}").text(), "😀!");
    EXPECT_EQ(readRtf("{\\rtf1 \\u-3?}").text(), QString(QChar(0xFFFD)));
    // A lone surrogate or a control character cannot be printed.
    EXPECT_EQ(readRtf("{\\rtf1 x\\u-10179?y\\u7?z\\u0?}").text(), "x\uFFFDyz");
}

TEST(RtfReader, ParagraphFormatting)
{
    const LayoutUnits units = printUnits();
    const ReadRtf r = readBody("\\pard\\qc centre\\par\\pard\\qr right\\par\\pard\\qj justified\\par"
                               "\\pard\\li1440\\ri720\\fi-360\\sb240\\sa120 indented\\par"
                               "\\pard\\sl360\\slmult1 oneandhalf\\par\\pard\\sl-480\\slmult0 exact\\par"
                               "\\pard\\sl300 atleast\\par"
                               "\\pard\\tx1440\\tqr\\tx4320\\tqc\\tx5000\\tqdec\\tx6000 a\\tab b\\par"
                               "\\pard\\rtlpar rtl\\par"
                               "\\pard plain one\\line two\\par");
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(r.block("centre").blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(r.block("right").blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(r.block("justified").blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);

    const QTextBlockFormat indented = r.block("indented").blockFormat();
    EXPECT_DOUBLE_EQ(indented.leftMargin(), 72);
    EXPECT_DOUBLE_EQ(indented.rightMargin(), 36);
    EXPECT_DOUBLE_EQ(indented.textIndent(), -18);
    // Qt scales vertical margins by the device's dpi; the stored values
    // compensate so that the page shows 12 and 6 points.
    EXPECT_DOUBLE_EQ(indented.topMargin(), units.scaled(12));
    EXPECT_DOUBLE_EQ(indented.bottomMargin(), units.scaled(6));

    const QTextBlockFormat half = r.block("oneandhalf").blockFormat();
    EXPECT_EQ(half.lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_DOUBLE_EQ(half.lineHeight(), 150);
    const QTextBlockFormat exact = r.block("exact").blockFormat();
    EXPECT_EQ(exact.lineHeightType(), QTextBlockFormat::FixedHeight);
    EXPECT_DOUBLE_EQ(exact.lineHeight(), units.scaled(24));
    EXPECT_EQ(r.block("atleast").blockFormat().lineHeightType(), QTextBlockFormat::MinimumHeight);

    const QList<QTextOption::Tab> tabs = r.block("a\tb").blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 4);
    EXPECT_DOUBLE_EQ(tabs[0].position, units.scaled(72));
    EXPECT_EQ(tabs[0].type, QTextOption::LeftTab);
    EXPECT_EQ(tabs[1].type, QTextOption::RightTab);
    EXPECT_EQ(tabs[2].type, QTextOption::CenterTab);
    EXPECT_EQ(tabs[3].type, QTextOption::DelimiterTab);
    EXPECT_EQ(r.block("rtl").blockFormat().layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(r.block("plain").text(), "plain one\u2028two");
    EXPECT_DOUBLE_EQ(r.block("plain").blockFormat().leftMargin(), 0);
    EXPECT_FALSE(r.block("plain").blockFormat().hasProperty(QTextFormat::LineHeightType) &&
                 r.block("plain").blockFormat().lineHeightType() != QTextBlockFormat::SingleHeight);
}

TEST(RtfReader, ParagraphsAndPageBreaks)
{
    const ReadRtf r = readRtf("{\\rtf1 \\page first\\par second\\page third\\par\\pard\\pagebb fourth\\par}");
    EXPECT_EQ(r.blockTexts(), (QStringList{"first", "second", "third", "fourth"}));
    auto breaks = [&](const char* word) {
        return bool(r.block(word).blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    };
    // A break before any text would only make a blank page.
    EXPECT_FALSE(breaks("first"));
    EXPECT_FALSE(breaks("second"));
    EXPECT_TRUE(breaks("third"));
    EXPECT_TRUE(breaks("fourth"));
    // The closing \par does not leave an empty paragraph behind.
    EXPECT_EQ(readRtf("{\\rtf1 only\\par}").doc->blockCount(), 1);
    EXPECT_EQ(readRtf("{\\rtf1 one\\par\\par}").doc->blockCount(), 2);
    // Cocoa ends lines with a backslash before the line end.
    EXPECT_EQ(readRtf("{\\rtf1 one\\\ntwo\\\r\nthree}").blockTexts(), (QStringList{"one", "two", "three"}));
}

TEST(RtfReader, DestinationsThatAreNotText)
{
    const ReadRtf r = readRtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial{\\*\\panose 020b0604020202020204}{\\*\\falt Helv};}}"
        "{\\stylesheet{\\s1 Heading;}}{\\info{\\title T}{\\author A}{\\*\\company C}}"
        "{\\header head\\par}{\\footerr foot\\par}{\\*\\generator Gen;}{\\*\\shiny new}"
        "{\\listtable{\\list{\\listlevel{\\leveltext \\'01\\u8226 ;}}}}"
        "body{\\footnote note} {\\*\\bkmkstart mark}more{\\*\\bkmkend mark} {\\listtext 1.\\tab}item "
        "{\\unknownbutplain kept}}");
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(r.text(), "body more 1.\titem kept");
}

TEST(RtfReader, HyperlinkFields)
{
    const ReadRtf r = readRtf(
        "{\\rtf1 {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a?b=1\" \\\\o \"tip\"}}{\\fldrslt link}} "
        "{\\field{\\*\\fldinst HYPERLINK \\\\l \"section2\"}{\\fldrslt local}} "
        "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/doc\" \\\\l \"part\"}{\\fldrslt part}} "
        "{\\field{\\*\\fldinst HYPERLINK http://plain.example/}{\\fldrslt{\\b bare}}} "
        "{\\field{\\*\\fldinst PAGE \\\\* MERGEFORMAT}{\\fldrslt 7}} after}");
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(r.text(), "link local part bare 7 after");
    EXPECT_EQ(r.format("link").anchorHref(), "https://example.org/a?b=1");
    EXPECT_TRUE(r.format("link").isAnchor());
    // Bookmarks do not reach the PDF, so a link to one alone is dropped.
    EXPECT_FALSE(r.format("local").isAnchor());
    EXPECT_EQ(r.format("part").anchorHref(), "https://example.org/doc#part");
    EXPECT_EQ(r.format("bare").anchorHref(), "http://plain.example/");
    EXPECT_EQ(r.format("bare").fontWeight(), QFont::Bold);
    EXPECT_FALSE(r.format("7").isAnchor());
    EXPECT_FALSE(r.format("after").isAnchor());
}

QList<QTextImageFormat> images(const QTextDocument& doc)
{
    QList<QTextImageFormat> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                out << it.fragment().charFormat().toImageFormat();
    return out;
}

TEST(RtfReader, PicturesWithTheirGoalSize)
{
    const LayoutUnits units = printUnits();
    QImage png = filledImage(40, 20, Qt::red);
    const ReadRtf r = readRtf("{\\rtf1 {\\pict\\pngblip\\picw40\\pich20\\picwgoal1200\\pichgoal600 " +
                              pictureHex(png, "PNG") + "}{\\pict\\jpegblip\\picscalex50\\picscaley50 " +
                              pictureHex(filledImage(64, 32, Qt::blue), "JPEG") +
                              "}{\\pict\\pngblip\\picwgoal20000\\pichgoal2000 " + pictureHex(png, "PNG") + "}}");
    ASSERT_TRUE(r.result.ok);
    EXPECT_TRUE(r.result.warnings.isEmpty()) << r.result.warnings.join(QLatin1Char(';')).toStdString();
    const QList<QTextImageFormat> found = images(*r.doc);
    ASSERT_EQ(found.size(), 3);
    EXPECT_NEAR(found[0].width(), units.scaled(60), 1e-9);
    EXPECT_NEAR(found[0].height(), units.scaled(30), 1e-9);
    const QImage stored = r.doc->resource(QTextDocument::ImageResource, QUrl(found[0].name())).value<QImage>();
    EXPECT_EQ(stored.size(), QSize(40, 20));
    EXPECT_EQ(stored.pixelColor(5, 5), QColor(Qt::red));
    // Without a goal size: the pixels at the picture's resolution (96 dpi
    // as Qt saves it), then scaled by half.
    EXPECT_NEAR(found[1].width(), units.scaled(64 * 0.75 * 0.5), 0.05);
    EXPECT_NEAR(found[1].height(), units.scaled(32 * 0.75 * 0.5), 0.05);
    // A picture wider than the text area shrinks to it, keeping its shape.
    EXPECT_NEAR(found[2].width(), units.scaled(468), 1e-6);
    EXPECT_NEAR(found[2].height(), units.scaled(46.8), 1e-6);
}

TEST(RtfReader, PicturesThatCannotBeShownAreLeftOutWithAWarning)
{
    QImage wide(13000, 1, QImage::Format_Mono);
    wide.fill(0);
    const ReadRtf r = readRtf("{\\rtf1 a{\\pict\\wmetafile8 0102}b{\\pict\\pngblip 89504e47deadbeef}c"
                              "{\\pict\\pngblip " +
                              pictureHex(wide, "PNG") + "}d}");
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(r.text(), "abcd");
    EXPECT_TRUE(images(*r.doc).isEmpty());
    ASSERT_EQ(r.result.warnings.size(), 3);
    EXPECT_TRUE(r.result.warnings[0].contains("not a PNG or JPEG"));
    EXPECT_TRUE(r.result.warnings[1].contains("cannot be read"));
    EXPECT_TRUE(r.result.warnings[2].contains("13000 x 1"));
}

TEST(RtfReader, BinaryPictureData)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    filledImage(8, 8, Qt::green).save(&buffer, "PNG");
    const ReadRtf r = readRtf("{\\rtf1 x{\\pict\\pngblip\\bin" + QByteArray::number(data.size()) + " " + data + "}y}");
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(r.text(), "x\uFFFCy");
    ASSERT_EQ(images(*r.doc).size(), 1);
}

QTextTable* firstTable(QTextDocument& doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (QTextTable* t = QTextCursor(b).currentTable())
            return t;
    return nullptr;
}

TEST(RtfReader, SimpleTables)
{
    ReadRtf r = readRtf("{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}before\\par"
                        "\\trowd\\trgaph108\\clbrdrt\\brdrs\\cellx1440\\clcbpat1\\cellx4320\\cellx7200"
                        "\\pard\\intbl A1\\cell B1 first\\par B1 second\\cell C1\\cell\\row"
                        "\\trowd\\cellx1440\\cellx4320\\cellx7200\\pard\\intbl A2\\cell\\cell C2\\cell\\row"
                        "\\pard after\\par}");
    ASSERT_TRUE(r.result.ok);
    QTextTable* table = firstTable(*r.doc);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 3);
    auto cellText = [&](int row, int column) {
        const QTextTableCell cell = table->cellAt(row, column);
        QTextCursor c = cell.firstCursorPosition();
        c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return c.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('|'));
    };
    EXPECT_EQ(cellText(0, 0), "A1");
    EXPECT_EQ(cellText(0, 1), "B1 first|B1 second");
    EXPECT_EQ(cellText(0, 2), "C1");
    EXPECT_EQ(cellText(1, 0), "A2");
    EXPECT_EQ(cellText(1, 1), QString());
    EXPECT_EQ(cellText(1, 2), "C2");
    EXPECT_EQ(table->cellAt(0, 1).format().background().color(), QColor(255, 255, 0));
    EXPECT_GT(table->format().border(), 0);
    // Column widths follow \cellx: one inch, then two of two inches.
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_NEAR(widths[0].rawValue(), 20, 1e-9);
    EXPECT_NEAR(widths[1].rawValue(), 40, 1e-9);
    EXPECT_EQ(r.block("before").text(), "before");
    EXPECT_EQ(QTextCursor(r.block("before")).currentTable(), nullptr);
    EXPECT_EQ(QTextCursor(r.block("after")).currentTable(), nullptr);
    EXPECT_GT(r.block("after").position(), table->lastPosition());
}

TEST(RtfReader, TablesWithoutTheirDefinitions)
{
    // Cells without \intbl or \cellx, and more cells than the definition.
    ReadRtf r = readRtf("{\\rtf1 a\\cell b\\cell\\row\\trowd\\cellx1000\\intbl c\\cell d\\cell e\\cell\\row}");
    QTextTable* table = firstTable(*r.doc);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 3);
    EXPECT_EQ(r.text().simplified(), "a b c d e");
}

TEST(RtfReader, CocoaDocument)
{
    // Its text and link are read back from the PDF it prints to.
    const ReadRtf r = readRtf(cocoaSample());
    ASSERT_TRUE(r.result.ok);
    EXPECT_TRUE(r.result.warnings.isEmpty());
    EXPECT_EQ(r.format("Cocoa bold").fontWeight(), QFont::Bold);
    EXPECT_NE(r.format("Accents").fontWeight(), QFont::Bold);
    EXPECT_EQ(r.format("mac roman").fontFamilies().toStringList().value(0), mono());
    EXPECT_EQ(r.format("Red cocoa").foreground().color(), QColor(251, 2, 7));
    EXPECT_EQ(r.block("Cocoa opening").blockFormat().tabPositions().size(), 4);
}

} // namespace
