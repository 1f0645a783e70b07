// Bookmarks written into PDF files (pdf::writeOutline), and RTF documents
// whose headings and links come through the import into the book.
#include "PdfFixtures.h"
#include "import/ImportPDFOperation.h"
#include "import/PdfDocument.h"
#include "import/text/QpdfOutline.h"
#include "import/text/TextToPdf.h"
#include "support/TestEnv.h"
#include "util/Error.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quire;
using quire::test::pdfFixture;
using quire::test::QpdfBookmark;

namespace {

class WriteOutline : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::qpdfAvailable())
            GTEST_SKIP() << "qpdf is needed";
    }

    // A copy of a fixture to write into.
    QString copyOf(const QString& fixture)
    {
        const QString path = m_dir.file(fixture);
        EXPECT_TRUE(QFile::copy(pdfFixture(fixture), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        return path;
    }

    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }
    QStringList lines(const QString& path)
    {
        const QStringList byQpdf = test::outlineLines(test::qpdfOutline(path).value_or(QList<QpdfBookmark>()));
        EXPECT_EQ(test::outlineLines(pdf::PdfDocument::open(path)->outline()), byQpdf);
        return byQpdf;
    }

    test::TempDir m_dir;
};

using Entry = pdf::OutlineEntry;

TEST_F(WriteOutline, NestedBookmarksAreAppendedAndReplaceAnyTheFileHad)
{
    const QString path = copyOf("plain.pdf");
    const QByteArray original = test::readFile(path);
    const QFile::Permissions permissions = QFile::permissions(path);
    const float pageHeight = pdf::PdfDocument::open(path)->displayedBounds(3).height;
    pdf::writeOutline(path, {Entry{"Part One", 0, 0, {Entry{"Über uns", 1, 100, {Entry{"Глава 😀", 3, 250, {}}}},
                                                      Entry{"(Brackets) \\ and ü", 4, 0, {}}}},
                             Entry{"Part Two", 9, 0, {}}});
    // Appended to the original bytes, a sound file, and the same permissions.
    const QByteArray written = test::readFile(path);
    EXPECT_TRUE(written.startsWith(original) && written.size() > original.size());
    EXPECT_TRUE(test::qpdfChecks(path));
    EXPECT_EQ(QFile::permissions(path), permissions);
    EXPECT_EQ(files(), QStringList{"plain.pdf"});
    EXPECT_EQ(lines(path), (QStringList{"Part One @1", "  Über uns @2", "    Глава 😀 @4", "  (Brackets) \\ and ü @5",
                                        "Part Two @10"}));
    const QpdfBookmark deep = test::qpdfOutline(path).value_or(QList<QpdfBookmark>()).value(0).kids.value(0).kids.value(0);
    EXPECT_EQ(deep.view, "/FitH");
    EXPECT_NEAR(deep.top.value_or(0), pageHeight - 250, 0.01); // PDF space counts from the bottom

    const QString outlined = copyOf("outline.pdf");
    ASSERT_EQ(pdf::PdfDocument::open(outlined)->outline().size(), 4u);
    pdf::writeOutline(outlined, {Entry{"Only", 2, 0, {}}});
    EXPECT_EQ(lines(outlined), QStringList{"Only @3"});
}

TEST_F(WriteOutline, FilesTheLibraryRepairedOrThatAreEncryptedTakeBookmarks)
{
    // A wrong cross-reference offset: the library rebuilds the table and the
    // file is written anew.
    const QString repaired = m_dir.file("repaired.pdf");
    QByteArray bytes = test::readFile(pdfFixture("plain.pdf"));
    const qsizetype at = bytes.lastIndexOf("startxref") + 10;
    bytes.replace(at, bytes.indexOf('\n', at) - at, "12");
    test::writeFile(repaired, bytes);
    pdf::writeOutline(repaired, {Entry{"Mended", 6, 0, {}}});
    EXPECT_FALSE(test::readFile(repaired).startsWith(bytes));
    EXPECT_TRUE(test::qpdfChecks(repaired));
    EXPECT_EQ(lines(repaired), QStringList{"Mended @7"});
    // An owner password only: the new titles are encrypted like the rest.
    const QString locked = copyOf("ownerlocked.pdf");
    pdf::writeOutline(locked, {Entry{"Locked chapter", 1, 0, {}}});
    EXPECT_FALSE(test::readFile(locked).contains("Locked chapter"));
    EXPECT_EQ(test::outlineLines(test::qpdfOutline(locked).value_or(QList<QpdfBookmark>())),
              QStringList{"Locked chapter @2"});
}

TEST_F(WriteOutline, FailuresLeaveTheFileAsItWas)
{
    const QString text = m_dir.file("text.pdf");
    test::writeFile(text, "plain words");
    const std::tuple<QString, std::vector<Entry>, QString> cases[] = {
        {copyOf("plain.pdf"), {Entry{"Fine", 0, 0, {Entry{"Beyond", 10, 0, {}}}}}, pdf::kPageMissing},
        {m_dir.file("plain.pdf"), {Entry{"Before", -1, 0, {}}}, pdf::kPageMissing},
        {copyOf("encrypted.pdf"), {Entry{"A", 0, 0, {}}}, pdf::kPasswordProtected},
        {text, {Entry{"A", 0, 0, {}}}, pdf::kNotPdf},
        {m_dir.file("missing.pdf"), {Entry{"A", 0, 0, {}}}, pdf::kNotFound},
    };
    for (const auto& [path, entries, name] : cases) {
        const QByteArray before = test::readFile(path);
        const QStringList filesBefore = files();
        EXPECT_EQ(test::errorOf([&] { pdf::writeOutline(path, entries); }).section(':', 0, 0), name);
        EXPECT_EQ(test::readFile(path), before);
        EXPECT_EQ(files(), filesBefore);
    }
    // Nothing to write: the file is not even opened.
    EXPECT_NO_THROW(pdf::writeOutline(text, {}));
    EXPECT_EQ(test::readFile(text), "plain words");
}

// An RTF document's heading and hyperlink, printed and imported, become the
// book's outline entry and link area: Qt's PDF writer makes a link
// annotation of the field's result, which the bookmarks added afterwards
// leave in place.
TEST(RtfImport, HeadingsAndHyperlinksReachTheBook)
{
    test::TempDir dir;
    test::writeFile(dir.file("book.rtf"), "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\n"
                                          "\\pard\\outlinelevel0 Linked chapter\\par\n\\pard Read {\\field{\\*\\fldinst"
                                          "{HYPERLINK \"https://example.org/quire?a=1&b=2\"}}{\\fldrslt{\\ul the site}}}"
                                          " for more.\\par}");
    const ConversionResult printed = TextToPdf::CreateRTFtoPDF(dir.file("book.rtf"), dir.file("quire.pdf"));
    ASSERT_TRUE(printed.ok) << printed.error.toStdString();
    ImportPDFOperation op(dir.file("quire.pdf"), "ALL", 18, 65);
    op.setImportBookmarks(true);
    op.setImportLinks(true);
    op.start();
    EXPECT_EQ(op.errorMessage(), QString());
    ASSERT_TRUE(op.flashOutline() && op.flashPagesAnnotation());
    ASSERT_EQ(op.flashOutline()->items().size(), 1u);
    const FlashOutlineItem& chapter = *op.flashOutline()->items()[0];
    EXPECT_EQ(std::tuple(chapter.caption(), chapter.level(), chapter.pageIndex()), std::tuple(Text("Linked chapter"), 1, 1));

    const auto pages = xml::children(op.flashPagesAnnotation()->pagesAnnotationsNode(), "pageAnnos");
    ASSERT_EQ(pages.size(), 1u);
    const auto annos = xml::children(pages[0], "anno");
    ASSERT_EQ(annos.size(), 1u);
    EXPECT_EQ(xml::text(xml::firstChild(xml::firstChild(annos[0], "action"), "url")), "https://example.org/quire?a=1&b=2");
    // The area lies on the second line of the text column, left of centre.
    const xmlNode* location = xml::firstChild(annos[0], "location");
    const double x = xml::attribute(location, "x").value_or("").toDouble();
    const double y = xml::attribute(location, "y").value_or("").toDouble();
    EXPECT_TRUE(x > 40.0 / 648 && x < 0.5 && y > 40.0 / 468 && y < 0.25) << x << ", " << y;
}

} // namespace
