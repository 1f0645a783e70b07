// Bookmarks written into PDF files (pdf::writeOutline). (Printed headings read
// back: RtfBookmarks; their outline in the book: OutlinePdf; a printed link's
// area: TextToPdf's feature sample.)
#include "PdfFixtures.h"
#include "import/PdfDocument.h"
#include "import/text/PdfProbe.h"
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
        if (!test::PdfProbe::available())
            GTEST_SKIP() << "qpdf and poppler-utils are needed";
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
        const QStringList byQpdf = test::outlineLines(test::PdfProbe::bookmarks(path).value_or(QList<QpdfBookmark>()));
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
    EXPECT_TRUE(written.startsWith(original) && written.size() > original.size() && test::PdfProbe::checks(path));
    EXPECT_EQ(QFile::permissions(path), permissions);
    EXPECT_EQ(files(), QStringList{"plain.pdf"});
    EXPECT_EQ(lines(path), (QStringList{"Part One @1", "  Über uns @2", "    Глава 😀 @4", "  (Brackets) \\ and ü @5",
                                        "Part Two @10"}));
    const QpdfBookmark deep =
        test::PdfProbe::bookmarks(path).value_or(QList<QpdfBookmark>()).value(0).kids.value(0).kids.value(0);
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
    EXPECT_TRUE(!test::readFile(repaired).startsWith(bytes) && test::PdfProbe::checks(repaired));
    EXPECT_EQ(lines(repaired), QStringList{"Mended @7"});
    // An owner password only: the new titles are encrypted like the rest.
    const QString locked = copyOf("ownerlocked.pdf");
    pdf::writeOutline(locked, {Entry{"Locked chapter", 1, 0, {}}});
    EXPECT_FALSE(test::readFile(locked).contains("Locked chapter"));
    EXPECT_EQ(test::outlineLines(test::PdfProbe::bookmarks(locked).value_or(QList<QpdfBookmark>())),
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

} // namespace
