// Text files decoded, and text and RTF files printed to PDF, read back with
// poppler.
#include "TextImportSupport.h"
#include "import/PdfDocument.h"
#include "import/text/PlainTextDocument.h"
#include "import/text/PrintedPdf.h"
#include "import/text/TextDecoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringEncoder>

using namespace quire;
using namespace quire::test;
using namespace quire::textimport;

namespace {

// "page:word" of each word, in order.
QStringList pagesAndTexts(const QList<PdfWord>& words)
{
    QStringList out;
    for (const PdfWord& w : words)
        out << QString::number(w.page) + ":" + w.text;
    return out;
}

QHash<QString, QRectF> boxes(const QString& pdf)
{
    QHash<QString, QRectF> box;
    for (const PdfWord& w : PdfProbe::words(pdf))
        box.insert(w.text, w.box);
    return box;
}

class TextToPdfTest : public PrintingTest {
protected:
    QString pdf() const { return m_dir.file("out.pdf"); }
    ConversionResult text(const QByteArray& bytes, const QString& name = "in.txt")
    {
        return TextToPdf::CreateTXTtoPDF(write(name, bytes), pdf());
    }
    ConversionResult rtf(const QByteArray& bytes, const QString& name = "in.rtf")
    {
        return TextToPdf::CreateRTFtoPDF(write(name, bytes), pdf());
    }
};

TEST_F(TextToPdfTest, TextIsUtf8OrElseWindows1252WithAWarning)
{
    const QString utf8 = "Ελληνικά κείμενο καλημέρα\r\nРусский текст привет мир\r\nעברית שלום עולם\r\nÄÖÜ ß façade";
    ConversionResult result = text(utf8.toUtf8());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.warnings.isEmpty());
    // Hebrew runs right to left; poppler may give its words in either order.
    const QString extracted = PdfProbe::text(pdf());
    for (const QString& word : PdfProbe::wordsOf(utf8))
        EXPECT_TRUE(extracted.contains(word)) << word.toStdString();

    result = text("Caf\xE9 cr\xE8me br\xFBl\xE9" "e \x93quoted\x94 \x80" "5 na\xEFve\n", "latin.txt");
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    ASSERT_EQ(result.warnings.size(), 1);
    EXPECT_TRUE(result.warnings.first().contains("latin.txt"));
    EXPECT_EQ(PdfProbe::text(pdf()).trimmed(), "Café crème brûlée “quoted” €5 naïve");

    result = text({}); // one blank page
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(std::pair(result.pageCount, PdfProbe::pageSizes(pdf())), std::pair(1, QList<QSizeF>{QSizeF(648, 468)}));
    EXPECT_TRUE(PdfProbe::text(pdf()).trimmed().isEmpty());
}

TEST_F(TextToPdfTest, RtfFeatureSampleRoundTrips)
{
    const ConversionResult result = rtf(sample("features.rtf"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.warnings.isEmpty()) << result.warnings.join('\n').toStdString();
    EXPECT_EQ(PdfProbe::pageSizes(pdf()), QList<QSizeF>(result.pageCount, QSizeF(648, 468)));

    // The \page break puts the last paragraph on a page of its own.
    QStringList pages = PdfProbe::pageTexts(pdf());
    ASSERT_EQ(pages.size(), result.pageCount);
    EXPECT_EQ(pages.takeLast().trimmed(), "SecondPageWord");
    const QString first = pages.join('\n');
    for (const char* word :
         {"Plain", "BoldWord", "ItalicWord", "UnderWord", "StrikeWord", "H2O", "E=mc2", "CAPSWORD", "plainword",
          "RedWord", "BackWord", "HighWord", "HelveticaWord", "CourierWord", "BigWord", "SmallWord", "CentredWord",
          "RightWord", "JustifiedWord", "IndentWord", "SpacedWord", "ExactWord", "TabA", "TabB", "TabC",
          "LineOne", "LineTwo", "Café", "naïve", "€", "“quoted”", "Привет", "—–•", "‘x’", "LinkWord",
          "FieldResultWord", "PictureCaption", "JpegCaption", "CellA1", "CellB1", "CellC1", "CellA2", "CellB2",
          "CellC2", "AfterTableWord"})
        EXPECT_TRUE(first.contains(QString::fromUtf8(word))) << word;
    for (const char* hidden : {"StyleSheetWord", "InfoTitleWord", "InfoAuthorWord", "HeaderWord", "FooterWord",
                               "UnknownWord", "HYPERLINK", "PAGE", "capsword", "0102"})
        EXPECT_FALSE(first.contains(QLatin1String(hidden))) << hidden;

    const std::vector<pdf::Link> links = pdf::PdfDocument::open(pdf())->links(0); // a reader apart from Qt's writer
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].url, QString("https://example.org/quire"));
    EXPECT_EQ(PdfProbe::images(pdf()), (QStringList{"1: 40 x 20", "1: 24 x 24"}));
    // Installed faces, real italics and bold included, stand in for the
    // document's fonts.
    EXPECT_EQ(PdfProbe::fonts(pdf()), (QStringList{"LiberationMono", "LiberationSans", "LiberationSerif",
                                                   "LiberationSerif-Bold", "LiberationSerif-Italic"}));
    expectWordsInsideMargins(PdfProbe::words(pdf()), 50);
    // Left indents are in points on the page: \li1440 is one inch.
    const QHash<QString, QRectF> box = boxes(pdf());
    EXPECT_NEAR(box["IndentWord"].left(), 40 + 50 + 72 - 18, 1.5);
    EXPECT_NEAR(box["RightWord"].right(), 648 - 40 - 50, 1.5);
    // The link's area, as the import reads it, lies over its words.
    const pdf::Rect& area = links[0].area;
    EXPECT_TRUE(QRectF(area.x, area.y, area.width, area.height).contains(box["LinkWord"].center()));
    EXPECT_EQ(PdfProbe::info(pdf(), "Title"), "InfoTitleWord");
    EXPECT_EQ(readFile(pdf()).count("%%EOF"), 1); // no headings: Qt's file as it wrote it
}

TEST_F(TextToPdfTest, RtfLengthsArePointsOnThePage)
{
    // Qt scales vertical spacing, fixed line heights and tab stops by the
    // device's dpi; on the page they must come out in points as written.
    ASSERT_TRUE(rtf("{\\rtf1{\\fonttbl{\\f0\\fswiss Helvetica;}}\\f0\\fs24 first\\par\\pard\\sb720 second\\par"
                    "\\pard\\sl-720 exact\\line exacttwo\\par\\pard x\\tab tabbed\\par\\pard\\tx2880 y\\tab stop\\par}")
                    .ok);
    QHash<QString, QRectF> box = boxes(pdf());
    ASSERT_EQ(box.size(), 8);
    EXPECT_NEAR(box["second"].top() - box["first"].top(), box["first"].height() + 36, 1.0);
    EXPECT_NEAR(box["exacttwo"].top() - box["exact"].top(), 36, 0.5);
    EXPECT_NEAR(box["tabbed"].left() - box["x"].left(), 36, 0.5);
    EXPECT_NEAR(box["stop"].left() - box["y"].left(), 144, 0.5);
    EXPECT_NEAR(box["first"].left(), 40 + 50, 0.5);
    EXPECT_NEAR(box["first"].top(), 40, 1.0);
}

// (The PDF's title: the document's own in the feature sample, else the file's
// name as the RTFD and text documents show; read from the RTF: RtfReading.)

TEST_F(TextToPdfTest, FailuresNameTheFileAndLeaveTheOldPdf)
{
    const QByteArray old = "%PDF-1.4 previous";
    writeFile(pdf(), old);
    const std::pair<ConversionResult, QStringList> failures[] = {
        {rtf("Just some words", "notes.rtf"), {"notes.rtf", "not an RTF document"}},
        {rtf({}, "blank.rtf"), {"blank.rtf", "empty"}},
        {TextToPdf::CreateTXTtoPDF(m_dir.file("missing.txt"), pdf()), {"missing.txt"}},
    };
    for (const auto& [result, named] : failures) {
        EXPECT_FALSE(result.ok);
        for (const QString& part : named)
            EXPECT_TRUE(result.error.contains(part)) << result.error.toStdString();
    }
    EXPECT_EQ(readFile(pdf()), old);

    const QString unwritable = m_dir.file("no-such-folder/out.pdf");
    ConversionResult result = TextToPdf::CreateTXTtoPDF(write("fine.txt", "fine"), unwritable);
    EXPECT_TRUE(!result.ok && result.error.contains(unwritable) && !QFileInfo::exists(unwritable));

    // A good conversion replaces the old file whole.
    ASSERT_TRUE(text("fine words").ok);
    EXPECT_TRUE(PdfProbe::text(pdf()).contains("fine words"));
    EXPECT_EQ(QDir(m_dir.path()).entryList({"out.pdf*"}, QDir::Files), QStringList{"out.pdf"});
}

TEST(TextDecoding, Utf8FirstThenWindows1252AndPlainLineEnds)
{
    const std::tuple<QByteArray, QString, bool> cases[] = { // bytes, text, read as Windows-1252
        {"Grüße Ελλάδα Россия", "Grüße Ελλάδα Россия", false},
        {"\xEF\xBB\xBFwith bom", "with bom", false},
        {"", "", false},
        // Latin-1 and Windows-1252 bytes are not UTF-8, nor is a sequence cut
        // short. 0x81 is unassigned in Windows-1252 and keeps its code.
        {"na\xEFve \x80 \x93q\x94 \x9c \xA0x \x8A\x9F\x81\xFF", "naïve € “q” œ \u00A0x ŠŸ\u0081ÿ", true},
        {"caf\xC3", "caf\u00C3", true},
    };
    for (const auto& [bytes, text, fallback] : cases) {
        const DecodedText d = decodeTextFile(bytes);
        EXPECT_EQ(std::pair(d.text, d.usedFallback), std::pair(text, fallback));
    }
    EXPECT_EQ(decodeWindows1252(QByteArray("a\0\x7f", 3)), QString::fromLatin1("a\0\x7f", 3)); // a character a byte

    // UTF-16 with a byte order mark, either way round.
    const QString greek = "Hello Ωμέγα";
    for (auto encoding : {QStringEncoder::Utf16LE, QStringEncoder::Utf16BE}) {
        const QByteArray bytes = QStringEncoder(encoding, QStringEncoder::Flag::WriteBom).encode(greek);
        EXPECT_EQ(decodeTextFile(bytes).text, greek);
    }
    // (Code pages and font character sets: RtfReader.TextOfEscapesCodePagesAndDestinations.)

    // Line ends and control characters of plain text.
    EXPECT_EQ(PlainTextDocument::normalized("a\r\nb\rc\nd\n"), "a\nb\nc\nd");
    EXPECT_EQ(PlainTextDocument::normalized("t\tx\x01y\x7f\fz\n\n"), "t\txy\fz\n");
    EXPECT_EQ(PlainTextDocument::normalized(QString()), QString());
}

// Points the user's temporary folder at a test folder while alive.
struct TemporaryFolder : TempDir {
    TemporaryFolder() { qputenv("TMPDIR", QFile::encodeName(path())); }
    ~TemporaryFolder() { m_old.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", m_old); }
    const QByteArray m_old = qgetenv("TMPDIR");
};

TEST(QuirePdfPath, FolderForTheOwnerOnlyNeverAFileOrLinkAndShowsTheLatestConversion)
{
    TemporaryFolder dir;
    const QString folder = dir.file("Quire");
    QString error;
    for (int again = 0; again < 2; ++again) { // made, then found
        EXPECT_EQ(TextToPdf::quirePdfPath(&error), folder + "/quire.pdf");
        EXPECT_TRUE(error.isEmpty());
    }
    EXPECT_EQ(QFileInfo(folder).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QDir(folder).removeRecursively();
    writeFile(folder, "not a folder");
    EXPECT_TRUE(TextToPdf::quirePdfPath(&error).isEmpty() && error.contains(folder));
    QFile::remove(folder);
    QDir().mkpath(dir.file("elsewhere"));
    ASSERT_TRUE(QFile::link(dir.file("elsewhere"), folder));
    error.clear();
    EXPECT_TRUE(TextToPdf::quirePdfPath(&error).isEmpty() && !error.isEmpty());

    // Each conversion reads its own file while quire.pdf shows the latest.
    QFile::remove(folder);
    writeFile(dir.file("one.txt"), "One page.");
    writeFile(dir.file("long.txt"), QByteArray("A line.\n").repeated(200));
    auto first = PrintedPdf::print(dir.file("one.txt"), PrintedPdf::Place::QuireFolder);
    ASSERT_TRUE(first->result().ok) << first->result().error.toStdString();
    EXPECT_EQ(readFile(dir.file("Quire/quire.pdf")), readFile(first->path()));
    auto second = PrintedPdf::print(dir.file("long.txt"), PrintedPdf::Place::QuireFolder);
    ASSERT_TRUE(second->result().ok);
    EXPECT_EQ(readFile(dir.file("Quire/quire.pdf")), readFile(second->path()));
    EXPECT_EQ(pdf::PdfDocument::open(first->path())->pageCount(), 1); // the first still reads its own pages
    EXPECT_GT(pdf::PdfDocument::open(second->path())->pageCount(), 1);
    first.reset();
    second.reset();
    EXPECT_EQ(QDir(dir.file("Quire")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"quire.pdf"});
}

} // namespace

TEST_F(TextToPdfTest, PrintedDocumentsGiveTheImportTheirWordsWherePopplerFindsThem)
{
    // Ligatures (fi, ffl), other scripts, bold and italic runs, wrapped
    // lines and a second page.
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs24 "
                     "We find the office waffle {\\b bold words} and {\\i italic ones}, "
                     "\\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090? \\par ";
    rtf += test::fillerParagraphs(12) + "\\page Last page\\par}";
    const ConversionResult result = TextToPdf::CreateRTFtoPDF(write("words.rtf", rtf), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    ASSERT_GE(result.pageCount, 2);

    QList<PdfWord> ours;
    auto doc = pdf::PdfDocument::open(pdf());
    for (int position = 0; position < doc->pageCount(); ++position)
        for (const TextBlock& block : doc->words(position).blocks)
            for (const TextLine& line : block.lines)
                for (const TextWord& w : line.words) {
                    EXPECT_EQ(line.direction, 0);
                    ours << PdfWord{position + 1, QRectF(w.box.x * 648, w.box.y * 468, w.box.width * 648,
                                                         w.box.height * 468), w.text};
                }
    const QList<PdfWord> theirs = PdfProbe::words(pdf());
    ASSERT_EQ(pagesAndTexts(ours), pagesAndTexts(theirs));
    EXPECT_GT(ours.size(), 100);
    for (qsizetype i = 0; i < ours.size(); ++i) {
        // Both start a word at its first letter's origin and stand it on
        // the same baseline; heights differ with the fonts' measures.
        EXPECT_NEAR(ours[i].box.left(), theirs[i].box.left(), 1.0) << ours[i].text.toStdString();
        EXPECT_TRUE(ours[i].box.contains(theirs[i].box.center())) << ours[i].text.toStdString();
    }
    EXPECT_TRUE(PdfProbe::text(pdf()).contains("We find the office waffle"));
}
