// Text and RTF files printed to PDF, read back with poppler.
#include "PdfProbe.h"
#include "RtfSamples.h"
#include "support/TestEnv.h"
#include "import/text/TextToPdf.h"
#include "util/Log.h"

#include <QFile>
#include <QHash>
#include <QDir>
#include <QFileInfo>
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
    QString pdf() const { return m_dir.file(QStringLiteral("out.pdf")); }

    static void expectExactPages(const QString& pdf, int minimumPages)
    {
        const QList<QSizeF> sizes = PdfProbe::pageSizes(pdf);
        ASSERT_GE(sizes.size(), minimumPages);
        for (const QSizeF& s : sizes) {
            EXPECT_DOUBLE_EQ(s.width(), 648);
            EXPECT_DOUBLE_EQ(s.height(), 468);
        }
    }

    // Every word lies inside the printable area, so no line is cut at a
    // page's end; `inset` narrows the area further on the left and right.
    static void expectWordsInsideMargins(const QList<PdfWord>& words, double inset)
    {
        ASSERT_FALSE(words.isEmpty());
        for (const PdfWord& w : words) {
            EXPECT_GE(w.box.left(), 40 + inset - 1.5) << w.text.toStdString() << " page " << w.page;
            EXPECT_LE(w.box.right(), 648 - 40 - inset + 1.5) << w.text.toStdString() << " page " << w.page;
            EXPECT_GE(w.box.top(), 40 - 1.0) << w.text.toStdString() << " page " << w.page;
            EXPECT_LE(w.box.bottom(), 468 - 50 + 1.0) << w.text.toStdString() << " page " << w.page;
        }
    }

    test::TempDir m_dir;
};

std::string words(const QList<PdfWord>& list)
{
    QStringList out;
    for (const PdfWord& w : list)
        out << w.text;
    return out.join(QLatin1Char(' ')).toStdString();
}

std::string joined(const QStringList& list)
{
    return list.join(QLatin1Char(' ')).toStdString();
}

TEST_F(TextToPdfTest, PlainTextSpansPagesInsideTheMarginsAndRoundTrips)
{
    QByteArray text;
    QStringList expected;
    for (int i = 1; i <= 120; ++i) {
        const QByteArray line = "line" + QByteArray::number(i) + " alpha beta gamma delta epsilon zeta eta theta";
        text += line + "\n";
        expected += PdfProbe::wordsOf(QString::fromLatin1(line));
    }
    // A paragraph long enough to wrap.
    QByteArray para;
    for (int i = 0; i < 60; ++i)
        para += "wrap" + QByteArray::number(i) + " ";
    text += para + "\n";
    expected += PdfProbe::wordsOf(QString::fromLatin1(para));

    const ConversionResult result = TextToPdf::CreateTXTtoPDF(write(QStringLiteral("long.txt"), text), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.warnings.isEmpty());
    expectExactPages(pdf(), 4);
    EXPECT_EQ(PdfProbe::pageSizes(pdf()).size(), result.pageCount);

    const QList<PdfWord> found = PdfProbe::words(pdf());
    EXPECT_EQ(words(found), joined(expected));
    // The text area is 468 points wide and centred, with insets of 30 points.
    expectWordsInsideMargins(found, 50 + 30);
    EXPECT_NEAR(found.first().box.left(), 40 + 50 + 30, 1.5);
    // The top inset is on the first page only.
    EXPECT_GE(found.first().box.top(), 40 + 15 - 1.0);
    EXPECT_LE(found.first().box.top(), 40 + 15 + 4.0);
    auto firstOnPage2 = std::find_if(found.begin(), found.end(), [](const PdfWord& w) { return w.page == 2; });
    ASSERT_NE(firstOnPage2, found.end());
    EXPECT_LE(firstOnPage2->box.top(), 40 + 4.0);
    EXPECT_EQ(PdfProbe::info(pdf(), QStringLiteral("Creator")), QStringLiteral("Quire"));
}

TEST_F(TextToPdfTest, Utf8WithGreekCyrillicAndHebrewRoundTrips)
{
    const QString text = QStringLiteral(
        "Ελληνικά κείμενο καλημέρα\r\nРусский текст привет мир\r\nעברית שלום עולם\r\n"
        "Mixed ÄÖÜ ß façade naïve");
    const ConversionResult result =
        TextToPdf::CreateTXTtoPDF(write(QStringLiteral("scripts.txt"), text.toUtf8()), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.warnings.isEmpty());
    const QString extracted = PdfProbe::text(pdf());
    for (const QString& word : PdfProbe::wordsOf(QStringLiteral(
             "Ελληνικά κείμενο καλημέρα Русский текст привет мир Mixed ÄÖÜ ß façade naïve")))
        EXPECT_TRUE(extracted.contains(word)) << word.toStdString();
    // Hebrew runs right to left; poppler may give the words in either order.
    for (const QString& word : {QStringLiteral("שלום"), QStringLiteral("עולם"), QStringLiteral("עברית")})
        EXPECT_TRUE(extracted.contains(word)) << word.toStdString();
}

TEST_F(TextToPdfTest, Windows1252TextIsReadAsSuchWithAWarning)
{
    log::Capture capture;
    const QByteArray bytes = "Caf\xE9 cr\xE8me br\xFBl\xE9" "e \x93quoted\x94 \x80" "5 na\xEFve\n";
    const QString source = write(QStringLiteral("latin.txt"), bytes);
    const ConversionResult result = TextToPdf::CreateTXTtoPDF(source, pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    ASSERT_EQ(result.warnings.size(), 1);
    EXPECT_TRUE(result.warnings.first().contains(QStringLiteral("latin.txt")));
    EXPECT_TRUE(capture.contains(QStringLiteral("Windows-1252")));
    const QString extracted = PdfProbe::text(pdf());
    EXPECT_TRUE(extracted.contains(QStringLiteral("Café crème brûlée “quoted” €5 naïve")))
        << extracted.toStdString();
    EXPECT_FALSE(extracted.contains(QChar::ReplacementCharacter));
}

TEST_F(TextToPdfTest, EmptyTextFileGivesOneBlankPage)
{
    const ConversionResult result = TextToPdf::CreateTXTtoPDF(write(QStringLiteral("empty.txt"), {}), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.pageCount, 1);
    expectExactPages(pdf(), 1);
    EXPECT_TRUE(PdfProbe::text(pdf()).trimmed().isEmpty());
}

TEST_F(TextToPdfTest, RtfFeatureSampleRoundTrips)
{
    const ConversionResult result =
        TextToPdf::CreateRTFtoPDF(write(QStringLiteral("features.rtf"), test::featureSample()), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.warnings.isEmpty()) << result.warnings.join(QLatin1Char('\n')).toStdString();
    expectExactPages(pdf(), 2);

    // The \page break puts the last paragraph on a page of its own.
    QStringList pages = PdfProbe::pageTexts(pdf());
    ASSERT_EQ(pages.size(), result.pageCount);
    EXPECT_EQ(pages.takeLast().trimmed(), QStringLiteral("SecondPageWord"));
    const QString first = pages.join(QLatin1Char('\n'));
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

    EXPECT_EQ(PdfProbe::links(pdf()), QStringList{QStringLiteral("https://example.org/quire")});
    EXPECT_EQ(PdfProbe::images(pdf()), (QStringList{QStringLiteral("40 x 20"), QStringLiteral("24 x 24")}));
    // Installed faces, real italics and bold included, stand in for the
    // document's fonts.
    EXPECT_EQ(PdfProbe::fonts(pdf()),
              (QStringList{QStringLiteral("DejaVuSans"), QStringLiteral("DejaVuSansMono"),
                           QStringLiteral("DejaVuSerif"), QStringLiteral("DejaVuSerif-Bold"),
                           QStringLiteral("DejaVuSerif-Italic")}));

    const QList<PdfWord> found = PdfProbe::words(pdf());
    expectWordsInsideMargins(found, 50);
    // Left indents are in points on the page: \li1440 is one inch.
    auto indent = std::find_if(found.begin(), found.end(), [](const PdfWord& w) { return w.text == "IndentWord"; });
    ASSERT_NE(indent, found.end());
    EXPECT_NEAR(indent->box.left(), 40 + 50 + 72 - 18, 1.5);
    auto right = std::find_if(found.begin(), found.end(), [](const PdfWord& w) { return w.text == "RightWord"; });
    ASSERT_NE(right, found.end());
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
    const ConversionResult result = TextToPdf::CreateRTFtoPDF(write(QStringLiteral("lengths.rtf"), rtf), pdf());
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
    const ConversionResult result =
        TextToPdf::CreateRTFtoPDF(write(QStringLiteral("cocoa.rtf"), test::cocoaSample()), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const QStringList lines = PdfProbe::text(pdf()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("Cocoa opening line"), QStringLiteral("Cocoa bold line"),
                                  QStringLiteral("Accents café and € euro"), QStringLiteral("é mac roman"),
                                  QStringLiteral("Red cocoa line"), QStringLiteral("Cocoa link"),
                                  QStringLiteral("Final cocoa line")}));
    EXPECT_EQ(PdfProbe::links(pdf()), QStringList{QStringLiteral("https://www.example.com/")});
}

TEST_F(TextToPdfTest, LongFormattedRtfNeverCutsALine)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Helvetica;}{\\f1\\froman Times;}}";
    QStringList expected;
    for (int i = 0; i < 90; ++i) {
        const int halfPoints = 16 + (i * 7) % 60;
        const QByteArray word = "para" + QByteArray::number(i);
        rtf += "\\pard\\sb" + QByteArray::number((i % 5) * 60) + "\\f" + QByteArray::number(i % 2) + "\\fs" +
               QByteArray::number(halfPoints) + " " + word + " text of varied size\\par\n";
        expected << QString::fromLatin1(word) << QStringLiteral("text") << QStringLiteral("of")
                 << QStringLiteral("varied") << QStringLiteral("size");
    }
    rtf += "}";
    const ConversionResult result = TextToPdf::CreateRTFtoPDF(write(QStringLiteral("sizes.rtf"), rtf), pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    expectExactPages(pdf(), 5);
    const QList<PdfWord> found = PdfProbe::words(pdf());
    EXPECT_EQ(words(found), joined(expected));
    expectWordsInsideMargins(found, 50);
}

TEST_F(TextToPdfTest, FailuresNameTheFileAndLeaveTheOldPdf)
{
    const QByteArray old = "%PDF-1.4 previous";
    test::writeFile(pdf(), old);

    ConversionResult result = TextToPdf::CreateRTFtoPDF(write(QStringLiteral("notes.rtf"), "Just some words"), pdf());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QStringLiteral("notes.rtf")));
    EXPECT_TRUE(result.error.contains(QStringLiteral("not an RTF document")));

    result = TextToPdf::CreateRTFtoPDF(write(QStringLiteral("blank.rtf"), {}), pdf());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QStringLiteral("blank.rtf")));
    EXPECT_TRUE(result.error.contains(QStringLiteral("empty")));

    result = TextToPdf::CreateTXTtoPDF(m_dir.file(QStringLiteral("missing.txt")), pdf());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QStringLiteral("missing.txt")));
    EXPECT_EQ(test::readFile(pdf()), old);

    const QString unwritable = m_dir.file(QStringLiteral("no-such-folder/out.pdf"));
    result = TextToPdf::CreateTXTtoPDF(write(QStringLiteral("fine.txt"), "fine"), unwritable);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(unwritable));
    EXPECT_FALSE(QFileInfo::exists(unwritable));

    // A good conversion replaces the old file whole.
    result = TextToPdf::CreateTXTtoPDF(write(QStringLiteral("fine.txt"), "fine words"), pdf());
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(PdfProbe::text(pdf()).contains(QStringLiteral("fine words")));
    EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("out.pdf*")}, QDir::Files),
              QStringList{QStringLiteral("out.pdf")});
}

TEST_F(TextToPdfTest, ConvertsByLowerCasedExtension)
{
    auto result = TextToPdf::convertForImport(write(QStringLiteral("report.TXT"), "{\\rtf1 shown as text}"), pdf());
    ASSERT_TRUE(result.has_value());
    ASSERT_TRUE(result->ok);
    EXPECT_TRUE(PdfProbe::text(pdf()).contains(QStringLiteral("{\\rtf1 shown as text}")));

    result = TextToPdf::convertForImport(write(QStringLiteral("letter.Rtf"), "{\\rtf1 read as rtf}"), pdf());
    ASSERT_TRUE(result.has_value() && result->ok);
    EXPECT_EQ(PdfProbe::text(pdf()).trimmed(), QStringLiteral("read as rtf"));

    EXPECT_FALSE(TextToPdf::convertForImport(write(QStringLiteral("book.pdf"), "%PDF"), pdf()).has_value());
    EXPECT_FALSE(TextToPdf::convertForImport(write(QStringLiteral("README"), "x"), pdf()).has_value());
}

TEST_F(TextToPdfTest, PrintsADocumentBuiltByTheCaller)
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("caller built document"));
    const ConversionResult result = TextToPdf::PrinttoPDF(doc, pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.pageCount, 1);
    expectExactPages(pdf(), 1);
    EXPECT_EQ(PdfProbe::text(pdf()).trimmed(), QStringLiteral("caller built document"));
}

TEST_F(TextToPdfTest, ContentWiderThanThePrintableWidthIsShrunkToFit)
{
    // A table with fixed columns 900 points wide in all.
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextTableFormat format;
    format.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 300),
                                      QTextLength(QTextLength::FixedLength, 300),
                                      QTextLength(QTextLength::FixedLength, 300)});
    QTextTable* table = cursor.insertTable(1, 3, format);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("leftcell"));
    table->cellAt(0, 2).firstCursorPosition().insertText(QStringLiteral("rightcell"));
    const ConversionResult result = TextToPdf::PrinttoPDF(doc, pdf());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const QList<PdfWord> found = PdfProbe::words(pdf());
    ASSERT_EQ(words(found), std::string("leftcell rightcell"));
    expectWordsInsideMargins(found, 0);
    // Shrunk, not cut: the right column starts past the middle of the page.
    EXPECT_GT(found[1].box.left(), 648 / 2);
}

} // namespace

namespace {

// Points the user's temporary folder somewhere else while alive.
class TemporaryFolderOverride {
public:
    explicit TemporaryFolderOverride(const QString& folder)
        : m_old(qgetenv("TMPDIR")), m_had(qEnvironmentVariableIsSet("TMPDIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(folder));
    }
    ~TemporaryFolderOverride()
    {
        if (m_had)
            qputenv("TMPDIR", m_old);
        else
            qunsetenv("TMPDIR");
    }

private:
    QByteArray m_old;
    bool m_had;
};

TEST(QuirePdfPath, FolderInTheTemporaryFolderForTheOwnerOnly)
{
    test::TempDir dir;
    TemporaryFolderOverride tmp(dir.path());
    const QString folder = dir.file(QStringLiteral("Quire"));
    EXPECT_EQ(TextToPdf::quireFolder(), folder);

    QString error;
    EXPECT_EQ(TextToPdf::quirePdfPath(&error), folder + QStringLiteral("/quire.pdf"));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ExeOther |
                                                 QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup),
              QFile::Permissions());
    EXPECT_TRUE(QFileInfo(folder).permissions() & QFile::WriteOwner);
    // Existing: the same path again.
    EXPECT_EQ(TextToPdf::quirePdfPath(&error), folder + QStringLiteral("/quire.pdf"));
}

TEST(QuirePdfPath, RefusesAFileOrALinkInItsPlace)
{
    test::TempDir dir;
    TemporaryFolderOverride tmp(dir.path());
    const QString folder = dir.file(QStringLiteral("Quire"));
    test::writeFile(folder, "not a folder");
    QString error;
    EXPECT_TRUE(TextToPdf::quirePdfPath(&error).isEmpty());
    EXPECT_TRUE(error.contains(folder));

    QFile::remove(folder);
    QDir().mkpath(dir.file(QStringLiteral("elsewhere")));
    ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("elsewhere")), folder));
    error.clear();
    EXPECT_TRUE(TextToPdf::quirePdfPath(&error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
