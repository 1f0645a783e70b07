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

pdf::OutlineEntry entry(const QString& title, int target, float top = 0, std::vector<pdf::OutlineEntry> children = {})
{
    return pdf::OutlineEntry{title, target, top, std::move(children)};
}

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

    // Writing fails with `name` and leaves the file and its folder as they were.
    void expectFailure(const QString& path, const std::vector<pdf::OutlineEntry>& entries, const char* name)
    {
        const QByteArray before = test::readFile(path);
        const QStringList filesBefore = files();
        try {
            pdf::writeOutline(path, entries);
            ADD_FAILURE() << "no error " << name;
        } catch (const Error& e) {
            EXPECT_EQ(e.name(), QString::fromLatin1(name)) << e.reason().toStdString();
        }
        EXPECT_EQ(test::readFile(path), before);
        EXPECT_EQ(files(), filesBefore);
    }

    test::TempDir m_dir;
};

TEST_F(WriteOutline, NestedBookmarksReadBackByBothReaders)
{
    const QString path = copyOf("plain.pdf");
    const QByteArray original = test::readFile(path);
    const QFile::Permissions permissions = QFile::permissions(path);
    const float pageHeight = pdf::PdfDocument::open(path)->displayedBounds(3).height;
    pdf::writeOutline(path, {entry("Part One", 0, 0,
                                   {entry("Über uns", 1, 100, {entry("Глава 😀", 3, 250)}),
                                    entry("(Brackets) \\ and ü", 4)}),
                             entry("Part Two", 9)});

    // Appended to the original bytes, a sound file, and the same permissions.
    const QByteArray written = test::readFile(path);
    EXPECT_TRUE(written.startsWith(original));
    EXPECT_GT(written.size(), original.size());
    EXPECT_TRUE(test::qpdfChecks(path));
    EXPECT_EQ(QFile::permissions(path), permissions);
    EXPECT_FALSE(permissions & QFile::ReadOther);
    EXPECT_EQ(files(), QStringList{"plain.pdf"});

    const QStringList expected = {"Part One @1", "  Über uns @2", "    Глава 😀 @4",
                                  "  (Brackets) \\ and ü @5", "Part Two @10"};
    const auto byQpdf = test::qpdfOutline(path);
    ASSERT_TRUE(byQpdf);
    ASSERT_EQ(test::outlineLines(*byQpdf), expected);
    EXPECT_EQ(test::outlineLines(pdf::PdfDocument::open(path)->outline()), expected);
    const QpdfBookmark& deep = (*byQpdf)[0].kids[0].kids[0];
    EXPECT_EQ(deep.view, "/FitH");
    ASSERT_TRUE(deep.top);
    EXPECT_NEAR(*deep.top, pageHeight - 250, 0.01); // PDF space counts from the bottom
}

TEST_F(WriteOutline, ReplacesTheBookmarksAFileHas)
{
    const QString path = copyOf("outline.pdf");
    ASSERT_EQ(pdf::PdfDocument::open(path)->outline().size(), 4u);
    pdf::writeOutline(path, {entry("Only", 2)});
    const auto byQpdf = test::qpdfOutline(path);
    ASSERT_TRUE(byQpdf);
    EXPECT_EQ(test::outlineLines(*byQpdf), QStringList{"Only @3"});
    EXPECT_EQ(test::outlineLines(pdf::PdfDocument::open(path)->outline()), QStringList{"Only @3"});
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
    pdf::writeOutline(repaired, {entry("Mended", 6)});
    EXPECT_FALSE(test::readFile(repaired).startsWith(bytes));
    EXPECT_TRUE(test::qpdfChecks(repaired));
    const auto mended = test::qpdfOutline(repaired);
    ASSERT_TRUE(mended);
    EXPECT_EQ(test::outlineLines(*mended), QStringList{"Mended @7"});

    // An owner password only: the new titles are encrypted like the rest.
    const QString locked = copyOf("ownerlocked.pdf");
    pdf::writeOutline(locked, {entry("Locked chapter", 1)});
    EXPECT_FALSE(test::readFile(locked).contains("Locked chapter"));
    const auto decrypted = test::qpdfOutline(locked);
    ASSERT_TRUE(decrypted);
    EXPECT_EQ(test::outlineLines(*decrypted), QStringList{"Locked chapter @2"});
}

TEST_F(WriteOutline, FailuresLeaveTheFileAsItWas)
{
    const QString plain = copyOf(QStringLiteral("plain.pdf"));
    expectFailure(plain, {entry(QStringLiteral("Fine"), 0, 0, {entry(QStringLiteral("Beyond"), 10)})},
                  pdf::kPageMissing);
    expectFailure(plain, {entry(QStringLiteral("Before"), -1)}, pdf::kPageMissing);
    expectFailure(copyOf(QStringLiteral("encrypted.pdf")), {entry(QStringLiteral("A"), 0)}, pdf::kPasswordProtected);
    const QString text = m_dir.file(QStringLiteral("text.pdf"));
    test::writeFile(text, "plain words");
    expectFailure(text, {entry(QStringLiteral("A"), 0)}, pdf::kNotPdf);
    EXPECT_THROW(pdf::writeOutline(m_dir.file(QStringLiteral("missing.pdf")), {entry(QStringLiteral("A"), 0)}),
                 Error);

    // Nothing to write: the file is not even opened.
    EXPECT_NO_THROW(pdf::writeOutline(text, {}));
    EXPECT_EQ(test::readFile(text), QByteArray("plain words"));
}

// An RTF document's heading and hyperlink, printed and imported, become the
// book's outline entry and link area.
TEST(RtfImport, HeadingsAndHyperlinksReachTheBook)
{
    if (!test::qpdfAvailable())
        GTEST_SKIP() << "qpdf is needed";
    test::TempDir dir;
    test::writeFile(dir.file("book.rtf"),
                    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\n"
                    "\\pard\\outlinelevel0 Linked chapter\\par\n"
                    "\\pard Read {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/quire?a=1&b=2\"}}"
                    "{\\fldrslt{\\ul the site}}} for more.\\par}");
    const ConversionResult printed = TextToPdf::CreateRTFtoPDF(dir.file("book.rtf"), dir.file("quire.pdf"));
    ASSERT_TRUE(printed.ok) << printed.error.toStdString();
    // Qt's PDF writer makes a link annotation of the field's result; the
    // bookmarks added afterwards leave it in place.
    ImportPDFOperation op(dir.file("quire.pdf"), "ALL", 18, 65);
    op.setImportBookmarks(true);
    op.setImportLinks(true);
    op.start();
    EXPECT_EQ(op.errorMessage(), QString());

    ASSERT_TRUE(op.flashOutline());
    ASSERT_EQ(op.flashOutline()->items().size(), 1u);
    const FlashOutlineItem& chapter = *op.flashOutline()->items()[0];
    EXPECT_EQ(chapter.caption(), Text("Linked chapter"));
    EXPECT_EQ(chapter.level(), 1);
    EXPECT_EQ(chapter.pageIndex(), 1);

    ASSERT_TRUE(op.flashPagesAnnotation());
    const auto pages = xml::children(op.flashPagesAnnotation()->pagesAnnotationsNode(), "pageAnnos");
    ASSERT_EQ(pages.size(), 1u);
    const auto annos = xml::children(pages[0], "anno");
    ASSERT_EQ(annos.size(), 1u);
    const xmlNode* action = xml::firstChild(annos[0], "action");
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(xml::attribute(action, "actionType"), Text("com.tessel.flipbook.pageeditor.TAnnoActionOpenURL"));
    EXPECT_EQ(xml::text(xml::firstChild(action, "url")), "https://example.org/quire?a=1&b=2");
    // The area lies on the second line of the text column, left of centre.
    const xmlNode* location = xml::firstChild(annos[0], "location");
    ASSERT_NE(location, nullptr);
    const double x = xml::attribute(location, "x").value_or(QString()).toDouble();
    const double y = xml::attribute(location, "y").value_or(QString()).toDouble();
    EXPECT_GT(x, 40.0 / 648);
    EXPECT_LT(x, 0.5);
    EXPECT_GT(y, 40.0 / 468);
    EXPECT_LT(y, 0.25);
}

} // namespace
