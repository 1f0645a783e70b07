// Text and RTF files printed to PDF, read back with poppler.
#include "PdfProbe.h"
#include "RtfSamples.h"
#include "support/TestEnv.h"
#include "import/PdfDocument.h"
#include "import/text/PrintedPdf.h"
#include "import/text/TextToPdf.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextDocument>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace quire;
using quire::test::PdfProbe;
using quire::test::PdfWord;

namespace {

class TextToPdfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PdfProbe::available())
            GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext, pdftohtml, pdfimages) are not installed";
    }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.file(name);
        test::writeFile(path, bytes);
        return path;
    }
    QString pdf() const { return m_dir.file("out.pdf"); }

    static void expectExactPages(const QString& pdf, int minimumPages)
    {
        const QList<QSizeF> sizes = PdfProbe::pageSizes(pdf);
        ASSERT_GE(sizes.size(), minimumPages);
        for (const QSizeF& s : sizes)
            EXPECT_EQ(s, QSizeF(648, 468));
    }

    // Every word lies inside the printable area, so no line is cut at a
    // page's end; `inset` narrows the area further on the left and right.
    static void expectWordsInsideMargins(const QList<PdfWord>& words, double inset)
    {
        ASSERT_FALSE(words.isEmpty());
        for (const PdfWord& w : words) {
            SCOPED_TRACE(testing::Message() << w.text.toStdString() << " page " << w.page);
            EXPECT_GE(w.box.left(), 40 + inset - 1.5);
            EXPECT_LE(w.box.right(), 648 - 40 - inset + 1.5);
            EXPECT_GE(w.box.top(), 40 - 1.0);
            EXPECT_LE(w.box.bottom(), 468 - 50 + 1.0);
        }
    }

    test::TempDir m_dir;
};

std::string joined(const QStringList& list)
{
    return list.join(' ').toStdString();
}

std::string joined(const QList<PdfWord>& list)
{
    QStringList out;
    for (const PdfWord& w : list)
        out << w.text;
    return joined(out);
}

const PdfWord* find(const QList<PdfWord>& words, const QString& text)
{
    auto it = std::find_if(words.begin(), words.end(), [&](const PdfWord& w) { return w.text == text; });
    return it == words.end() ? nullptr : &*it;
}

TEST_F(TextToPdfTest, PlainTextSpansPagesInsideTheMarginsAndRoundTrips)
{
    QByteArray text;
    for (int i = 1; i <= 120; ++i)
        text += "line" + QByteArray::number(i) + " alpha beta gamma delta epsilon zeta eta theta\n";
    // A paragraph long enough to wrap.
    for (int i = 0; i < 60; ++i)
        text += "wrap" + QByteArray::number(i) + " ";
    text += "\n";

    const ConversionResult result = TextToPdf::CreateTXTtoPDF(write("long.txt", text), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.warnings.isEmpty());
    expectExactPages(pdf(), 4);
    EXPECT_EQ(PdfProbe::pageSizes(pdf()).size(), result.pageCount);

    const QList<PdfWord> found = PdfProbe::words(pdf());
    EXPECT_EQ(joined(found), joined(PdfProbe::wordsOf(QString::fromLatin1(text))));
    // The text area is 468 points wide and centred, with insets of 30 points.
    expectWordsInsideMargins(found, 50 + 30);
    EXPECT_NEAR(found.first().box.left(), 40 + 50 + 30, 1.5);
    // The top inset is on the first page only.
    EXPECT_GE(found.first().box.top(), 40 + 15 - 1.0);
    EXPECT_LE(found.first().box.top(), 40 + 15 + 4.0);
    auto firstOnPage2 = std::find_if(found.begin(), found.end(), [](const PdfWord& w) { return w.page == 2; });
    ASSERT_NE(firstOnPage2, found.end());
    EXPECT_LE(firstOnPage2->box.top(), 40 + 4.0);
    EXPECT_EQ(PdfProbe::info(pdf(), "Creator"), "Quire");
}

TEST_F(TextToPdfTest, Utf8WithGreekCyrillicAndHebrewRoundTrips)
{
    const QString text = "Ελληνικά κείμενο καλημέρα\r\nРусский текст привет мир\r\nעברית שלום עולם\r\n"
                         "Mixed ÄÖÜ ß façade naïve";
    const ConversionResult result = TextToPdf::CreateTXTtoPDF(write("scripts.txt", text.toUtf8()), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.warnings.isEmpty());
    // Hebrew runs right to left; poppler may give its words in either order.
    const QString extracted = PdfProbe::text(pdf());
    for (const QString& word : PdfProbe::wordsOf(text))
        EXPECT_TRUE(extracted.contains(word)) << word.toStdString();
}

TEST_F(TextToPdfTest, Windows1252TextIsReadAsSuchWithAWarning)
{
    log::Capture capture;
    const QByteArray bytes = "Caf\xE9 cr\xE8me br\xFBl\xE9" "e \x93quoted\x94 \x80" "5 na\xEFve\n";
    const ConversionResult result = TextToPdf::CreateTXTtoPDF(write("latin.txt", bytes), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    ASSERT_EQ(result.warnings.size(), 1);
    EXPECT_TRUE(result.warnings.first().contains("latin.txt"));
    EXPECT_TRUE(capture.contains("Windows-1252"));
    const QString extracted = PdfProbe::text(pdf());
    EXPECT_TRUE(extracted.contains("Café crème brûlée “quoted” €5 naïve")) << extracted.toStdString();
    EXPECT_FALSE(extracted.contains(QChar::ReplacementCharacter));
}

TEST_F(TextToPdfTest, EmptyTextFileGivesOneBlankPage)
{
    const ConversionResult result = TextToPdf::CreateTXTtoPDF(write("empty.txt", {}), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.pageCount, 1);
    expectExactPages(pdf(), 1);
    EXPECT_TRUE(PdfProbe::text(pdf()).trimmed().isEmpty());
}

TEST_F(TextToPdfTest, RtfFeatureSampleRoundTrips)
{
    const ConversionResult result = TextToPdf::CreateRTFtoPDF(write("features.rtf", test::featureSample()), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.warnings.isEmpty()) << result.warnings.join('\n').toStdString();
    expectExactPages(pdf(), 2);

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

    EXPECT_EQ(PdfProbe::links(pdf()), QStringList{"https://example.org/quire"});
    EXPECT_EQ(PdfProbe::images(pdf()), (QStringList{"40 x 20", "24 x 24"}));
    // Installed faces, real italics and bold included, stand in for the
    // document's fonts.
    EXPECT_EQ(PdfProbe::fonts(pdf()), (QStringList{"DejaVuSans", "DejaVuSansMono", "DejaVuSerif", "DejaVuSerif-Bold",
                                                   "DejaVuSerif-Italic"}));

    const QList<PdfWord> found = PdfProbe::words(pdf());
    expectWordsInsideMargins(found, 50);
    // Left indents are in points on the page: \li1440 is one inch.
    const PdfWord* indent = find(found, "IndentWord");
    ASSERT_NE(indent, nullptr);
    EXPECT_NEAR(indent->box.left(), 40 + 50 + 72 - 18, 1.5);
    const PdfWord* right = find(found, "RightWord");
    ASSERT_NE(right, nullptr);
    EXPECT_NEAR(right->box.right(), 648 - 40 - 50, 1.5);
}

TEST_F(TextToPdfTest, RtfLengthsArePointsOnThePage)
{
    // Qt scales vertical spacing, fixed line heights and tab stops by the
    // device's dpi; on the page they must come out in points as written.
    const QByteArray rtf = "{\\rtf1{\\fonttbl{\\f0\\fswiss Helvetica;}}\\f0\\fs24 first\\par"
                           "\\pard\\sb720 second\\par"
                           "\\pard\\sl-720 exact\\line exacttwo\\par"
                           "\\pard x\\tab tabbed\\par"
                           "\\pard\\tx2880 y\\tab stop\\par}";
    const ConversionResult result = TextToPdf::CreateRTFtoPDF(write("lengths.rtf", rtf), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    QHash<QString, QRectF> box;
    for (const PdfWord& w : PdfProbe::words(pdf()))
        box.insert(w.text, w.box);
    ASSERT_EQ(box.size(), 8);
    const double line = box["first"].height();
    EXPECT_NEAR(box["second"].top() - box["first"].top(), line + 36, 1.0);
    EXPECT_NEAR(box["exacttwo"].top() - box["exact"].top(), 36, 0.5);
    EXPECT_NEAR(box["tabbed"].left() - box["x"].left(), 36, 0.5);
    EXPECT_NEAR(box["stop"].left() - box["y"].left(), 144, 0.5);
    EXPECT_NEAR(box["first"].left(), 40 + 50, 0.5);
    EXPECT_NEAR(box["first"].top(), 40, 1.0);
}

TEST_F(TextToPdfTest, CocoaRtfReadsCleanly)
{
    const ConversionResult result = TextToPdf::CreateRTFtoPDF(write("cocoa.rtf", test::cocoaSample()), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(PdfProbe::text(pdf()).split('\n', Qt::SkipEmptyParts),
              (QStringList{"Cocoa opening line", "Cocoa bold line", "Accents café and € euro", "é mac roman",
                           "Red cocoa line", "Cocoa link", "Final cocoa line"}));
    EXPECT_EQ(PdfProbe::links(pdf()), QStringList{"https://www.example.com/"});
}

TEST_F(TextToPdfTest, LongFormattedRtfNeverCutsALine)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Helvetica;}{\\f1\\froman Times;}}";
    QStringList expected;
    for (int i = 0; i < 90; ++i) {
        const QByteArray words = "para" + QByteArray::number(i) + " text of varied size";
        rtf += "\\pard\\sb" + QByteArray::number((i % 5) * 60) + "\\f" + QByteArray::number(i % 2) + "\\fs" +
               QByteArray::number(16 + (i * 7) % 60) + " " + words + "\\par\n";
        expected << PdfProbe::wordsOf(QString::fromLatin1(words));
    }
    rtf += "}";
    const ConversionResult result = TextToPdf::CreateRTFtoPDF(write("sizes.rtf", rtf), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    expectExactPages(pdf(), 5);
    const QList<PdfWord> found = PdfProbe::words(pdf());
    EXPECT_EQ(joined(found), joined(expected));
    expectWordsInsideMargins(found, 50);
}

TEST_F(TextToPdfTest, FailuresNameTheFileAndLeaveTheOldPdf)
{
    const QByteArray old = "%PDF-1.4 previous";
    test::writeFile(pdf(), old);
    const std::pair<ConversionResult, QStringList> failures[] = {
        {TextToPdf::CreateRTFtoPDF(write("notes.rtf", "Just some words"), pdf()), {"notes.rtf", "not an RTF document"}},
        {TextToPdf::CreateRTFtoPDF(write("blank.rtf", {}), pdf()), {"blank.rtf", "empty"}},
        {TextToPdf::CreateTXTtoPDF(m_dir.file("missing.txt"), pdf()), {"missing.txt"}},
    };
    for (const auto& [result, named] : failures) {
        EXPECT_FALSE(result.ok);
        for (const QString& part : named)
            EXPECT_TRUE(result.error.contains(part)) << result.error.toStdString();
    }
    EXPECT_EQ(test::readFile(pdf()), old);

    const QString unwritable = m_dir.file("no-such-folder/out.pdf");
    ConversionResult result = TextToPdf::CreateTXTtoPDF(write("fine.txt", "fine"), unwritable);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(unwritable));
    EXPECT_FALSE(QFileInfo::exists(unwritable));

    // A good conversion replaces the old file whole.
    result = TextToPdf::CreateTXTtoPDF(write("fine.txt", "fine words"), pdf());
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(PdfProbe::text(pdf()).contains("fine words"));
    EXPECT_EQ(QDir(m_dir.path()).entryList({"out.pdf*"}, QDir::Files), QStringList{"out.pdf"});
}

TEST_F(TextToPdfTest, ConvertsByLowerCasedExtension)
{
    auto result = TextToPdf::convertForImport(write("report.TXT", "{\\rtf1 shown as text}"), pdf());
    ASSERT_TRUE(result.has_value() && result->ok);
    EXPECT_TRUE(PdfProbe::text(pdf()).contains("{\\rtf1 shown as text}"));

    result = TextToPdf::convertForImport(write("letter.Rtf", "{\\rtf1 read as rtf}"), pdf());
    ASSERT_TRUE(result.has_value() && result->ok);
    EXPECT_EQ(PdfProbe::text(pdf()).trimmed(), "read as rtf");

    EXPECT_FALSE(TextToPdf::convertForImport(write("book.pdf", "%PDF"), pdf()).has_value());
    EXPECT_FALSE(TextToPdf::convertForImport(write("README", "x"), pdf()).has_value());
}

TEST_F(TextToPdfTest, ADocumentWiderThanThePrintableWidthIsShrunkToFit)
{
    // A caller's table with fixed columns 900 points wide in all.
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextTableFormat format;
    format.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 300),
                                      QTextLength(QTextLength::FixedLength, 300),
                                      QTextLength(QTextLength::FixedLength, 300)});
    QTextTable* table = cursor.insertTable(1, 3, format);
    table->cellAt(0, 0).firstCursorPosition().insertText("leftcell");
    table->cellAt(0, 2).firstCursorPosition().insertText("rightcell");
    const ConversionResult result = TextToPdf::PrinttoPDF(doc, pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.pageCount, 1);
    expectExactPages(pdf(), 1);
    const QList<PdfWord> found = PdfProbe::words(pdf());
    ASSERT_EQ(joined(found), "leftcell rightcell");
    expectWordsInsideMargins(found, 0);
    // Shrunk, not cut: the right column starts past the middle of the page.
    EXPECT_GT(found[1].box.left(), 648 / 2);
}

// Points the user's temporary folder at a test folder while alive.
class TemporaryFolderOverride {
public:
    explicit TemporaryFolderOverride(const QString& folder) { qputenv("TMPDIR", QFile::encodeName(folder)); }
    ~TemporaryFolderOverride() { m_old.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", m_old); }

private:
    const QByteArray m_old = qgetenv("TMPDIR");
};

TEST(QuirePdfPath, FolderInTheTemporaryFolderForTheOwnerOnly)
{
    test::TempDir dir;
    TemporaryFolderOverride tmp(dir.path());
    const QString folder = dir.file("Quire");
    EXPECT_EQ(TextToPdf::quireFolder(), folder);

    QString error;
    for (int again = 0; again < 2; ++again) { // made, then found
        EXPECT_EQ(TextToPdf::quirePdfPath(&error), folder + "/quire.pdf");
        EXPECT_TRUE(error.isEmpty());
    }
    EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ExeOther |
                                                 QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup),
              QFile::Permissions());
    EXPECT_TRUE(QFileInfo(folder).permissions() & QFile::WriteOwner);
}

TEST(QuirePdfPath, RefusesAFileOrALinkInItsPlace)
{
    test::TempDir dir;
    TemporaryFolderOverride tmp(dir.path());
    const QString folder = dir.file("Quire");
    test::writeFile(folder, "not a folder");
    QString error;
    EXPECT_TRUE(TextToPdf::quirePdfPath(&error).isEmpty());
    EXPECT_TRUE(error.contains(folder));

    QFile::remove(folder);
    QDir().mkpath(dir.file("elsewhere"));
    ASSERT_TRUE(QFile::link(dir.file("elsewhere"), folder));
    error.clear();
    EXPECT_TRUE(TextToPdf::quirePdfPath(&error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(PrintedPdf, EachConversionReadsItsOwnFileWhileQuirePdfShowsTheLatest)
{
    test::TempDir dir;
    TemporaryFolderOverride tmp(dir.path());
    test::writeFile(dir.file("one.txt"), "One page.");
    test::writeFile(dir.file("long.txt"), QByteArray("A line.\n").repeated(200));
    const QString quirePdf = dir.file("Quire/quire.pdf");
    auto pageCount = [](const QString& path) { return pdf::PdfDocument::open(path)->pageCount(); };

    auto first = PrintedPdf::print(dir.file("one.txt"), PrintedPdf::Place::QuireFolder);
    ASSERT_TRUE(first->result().ok) << first->result().error.toStdString();
    EXPECT_EQ(test::readFile(quirePdf), test::readFile(first->path()));
    auto second = PrintedPdf::print(dir.file("long.txt"), PrintedPdf::Place::QuireFolder);
    ASSERT_TRUE(second->result().ok);
    EXPECT_EQ(test::readFile(quirePdf), test::readFile(second->path()));
    EXPECT_EQ(pageCount(first->path()), 1); // the first import still reads its own pages
    EXPECT_GT(pageCount(second->path()), 1);
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

    const QList<PdfWord> expected = PdfProbe::words(pdf());
    auto doc = pdf::PdfDocument::open(pdf());
    int matched = 0;
    for (int position = 0; position < doc->pageCount(); ++position) {
        QList<PdfWord> theirs;
        for (const PdfWord& w : expected)
            if (w.page == position + 1)
                theirs << w;
        QList<PdfWord> ours;
        for (const TextBlock& block : doc->words(position).blocks)
            for (const TextLine& line : block.lines)
                for (const TextWord& w : line.words) {
                    EXPECT_EQ(line.direction, 0);
                    ours << PdfWord{position + 1, QRectF(w.box.x * 648, w.box.y * 468, w.box.width * 648,
                                                         w.box.height * 468), w.text};
                }
        EXPECT_EQ(joined(ours), joined(theirs)) << "page " << position + 1;
        for (qsizetype i = 0; i < std::min(ours.size(), theirs.size()); ++i) {
            // Both start a word at its first letter's origin and stand it on
            // the same baseline; heights differ with the fonts' measures.
            EXPECT_NEAR(ours[i].box.left(), theirs[i].box.left(), 1.0) << ours[i].text.toStdString();
            EXPECT_TRUE(ours[i].box.contains(QPointF(theirs[i].box.center().x(), theirs[i].box.center().y())))
                << ours[i].text.toStdString();
            ++matched;
        }
    }
    EXPECT_GT(matched, 100);
    EXPECT_TRUE(PdfProbe::text(pdf()).contains("We find the office waffle"));
}
