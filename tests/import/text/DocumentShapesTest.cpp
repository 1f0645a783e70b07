// Documents in the shapes real ones come in, printed and read back with
// poppler: a hard-wrapped text keeps its lines, columns and pages, an RTFD
// folder shows its pictures, RTF keeps its authors' line widths, and the text
// layer holds every line once, in plain letters.
#include "DocumentShapes.h"
#include "TextImportSupport.h"
#include "import/DocumentImport.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <map>

using namespace quire;
using namespace quire::test;

namespace {

// Three sections, each after a form feed but the first: a title, an
// 80-column line, prose hard-wrapped at 72 columns, a table aligned with
// spaces and tabs, and a line that runs past 80 columns after its 79th.
QByteArray hardWrappedText()
{
    QByteArray text;
    for (int section = 1; section <= 3; ++section) {
        const QByteArray n = QByteArray::number(section);
        text += QByteArray(section > 1 ? "\f\n" : "") + "SECTION " + n + "\n" + n.repeated(80) + "\n\n";
        for (int line = 0; line < 50; ++line)
            text += QString("s%1 l%2 ").arg(section).arg(line, 2).toLatin1().leftJustified(72, 'x') + "\n";
        for (int row = 1; row <= 12; ++row)
            text += QString("%1\tentry%2.%3%4\t%5\n").arg(row, 4).arg(section).arg(row, -6).arg(row * 4711, 9)
                        .arg(QString(row % 3 ? "yes" : "no")).toLatin1();
        text += ("Section " + n + " closes with a line longer than eighty columns").leftJustified(79, '.') +
                " below itself.\n";
    }
    return text;
}

using DocumentShapes = PrintingTest;

TEST_F(DocumentShapes, HardWrappedTextKeepsItsLinesColumnsAndFormFeedPages)
{
    const QString source = QString::fromLatin1(hardWrappedText()), pdf = m_dir.file("out.pdf");
    const ConversionResult result = TextToPdf::CreateTXTtoPDF(write("changes.txt", source.toLatin1()), pdf);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.warnings.isEmpty());
    EXPECT_EQ(PdfProbe::fonts(pdf), QStringList{"DejaVuSansMono"});
    EXPECT_EQ(PdfProbe::pageSizes(pdf), QList<QSizeF>(result.pageCount, QSizeF(648, 468)));
    EXPECT_EQ(PdfProbe::info(pdf, "Title"), "changes.txt"); // (its creator: RtfBookmarks, by the same printer)
    const QList<PdfWord> found = PdfProbe::words(pdf);
    expectWordsInsideMargins(found, 50 + 30);
    std::map<std::pair<int, int>, QList<PdfWord>> lines; // by page and top
    for (const PdfWord& w : found)
        lines[{w.page, qRound(w.box.top())}] << w;
    ASSERT_GT(lines.size(), 2u);
    // The 80-column line fits the text area (468 points less two insets of
    // 30) and gives the width of a column.
    const double left = 40 + 50 + 30, column = std::next(lines.begin())->second.value(0).box.width() / 80;
    EXPECT_TRUE(column * 80 <= 408 && column * 80 > 408 * 0.9) << column;
    // Each line's words with the columns they start at.
    QStringList printed, wanted;
    int previousPage = 0;
    for (const auto& [at, words] : lines) {
        QStringList line;
        for (const PdfWord& w : words)
            line << w.text + "@" + QString::number(qRound((w.box.left() - left) / column * 10) / 10.0);
        printed << line.join(' ');
        // A section starts a page, at its top (below the first page's inset).
        if (words[0].text == "SECTION") {
            EXPECT_GT(at.first, previousPage);
            EXPECT_NEAR(at.second, previousPage ? 40 : 55, 1);
        }
        previousPage = at.first;
    }
    // The source's lines, tabs stopping every 8 columns, the long ones going
    // on below themselves 4 columns in.
    for (QString line : source.split('\n')) {
        for (qsizetype tab; (tab = line.indexOf('\t')) >= 0;)
            line.replace(tab, 1, QString(8 - tab % 8, ' '));
        for (const QString& part : line.size() <= 80 ? QStringList{line} : QStringList{line.left(79), "    " + line.mid(80)}) {
            QStringList words;
            for (const auto& m : QRegularExpression("\\S+").globalMatch(part))
                words << m.captured() + "@" + QString::number(m.capturedStart());
            if (!words.isEmpty())
                wanted << words.join(' ');
        }
    }
    EXPECT_EQ(printed, wanted);
}

TEST_F(DocumentShapes, RtfKeepsItsLineWidthsAndEachLineOnceInPlainLetters)
{
    // Two paragraphs and a table cell, each over several pages, every word
    // unique; labels in cells just wide enough for them in Times (a wider
    // face would split "Prototype:"); every font named; Georgian, which
    // Liberation lacks; letters that Calibri's twin would join.
    QByteArray body;
    QStringList expected;
    for (int p = 0; p < 3; ++p) {
        QByteArray paragraph;
        for (int i = 0; i < 400; ++i) {
            expected << "w" + QString::number(p * 1000 + i);
            paragraph += expected.last().toLatin1() + ' ';
        }
        body += p < 2 ? "\\pard " + paragraph + "\\par\n" : "\\trowd\\cellx8000\\pard\\intbl " + paragraph + "\\cell\\row\n";
    }
    for (const char* label : {"Prototype:", "Returns:"}) {
        body += QByteArray("\\trowd\\trgaph108\\cellx1300\\cellx9000\\pard\\intbl ") + label + "\\cell f();\\cell\\row\n";
        expected << label << "f();";
    }
    const Printed printed = printRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Helvetica;}"
                                     "{\\f2\\fmodern Courier New;}{\\f3\\fswiss Calibri;}{\\f4\\froman Cambria;}}\n" + body +
                                     "\\pard {\\f1 Helvetica} {\\f2 Courier} {\\f4 Cambria} {\\f3 file official fluffy affirm} "
                                     "\\u4325?\\u4304?\\u4320?\\par}");
    expected << "Helvetica" << "Courier" << "Cambria" << "file" << "official" << "fluffy" << "affirm" << "ქარ";
    QStringList found;
    std::map<int, double> pageTops;
    for (const PdfWord& w : printed.words) {
        found << w.text;
        pageTops.emplace(w.page, w.box.top());
    }
    EXPECT_EQ(found, expected);
    EXPECT_GE(pageTops.size(), 4u);
    for (const auto& [page, top] : pageTops) // every page starts at its top margin
        EXPECT_NEAR(top, 40, 1.5) << "page " << page;
    EXPECT_EQ(PdfProbe::fonts(printed.pdf), (QStringList{"Caladea-Regular", "Carlito", "DejaVuSerif", "LiberationMono",
                                                         "LiberationSans", "LiberationSerif"}));
    const QString raw = PdfProbe::pageTexts(printed.pdf, true).join('\f');
    EXPECT_TRUE(raw.contains("file official fluffy affirm"));
    EXPECT_FALSE(raw.contains(QRegularExpression("[\\x{FB00}-\\x{FB06}]")));
}

TEST_F(DocumentShapes, RtfdFolderShowsItsPicturesOnTheirPages)
{
    const QString folder = writeRtfd(m_dir.path(), true), pdf = m_dir.file("help.pdf");
    EXPECT_FALSE(DocumentImport::checkSource(folder + "/", "Help.rtfd"));
    const ConversionResult result = TextToPdf::convertForImport(folder + "/", pdf).value();
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(PdfProbe::images(pdf), (QStringList{"1: 64 x 48", "2: 40 x 40"}));
    ASSERT_EQ(result.warnings.size(), 1);
    EXPECT_TRUE(result.warnings[0].contains("Help.rtfd") && result.warnings[0].contains("“gone.tiff” is missing"));
    const QStringList pages = PdfProbe::pageTexts(pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0].simplified(), "Before the red one. After the red one.");
    EXPECT_EQ(pages[1].simplified(), "On the second page, the blue one: and one that is gone The end.");
    EXPECT_EQ(PdfProbe::info(pdf, "Title"), "Help.rtfd");

    // A folder without its text is no document (nor is another folder: ImportDialog's bad input).
    QDir().mkpath(m_dir.file("Empty.rtfd"));
    const auto problem = DocumentImport::checkSource(m_dir.file("Empty.rtfd"), "Empty.rtfd");
    EXPECT_EQ(problem.value_or(DocumentImport::SourceProblem{}).message, "Empty.rtfd: not a readable file");
    EXPECT_TRUE(TextToPdf::CreateRTFtoPDF(m_dir.file("Empty.rtfd"), m_dir.file("e.pdf")).error.contains("TXT.rtf"));
}

TEST_F(DocumentShapes, AttachedPicturesAreDrawnOrNamedInWarnings)
{
    const QString folder = writeRtfd(m_dir.path(), false);
    writeFile(folder + "/art.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\nshowpage\n");
    writeFile(folder + "/notes.tiff", "not a picture");
    writeFile(m_dir.file("secret.png"), readFile(folder + "/blue.png"));
    ASSERT_TRUE(TextToPdf::CreateTXTtoPDF(write("page.txt", "A page"), folder + "/page.pdf").ok);
    const std::pair<QByteArray, QString> cases[] = {
        {"page.pdf", ""}, // its first page, drawn
        {"art.eps", QStandardPaths::findExecutable("gs").isEmpty() ? "needs Ghostscript" : ""},
        {"notes.tiff", "“notes.tiff” cannot be shown"},
        {"../secret.png", "“../secret.png” is not beside the document"},
        {"/etc/passwd", "is not beside the document"},
    };
    for (const auto& [name, says] : cases) {
        SCOPED_TRACE(name.toStdString());
        writeFile(folder + "/TXT.rtf", "{\\rtf1\\ansi Text {{\\NeXTGraphic " + name + " \\width200 \\height200}\xac}\\par}");
        const ConversionResult result = TextToPdf::CreateRTFtoPDF(folder, m_dir.file("out.pdf"));
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(PdfProbe::text(m_dir.file("out.pdf")).trimmed(), "Text");
        EXPECT_EQ(PdfProbe::images(m_dir.file("out.pdf")).size(), says.isEmpty() ? 1 : 0);
        EXPECT_EQ(result.warnings.size(), says.isEmpty() ? 0 : 1);
        EXPECT_TRUE(result.warnings.join(' ').contains(says)) << result.warnings.join(' ').toStdString();
    }
}

} // namespace
