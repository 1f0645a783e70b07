// Documents in the shapes real ones come in, printed and read back with
// poppler: a hard-wrapped text keeps its lines, columns and pages, an RTFD
// folder shows its pictures, RTF keeps its authors' line widths, and the text
// layer holds every line once, in plain letters.
#include "DocumentShapes.h"
#include "TextImportSupport.h"
#include "import/DocumentImport.h"

#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <map>

using namespace quire;
using namespace quire::test;

namespace {

struct PrintedLine {
    int page = 0;
    QList<PdfWord> words;
};

// The words poppler finds, as lines: words of one page sharing a top.
QList<PrintedLine> printedLines(const QList<PdfWord>& words)
{
    std::map<std::pair<int, int>, PrintedLine> lines;
    for (const PdfWord& w : words) {
        PrintedLine& line = lines[{w.page, qRound(w.box.top() * 4)}];
        line.page = w.page;
        line.words << w;
    }
    QList<PrintedLine> out;
    for (auto& [at, line] : lines) {
        std::sort(line.words.begin(), line.words.end(),
                  [](const PdfWord& a, const PdfWord& b) { return a.box.left() < b.box.left(); });
        out << line;
    }
    return out;
}

// The words of a source line with the columns they start at, tabs stopping
// every 8 columns.
QList<std::pair<QString, int>> columnWords(const QString& line)
{
    QList<std::pair<QString, int>> out;
    int column = 0;
    for (QChar c : line) {
        if (c == '\t' || c == ' ') {
            column = c == '\t' ? (column / 8 + 1) * 8 : column + 1;
        } else {
            if (out.isEmpty() || out.last().second + out.last().first.size() != column)
                out.append({QString(), column});
            out.last().first += c;
            ++column;
        }
    }
    return out;
}

// What pdftotext extracts, untouched: ligatures would stay ligatures.
QString rawText(const QString& pdf)
{
    QProcess process;
    process.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
    EXPECT_TRUE(process.waitForFinished(60000));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// "page: width x height" of each picture, as pdfimages lists them.
QStringList picturePages(const QString& pdf)
{
    QProcess process;
    process.start("pdfimages", {"-list", pdf});
    EXPECT_TRUE(process.waitForFinished(60000));
    QStringList out;
    for (const QString& row : QString::fromUtf8(process.readAllStandardOutput()).split('\n').mid(2)) {
        const QStringList f = row.simplified().split(' ');
        if (f.size() > 4 && f[2] == "image")
            out << f[0] + ": " + f[3] + " x " + f[4];
    }
    return out;
}

using DocumentShapes = PrintingTest;

TEST_F(DocumentShapes, HardWrappedTextKeepsItsLinesColumnsAndFormFeedPages)
{
    const QByteArray source = hardWrappedText();
    const ConversionResult result = TextToPdf::CreateTXTtoPDF(write("changes.txt", source), m_dir.file("out.pdf"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const QList<PdfWord> words = PdfProbe::words(m_dir.file("out.pdf"));
    const QList<PrintedLine> printed = printedLines(words);
    EXPECT_EQ(PdfProbe::fonts(m_dir.file("out.pdf")), QStringList{"DejaVuSansMono"});

    // The 80-column line is one line of the text area (468 points less the
    // insets of 30), and gives the width of a column.
    ASSERT_FALSE(printed.isEmpty());
    const PdfWord ruler = printed.value(1).words.value(0);
    ASSERT_EQ(ruler.text, QString("1").repeated(80));
    const double column = ruler.box.width() / 80;
    const double left = 40 + 50 + 30;
    EXPECT_NEAR(ruler.box.left(), left, 0.5);
    EXPECT_LE(ruler.box.right(), left + 408 + 0.5);
    EXPECT_GT(column * 80, 408 * 0.9);

    // Line by line, each word at its column; the long line goes on below
    // itself, indented by 4 columns; a section starts a page.
    qsizetype at = 0;
    int lastPage = 0;
    for (const QString& line : QString::fromLatin1(source).remove('\f').split('\n')) {
        const auto expected = columnWords(line);
        if (expected.isEmpty())
            continue;
        SCOPED_TRACE(line.toStdString());
        ASSERT_LT(at, printed.size());
        if (line.startsWith("SECTION")) {
            EXPECT_GT(printed[at].page, lastPage);
            EXPECT_NEAR(printed[at].words[0].box.top(), printed[at].page == 1 ? 40 + 15 : 40, 1.5);
        }
        qsizetype word = 0;
        for (const auto& [text, col] : expected) {
            if (word == printed[at].words.size()) { // the continuation of a long line
                ASSERT_GT(col + text.size(), 80);
                word = 0;
                ++at;
                ASSERT_LT(at, printed.size());
                EXPECT_NEAR(printed[at].words[0].box.left(), left + 4 * column, 0.5);
            } else {
                EXPECT_NEAR(printed[at].words[word].box.left(), left + col * column, 0.5) << text.toStdString();
            }
            EXPECT_EQ(printed[at].words[word++].text, text);
        }
        EXPECT_EQ(word, printed[at].words.size());
        lastPage = printed[at++].page;
    }
    // Nothing more, and nothing twice.
    EXPECT_EQ(at, printed.size());
    EXPECT_EQ(result.pageCount, lastPage);
}

TEST_F(DocumentShapes, SplitParagraphsAreInTheTextLayerOnceInPlainLetters)
{
    // Paragraphs and a table cell long enough to run over several pages,
    // every word unique; then words whose letters Calibri's twin joins.
    QByteArray body;
    QStringList expected;
    for (int p = 0; p < 3; ++p) {
        QByteArray paragraph;
        for (int i = 0; i < 400; ++i) {
            const QByteArray word = "w" + QByteArray::number(p * 1000 + i);
            paragraph += word + ' ';
            expected << word;
        }
        if (p == 2) // one cell of a one-column table
            body += "\\trowd\\trgaph108\\cellx8000\\pard\\intbl " + paragraph + "\\cell\\row\\pard ";
        else
            body += "\\pard " + paragraph + "\\par\n";
    }
    const Printed printed = printRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss "
                                     "Calibri;}}\n" + body + "{\\f1 file official fluffy affirm}\\par}");
    expected << "file" << "official" << "fluffy" << "affirm";
    QStringList found;
    for (const PdfWord& w : printed.words)
        found << w.text;
    EXPECT_EQ(found, expected);
    // Every page after the first starts at its top margin.
    QSet<int> seen;
    for (const PdfWord& w : printed.words)
        if (!seen.contains(w.page) && (seen.insert(w.page), w.page > 1)) {
            EXPECT_NEAR(w.box.top(), 40, 1.5) << "page " << w.page;
        }
    EXPECT_GE(seen.size(), 4);

    const QString raw = rawText(printed.pdf);
    EXPECT_TRUE(raw.contains("file official fluffy affirm"));
    for (char16_t ligature = 0xFB00; ligature <= 0xFB06; ++ligature)
        EXPECT_FALSE(raw.contains(QChar(ligature))) << int(ligature);
}

TEST_F(DocumentShapes, NamedFontsGiveWayToFacesWithTheirWidths)
{
    // Labels in cells just wide enough for them in Times: a wider face would
    // split "Prototype:".
    QByteArray table;
    for (const char* label : {"Prototype:", "Returns:", "Since:"})
        table += QByteArray("\\trowd\\trgaph108\\cellx1300\\cellx9000\\pard\\intbl ") + label +
                 "\\cell void print(char *name);\\cell\\row\n";
    const Printed printed = printRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss "
                                     "Helvetica;}{\\f2\\fmodern Courier New;}{\\f3\\fswiss Calibri;}{\\f4\\froman "
                                     "Cambria;}}\n\\f0\\fs24 " + table +
                                     "\\pard {\\f1 Helvetica} {\\f2 Courier} {\\f3 Calibri} {\\f4 Cambria} "
                                     "\\u4325?\\u4304?\\u4320?\\par}");
    QHash<QString, QRectF> box;
    for (const PdfWord& w : printed.words)
        box.insert(w.text, w.box);
    for (const char* label : {"Prototype:", "Returns:", "Since:"})
        EXPECT_TRUE(box.contains(label)) << label;
    EXPECT_LT(box["Prototype:"].right(), box["void"].left());
    EXPECT_TRUE(PdfProbe::text(printed.pdf).contains(QString::fromUtf8("ქარ")));
    // Georgian is not in Liberation Serif: DejaVu Serif stands in.
    EXPECT_EQ(PdfProbe::fonts(printed.pdf), (QStringList{"Caladea-Regular", "Carlito", "DejaVuSerif", "LiberationMono",
                                                         "LiberationSans", "LiberationSerif"}));
}

TEST_F(DocumentShapes, RtfdFolderShowsItsPicturesOnTheirPages)
{
    const QString folder = writeRtfd(m_dir.path(), true);
    EXPECT_FALSE(DocumentImport::checkSource(folder + "/", "Help.rtfd"));
    const ConversionResult result = TextToPdf::convertForImport(folder + "/", m_dir.file("help.pdf")).value();
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    // Each at the size the document gives: 64 pixels on 64 points, 40 on 80.
    EXPECT_EQ(picturePages(m_dir.file("help.pdf")), (QStringList{"1: 64 x 48", "2: 40 x 40"}));
    ASSERT_EQ(result.warnings.size(), 1);
    EXPECT_TRUE(result.warnings[0].contains("Help.rtfd") && result.warnings[0].contains("gone.tiff"));
    const QStringList pages = PdfProbe::pageTexts(m_dir.file("help.pdf"));
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0].simplified(), "Before the red one. After the red one.");
    EXPECT_EQ(pages[1].simplified(), "On the second page, the blue one: and one that is gone The end.");
    EXPECT_EQ(PdfProbe::info(m_dir.file("help.pdf"), "Title"), "Help.rtfd");

    // A folder without its text is no document; another folder is no source.
    QDir().mkpath(m_dir.file("Empty.rtfd"));
    QDir().mkpath(m_dir.file("Plain.rtf"));
    for (const char* bad : {"Empty.rtfd", "Plain.rtf"}) {
        const auto problem = DocumentImport::checkSource(m_dir.file(bad), bad);
        ASSERT_TRUE(problem) << bad;
        EXPECT_EQ(problem->message, QString(bad) + ": not a readable file");
    }
    const ConversionResult empty = TextToPdf::CreateRTFtoPDF(m_dir.file("Empty.rtfd"), m_dir.file("e.pdf"));
    EXPECT_FALSE(empty.ok);
    EXPECT_TRUE(empty.error.contains("TXT.rtf"));
}

TEST_F(DocumentShapes, AttachedPicturesAreDrawnOrNamedInWarnings)
{
    const QString folder = writeRtfd(m_dir.path(), false);
    writeFile(folder + "/art.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\nshowpage\n");
    writeFile(folder + "/notes.tiff", "not a picture");
    writeFile(m_dir.file("secret.png"), readFile(folder + "/blue.png"));
    ASSERT_TRUE(TextToPdf::CreateTXTtoPDF(write("page.txt", "A page"), folder + "/page.pdf").ok);
    const struct {
        QByteArray name;
        QString says;
    } cases[] = {
        {"notes.tiff", "“notes.tiff” cannot be shown"},
        {"../secret.png", "“../secret.png” is not beside the document"},
        {"/etc/passwd", "is not beside the document"},
        {"art.eps", QStandardPaths::findExecutable("gs").isEmpty() ? "needs Ghostscript" : ""},
        {"page.pdf", ""}, // its first page, drawn
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        writeFile(folder + "/TXT.rtf", "{\\rtf1\\ansi Text {{\\NeXTGraphic " + c.name + " \\width200 \\height200}\xac}\\par}");
        const ConversionResult result = TextToPdf::CreateRTFtoPDF(folder, m_dir.file("out.pdf"));
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(PdfProbe::text(m_dir.file("out.pdf")).trimmed(), "Text");
        if (c.says.isEmpty()) {
            EXPECT_TRUE(result.warnings.isEmpty());
            EXPECT_EQ(picturePages(m_dir.file("out.pdf")).size(), 1);
            continue;
        }
        ASSERT_EQ(result.warnings.size(), 1);
        EXPECT_TRUE(result.warnings[0].contains(c.says)) << result.warnings[0].toStdString();
        EXPECT_TRUE(picturePages(m_dir.file("out.pdf")).isEmpty());
    }
}

} // namespace
