// What the RTF reader makes of each feature, looked at in the document; and
// damaged and odd RTF read with a warning (refused and hostile input: tests/fuzz/corpus/rtf).
#include "TextImportSupport.h"

#include <QBuffer>
#include <QTextTable>

using namespace quire::test;
using namespace quire::textimport;

namespace {

using Expect = std::pair<const char*, const char*>; // word, what it looks like

void expectFormats(const ReadRtf& r, std::initializer_list<Expect> expected)
{
    ASSERT_TRUE(r.result.ok) << r.result.problem.toStdString();
    EXPECT_EQ(r.result.warnings, QStringList());
    for (const auto& [word, looks] : expected)
        EXPECT_EQ(describe(r.format(QString::fromUtf8(word))), looks) << word;
}

TEST(RtfReader, CharacterFormattingColoursAndLinks)
{
    expectFormats(readBody("\\f0\\fs24 {\\b bold} {\\i italic} {\\ul under\\ulnone after} {\\uld dotted} "
                           "{\\strike struck} x{\\super up}{\\sub down} {\\caps caps} {\\scaps small} "
                           "{\\b\\i\\fs40\\f1 both\\plain plain} {\\b on\\b0 off} {\\fs31 odd} {\\v hidden}back "
                           "{\\cf1 red} {\\cf2\\cb1 greenOnRed} {\\highlight2 marked} {\\cf0 automatic} {\\cf99 outside} "
                           "{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a?b=1\" \\\\o \"tip\"}}{\\fldrslt link}} "
                           "{\\field{\\*\\fldinst HYPERLINK \\\\l \"section2\"}{\\fldrslt local}} "
                           "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/doc\" \\\\l \"part\"}{\\fldrslt part}} "
                           "{\\field{\\*\\fldinst HYPERLINK http://plain.example/}{\\fldrslt{\\b bare}}} "
                           "{\\field{\\*\\fldinst PAGE \\\\* MERGEFORMAT}{\\fldrslt 7}} last"),
                  {{"bold", "B"}, {"italic", "I"}, {"under", "U"}, {"after", ""}, {"dotted", "Udot"}, {"struck", "S"},
                   {"up", "sup"}, {"down", "sub"}, {"caps", "caps"}, {"small", "smallcaps"}, {"both", "B I 20pt sans"},
                   // \plain: the default font at 12 points, nothing else.
                   {"plain", ""}, {"on", "B"}, {"off", ""}, {"odd", "15.5pt"},
                   // A group's formatting ends with the group.
                   {"back", ""}, {"red", "fg=#ff0000"}, {"greenOnRed", "fg=#008000 bg=#ff0000"},
                   {"marked", "bg=#008000"}, {"automatic", ""}, {"outside", ""},
                   {"link", "->https://example.org/a?b=1"},
                   // Bookmarks do not reach the PDF, so a link to one alone is dropped.
                   {"local", ""}, {"part", "->https://example.org/doc#part"}, {"bare", "B ->http://plain.example/"},
                   {"7", ""}, {"last", ""}});
    EXPECT_FALSE(readBody("a {\\v hidden}b").text().contains("hidden"));
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
    expectFormats(r, {{"default", "DejaVu Serif"}, {"times", ""}, {"arial", "sans"}, {"courier", "mono"},
                      {"helvbold", "B I sans"}, {"script", "sans"}, {"terminal", "mono"}, {"madeup", ""},
                      {"psname", "I"}, {"missing", "sans"}});
}

TEST(RtfReader, TextOfEscapesCodePagesAndDestinations)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}", "Привет"},
        {"{\\rtf1\\ansi caf\\'e9 \\'80\\'93}", "café €“"},
        {"{\\rtf1\\mac caf\\'8e \\'a5}", "café •"},
        {"{\\rtf1\\pc caf\\'82}", "café"},
        {"{\\rtf1\\pca \\'d0}", "ð"},
        {"{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 \\'cf}", "П"}, // the document's code page
        // A font's character set decides for its own text.
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset161 Arial Greek;}{\\f2\\fcharset77 Geneva;}"
         "{\\f3\\fcharset128 MS Gothic;}}\\f0 \\'e1 {\\f1 \\'e1\\'e2} {\\f2 \\'8e} {\\f3 \\'82\\'a0}}", "á αβ é あ"},
        // Unicode escapes skip their fallbacks; \uc is scoped to its group.
        {"{\\rtf1 a\\u8364?b}", "a€b"},
        {"{\\rtf1 \\uc0\\u8364 x}", "€x"},
        {"{\\rtf1 \\uc2\\u8220\\'93\\'93quote\\u8221??}", "“quote”"},
        {"{\\rtf1 \\uc1\\u8212\\emdash after}", "—after"},
        {"{\\rtf1 {\\uc3\\u937 xyz}\\u937 ab}", "ΩΩb"},
        // Negative values are 16-bit; a pair of them makes one character.
        {"{\\rtf1 \\u-10179?\\u-8704?!}", "😀!"},
        {"{\\rtf1 \\u-3?}", QString(QChar(0xFFFD))},
        // A lone surrogate or a control character cannot be printed.
        {"{\\rtf1 x\\u-10179?y\\u7?z\\u0?}", "x\uFFFDyz"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial{\\*\\panose 020b0604020202020204}{\\*\\falt Helv};}}"
         "{\\stylesheet{\\s1 Heading;}}{\\info{\\title T}{\\author A}{\\*\\company C}}"
         "{\\header head\\par}{\\footerr foot\\par}{\\*\\generator Gen;}{\\*\\shiny new}"
         "{\\listtable{\\list{\\listlevel{\\leveltext \\'01\\u8226 ;}}}}"
         "body{\\footnote note} {\\*\\bkmkstart mark}more{\\*\\bkmkend mark} {\\listtext 1.\\tab}item "
         "{\\unknownbutplain kept}}", "body more 1.\titem kept"},
        // Unknown control words and symbols are ignored.
        {"{\\rtf1 \\zzzz12 \\qqq-5 one\\| \\:two\\^ {\\newthing three} \\'zzfour}", "one two three zzfour"},
        // Parameters are clamped, words cut at their longest, a broken escape dropped.
        {"{\\rtf1 a\\" + QByteArray(100, 'z') + "99999999999999999999 b\\'4\\'e9}", "ab\u00e9"},
        // Braces and backslashes inside \bin data are not structure.
        {"{\\rtf1 a\\bin4 {}\\}b}", "ab"},
        {"{\\rtf1 a{\\*\\junk \\bin3 }}}}b}", "ab"},
        {"{\\rtf1 a" + QByteArray(300, '{') + "\\bin2 }}" + QByteArray(300, '}') + "b}", "ab"},
        {"{\\rtf1 a\\bin999999 xyz", "a"}, // cut short
        {"{\\rtf1 a\\bin-4 bc}", "abc"},
        // A byte order mark or white space before the document is harmless.
        {"\xEF\xBB\xBF \r\n{\\rtf1 fine}", "fine"},
        // Cocoa ends lines with a backslash before the line end.
        {"{\\rtf1 one\\\ntwo\\\r\nthree}", "one\ntwo\nthree"},
    };
    for (const auto& [rtf, text] : cases) {
        const ReadRtf r = readRtf(rtf);
        EXPECT_TRUE(r.result.ok) << rtf.toStdString();
        EXPECT_EQ(r.text(), text) << rtf.toStdString();
    }
    const ReadRtf unknown = readRtf("{\\rtf1\\ansi\\ansicpg4242 caf\\'e9}");
    EXPECT_EQ(unknown.text(), "café");
    ASSERT_EQ(unknown.result.warnings.size(), 1);
    EXPECT_TRUE(unknown.result.warnings.first().contains("4242"));
}

TEST(RtfReader, ParagraphFormattingAndBreaks)
{
    const ReadRtf r = readBody("\\pard\\qc centre\\par\\pard\\qr right\\par\\pard\\qj justified\\par"
                               "\\pard\\li1440\\ri720\\fi-360\\sb240\\sa120 indented\\par"
                               "\\pard\\sl360\\slmult1 oneandhalf\\par\\pard\\sl-480\\slmult0 exact\\par"
                               "\\pard\\sl300 atleast\\par"
                               "\\pard\\tx1440\\tqr\\tx4320\\tqc\\tx5000\\tqdec\\tx6000 a\\tab b\\par"
                               "\\pard\\li720\\tqr\\tx4320\\tqc\\tx5000 c\\tab d\\par"
                               "\\pard\\fi-240\\li480 \\bullet\\tab bullet\\par"
                               "\\pard\\fi-720\\li1440\\tx1080 1.\\tab sixth\\par"
                               "\\pard\\rtlpar rtl\\par\\pard plain one\\line two\\par");
    const std::pair<const char*, const char*> expected[] = {
        {"centre", "C"}, {"right", "R"}, {"justified", "J"},
        // Vertical lengths come out on the page as written, whatever Qt's scaling.
        {"indented", "L72 R36 F-18 T12 B6 tabs=18L"}, {"oneandhalf", "P150"}, {"exact", "X24"}, {"atleast", "M15"},
        {"a\tb", "tabs=72L,216R,250C,300D"},
        // Stops count from the margin, Qt's from the indent.
        {"c\td", "L36 tabs=180R,214C"},
        // A hanging indent is a stop, unless the paragraph has one before it.
        {"bullet", "L24 F-12 tabs=12L"}, {"sixth", "L72 F-36 tabs=18L"},
        {"rtl", "rtl"}, {"plain", ""}};
    for (const auto& [word, looks] : expected)
        EXPECT_EQ(describe(r.block(word).blockFormat()), looks) << word;
    EXPECT_EQ(r.block("plain").text(), "plain one\u2028two");

    const ReadRtf breaks = readRtf("{\\rtf1 \\page first\\par second\\page third\\par\\pard\\pagebb fourth\\par}");
    EXPECT_EQ(breaks.blockTexts(), (QStringList{"first", "second", "third", "fourth"}));
    // A break before any text would only make a blank page.
    QStringList looks;
    for (QTextBlock b = breaks.doc->begin(); b.isValid(); b = b.next())
        looks << describe(b.blockFormat());
    EXPECT_EQ(looks, (QStringList{"", "", "brk", "brk"}));
    // The closing \par does not leave an empty paragraph behind.
    EXPECT_EQ(readRtf("{\\rtf1 only\\par}").doc->blockCount(), 1);
    EXPECT_EQ(readRtf("{\\rtf1 one\\par\\par}").doc->blockCount(), 2);
}

// A picture's bytes, or the hex digits a \pict group holds, in lines.
QByteArray pictureBytes(const QColor& color, QSize size, const char* format, bool hex = true)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes, lines;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    for (qsizetype i = 0; hex && i < bytes.size(); i += 32)
        lines += bytes.mid(i, 32).toHex() + '\n';
    return hex ? lines : bytes;
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
    const double ratio = printUnits().ratio();
    const QByteArray png = pictureBytes(Qt::red, {40, 20}, "PNG");
    const QByteArray green = pictureBytes(Qt::green, {8, 8}, "PNG", false);
    const ReadRtf r = readRtf("{\\rtf1 {\\pict\\pngblip\\picw40\\pich20\\picwgoal1200\\pichgoal600 " + png +
                              "}{\\pict\\jpegblip\\picscalex50\\picscaley50 " +
                              pictureBytes(Qt::blue, {64, 32}, "JPEG") +
                              "}{\\pict\\pngblip\\picwgoal20000\\pichgoal2000 " + png + "}x{\\pict\\pngblip\\bin" +
                              QByteArray::number(green.size()) + " " + green + "}y}");
    ASSERT_TRUE(r.result.ok);
    EXPECT_TRUE(r.result.warnings.isEmpty()) << r.result.warnings.join(';').toStdString();
    const QList<QTextImageFormat> found = images(*r.doc);
    ASSERT_EQ(found.size(), 4);
    const QImage stored = r.doc->resource(QTextDocument::ImageResource, QUrl(found[0].name())).value<QImage>();
    EXPECT_EQ(stored.size(), QSize(40, 20));
    EXPECT_EQ(stored.pixelColor(5, 5), QColor(Qt::red));
    // Without a goal size: the pixels at the picture's resolution (96 dpi as
    // Qt saves it), then scaled by half. A picture wider than the text area
    // shrinks to it, keeping its shape.
    const QSizeF points[] = {{60, 30}, {64 * 0.75 * 0.5, 32 * 0.75 * 0.5}, {468, 46.8}, {6, 6}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(found[i].width() * ratio, points[i].width(), 0.05) << i;
        EXPECT_NEAR(found[i].height() * ratio, points[i].height(), 0.05) << i;
    }
    EXPECT_TRUE(r.text().endsWith("x\uFFFCy"));

    const ReadRtf bad = readRtf("{\\rtf1 a{\\pict\\wmetafile8 0102}b{\\pict\\pngblip 89504e47deadbeef}c"
                                "{\\pict\\pngblip " + pictureBytes(Qt::black, {13000, 1}, "PNG") + "}d}");
    ASSERT_TRUE(bad.result.ok);
    EXPECT_EQ(bad.text(), "abcd");
    EXPECT_TRUE(images(*bad.doc).isEmpty());
    ASSERT_EQ(bad.result.warnings.size(), 3);
    EXPECT_TRUE(bad.result.warnings[0].contains("not a PNG or JPEG"));
    EXPECT_TRUE(bad.result.warnings[1].contains("cannot be read") && bad.result.warnings[2].contains("13000 x 1"));
}

QTextTable* firstTable(QTextDocument& doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (QTextTable* t = QTextCursor(b).currentTable())
            return t;
    return nullptr;
}

QStringList cellTexts(QTextTable& table)
{
    QStringList out;
    for (int row = 0; row < table.rows(); ++row)
        for (int column = 0; column < table.columns(); ++column) {
            QTextCursor c = table.cellAt(row, column).firstCursorPosition();
            c.setPosition(table.cellAt(row, column).lastCursorPosition().position(), QTextCursor::KeepAnchor);
            out << c.selectedText().replace(QChar::ParagraphSeparator, '|');
        }
    return out;
}

TEST(RtfReader, Tables)
{
    ReadRtf r = readRtf("{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}before\\par"
                        "\\trowd\\trgaph108\\clbrdrt\\brdrs\\cellx1440\\clcbpat1\\cellx4320\\cellx7200"
                        "\\pard\\intbl A1\\cell B1 first\\par B1 second\\cell C1\\cell\\row"
                        "\\trowd\\cellx1440\\cellx4320\\cellx7200\\pard\\intbl A2\\cell\\cell C2\\cell\\row"
                        "\\pard after\\par}");
    ASSERT_TRUE(r.result.ok);
    QTextTable* table = firstTable(*r.doc);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(cellTexts(*table), (QStringList{"A1", "B1 first|B1 second", "C1", "A2", "", "C2"}));
    EXPECT_EQ(table->cellAt(0, 1).format().background().color(), QColor(255, 255, 0));
    EXPECT_GT(table->format().border(), 0);
    // Column widths follow \cellx: one inch, then two of two inches.
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_NEAR(widths[0].rawValue(), 20, 1e-9);
    EXPECT_NEAR(widths[1].rawValue(), 40, 1e-9);
    EXPECT_FALSE(QTextCursor(r.block("before")).currentTable() || QTextCursor(r.block("after")).currentTable());
    EXPECT_GT(r.block("after").position(), table->lastPosition());

    // Cells without \intbl or \cellx, and more cells than the definition.
    ReadRtf loose = readRtf("{\\rtf1 a\\cell b\\cell\\row\\trowd\\cellx1000\\intbl c\\cell d\\cell e\\cell\\row}");
    ASSERT_NE(table = firstTable(*loose.doc), nullptr);
    EXPECT_EQ(std::pair(table->rows(), table->columns()), std::pair(2, 3));
    EXPECT_EQ(loose.text().simplified(), "a b c d e");
}

TEST(RtfReader, CocoaDocument)
{
    const ReadRtf r = readRtf(sample("cocoa.rtf"));
    expectFormats(r, {{"Cocoa opening", "sans"}, {"Cocoa bold", "B sans"}, {"Accents", "sans"},
                      {"mac roman", "mono"}, {"Red cocoa", "sans fg=#fb0207"},
                      {"Cocoa link", "U sans fg=#fb0207 ->https://www.example.com/"}});
    EXPECT_EQ(r.blockTexts(), (QStringList{"Cocoa opening line", "Cocoa bold line", "Accents café and € euro",
                                           "é mac roman", "Red cocoa line", "Cocoa link", "Final cocoa line"}));
    EXPECT_EQ(describe(r.block("Cocoa opening").blockFormat()), "tabs=28.3L,56.65L,85L,113.35L");
}

// (What is not RTF is refused: the fuzz target's seeds; the reasons given:
// TextToPdf's failures.)
TEST(RtfRobustness, BracesOutOfBalanceWarnAndCutDocumentsRead)
{
    const ReadRtf extra = readRtf("{\\rtf1 kept}} lost {\\b more}");
    EXPECT_EQ(extra.text(), "kept");
    ASSERT_EQ(extra.result.warnings.size(), 1);
    EXPECT_TRUE(extra.result.warnings.first().contains("after the end"));
    const ReadRtf missing = readRtf("{\\rtf1 {\\b bold {\\i both");
    EXPECT_EQ(missing.text(), "bold both");
    EXPECT_EQ(describe(missing.format("both")), "B I sans");
    ASSERT_EQ(missing.result.warnings.size(), 1);
    EXPECT_TRUE(missing.result.warnings.first().contains("ends before"));
    // Trailing white space after the end is fine.
    EXPECT_EQ(readRtf("{\\rtf1 a}\r\n  ").result.warnings, QStringList());

    // Cut short anywhere, a document reads; shorter than "{\rtf" it is none.
    // (Random damage is the fuzz target's: tests/fuzz/fuzz_rtf.cpp.)
    const QByteArray features = sample("features.rtf");
    for (qsizetype length = 0; length < features.size(); length += 11)
        EXPECT_EQ(readRtf(features.left(length)).result.ok, length >= 5) << length;
}

} // namespace
