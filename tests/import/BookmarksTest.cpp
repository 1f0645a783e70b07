// Bookmarks written into PDF files (pdf::writeOutline), and RTF documents
// whose headings and links come through the import into the book.
#include "PdfFixtures.h"
#include "import/ImportPDFOperation.h"
#include "import/PdfDocument.h"
#include "import/text/QpdfOutline.h"
#include "import/text/RtfSamples.h"
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
    const QString path = copyOf(QStringLiteral("plain.pdf"));
    const QByteArray original = test::readFile(path);
    const QFile::Permissions permissions = QFile::permissions(path);
    const float pageHeight = pdf::PdfDocument::open(path)->displayedBounds(3).height;
    pdf::writeOutline(path, {entry(QStringLiteral("Part One"), 0, 0,
                                   {entry(QStringLiteral("Über uns"), 1, 100,
                                          {entry(QStringLiteral("Глава 😀"), 3, 250)}),
                                    entry(QStringLiteral("(Brackets) \\ and ü"), 4)}),
                             entry(QStringLiteral("Part Two"), 9)});

    // Appended to the original bytes, a sound file, and the same permissions.
    const QByteArray written = test::readFile(path);
    EXPECT_TRUE(written.startsWith(original));
    EXPECT_GT(written.size(), original.size());
    EXPECT_TRUE(test::qpdfChecks(path));
    EXPECT_EQ(QFile::permissions(path), permissions);
    EXPECT_FALSE(permissions & QFile::ReadOther);
    EXPECT_EQ(files(), QStringList{QStringLiteral("plain.pdf")});

    const auto byQpdf = test::qpdfOutline(path);
    ASSERT_TRUE(byQpdf);
    ASSERT_EQ(byQpdf->size(), 2);
    const QpdfBookmark& one = (*byQpdf)[0];
    EXPECT_EQ(one.title, QStringLiteral("Part One"));
    EXPECT_EQ(one.page, 1);
    ASSERT_EQ(one.kids.size(), 2);
    EXPECT_EQ(one.kids[0].title, QStringLiteral("Über uns"));
    EXPECT_EQ(one.kids[0].page, 2);
    ASSERT_EQ(one.kids[0].kids.size(), 1);
    const QpdfBookmark& deep = one.kids[0].kids[0];
    EXPECT_EQ(deep.title, QStringLiteral("Глава 😀"));
    EXPECT_EQ(deep.page, 4);
    EXPECT_EQ(deep.view, QStringLiteral("/FitH"));
    ASSERT_TRUE(deep.top);
    EXPECT_NEAR(*deep.top, pageHeight - 250, 0.01); // PDF space counts from the bottom
    EXPECT_TRUE(deep.kids.isEmpty());
    EXPECT_EQ(one.kids[1].title, QStringLiteral("(Brackets) \\ and ü"));
    EXPECT_EQ(one.kids[1].page, 5);
    EXPECT_EQ((*byQpdf)[1].title, QStringLiteral("Part Two"));
    EXPECT_EQ((*byQpdf)[1].page, 10);

    const std::vector<pdf::OutlineNode> byAdapter = pdf::PdfDocument::open(path)->outline();
    ASSERT_EQ(byAdapter.size(), 2u);
    ASSERT_EQ(byAdapter[0].children.size(), 2u);
    ASSERT_EQ(byAdapter[0].children[0].children.size(), 1u);
    EXPECT_EQ(byAdapter[0].children[0].children[0].label, Text(QStringLiteral("Глава 😀")));
    EXPECT_EQ(byAdapter[0].children[0].children[0].target, 3);
    EXPECT_EQ(byAdapter[0].children[1].label, Text(QStringLiteral("(Brackets) \\ and ü")));
    EXPECT_EQ(byAdapter[1].target, 9);
}

TEST_F(WriteOutline, ReplacesTheBookmarksAFileHas)
{
    const QString path = copyOf(QStringLiteral("outline.pdf"));
    ASSERT_EQ(pdf::PdfDocument::open(path)->outline().size(), 4u);
    pdf::writeOutline(path, {entry(QStringLiteral("Only"), 2)});
    const auto byQpdf = test::qpdfOutline(path);
    ASSERT_TRUE(byQpdf);
    ASSERT_EQ(byQpdf->size(), 1);
    EXPECT_EQ(byQpdf->first().title, QStringLiteral("Only"));
    EXPECT_EQ(byQpdf->first().page, 3);
    EXPECT_TRUE(byQpdf->first().kids.isEmpty());
    EXPECT_EQ(pdf::PdfDocument::open(path)->outline().size(), 1u);
}

TEST_F(WriteOutline, FilesTheLibraryRepairedOrThatAreEncryptedTakeBookmarks)
{
    // A wrong cross-reference offset: the library rebuilds the table and the
    // file is written anew.
    const QString repaired = m_dir.file(QStringLiteral("repaired.pdf"));
    QByteArray bytes = test::readFile(pdfFixture(QStringLiteral("plain.pdf")));
    const qsizetype at = bytes.lastIndexOf("startxref") + 10;
    bytes.replace(at, bytes.indexOf('\n', at) - at, "12");
    test::writeFile(repaired, bytes);
    pdf::writeOutline(repaired, {entry(QStringLiteral("Mended"), 6)});
    EXPECT_FALSE(test::readFile(repaired).startsWith(bytes));
    EXPECT_TRUE(test::qpdfChecks(repaired));
    const auto mended = test::qpdfOutline(repaired);
    ASSERT_TRUE(mended);
    ASSERT_EQ(mended->size(), 1);
    EXPECT_EQ(mended->first().page, 7);

    // An owner password only: the new titles are encrypted like the rest.
    const QString locked = copyOf(QStringLiteral("ownerlocked.pdf"));
    pdf::writeOutline(locked, {entry(QStringLiteral("Locked chapter"), 1)});
    EXPECT_FALSE(test::readFile(locked).contains("Locked chapter"));
    const auto decrypted = test::qpdfOutline(locked);
    ASSERT_TRUE(decrypted);
    ASSERT_EQ(decrypted->size(), 1);
    EXPECT_EQ(decrypted->first().title, QStringLiteral("Locked chapter"));
    EXPECT_EQ(decrypted->first().page, 2);
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

class RtfImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::qpdfAvailable())
            GTEST_SKIP() << "qpdf is needed";
    }

    QString print(const QByteArray& rtf)
    {
        const QString source = m_dir.file(QStringLiteral("book.rtf"));
        test::writeFile(source, rtf);
        const QString pdf = m_dir.file(QStringLiteral("quire.pdf"));
        const ConversionResult result = TextToPdf::CreateRTFtoPDF(source, pdf);
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        return pdf;
    }

    static std::unique_ptr<ImportPDFOperation> import(const QString& pdf, const QString& range, bool links)
    {
        auto op = std::make_unique<ImportPDFOperation>(pdf, range, 18, 65);
        op->setImportBookmarks(true);
        op->setImportLinks(links);
        op->start();
        EXPECT_EQ(op->errorMessage(), QString());
        return op;
    }

    test::TempDir m_dir;
};

struct Caption {
    QString caption;
    int level;
    int page;
};

void flatten(const FlashOutlineItem::ItemList& items, QList<Caption>& out)
{
    for (const auto& item : items) {
        out.append({item->caption().value_or(QStringLiteral("(none)")), item->level(), item->pageIndex()});
        flatten(item->childItems(), out);
    }
}

void flatten(const QList<QpdfBookmark>& list, int level, QList<Caption>& out)
{
    for (const QpdfBookmark& b : list) {
        out.append({b.title, level, b.page});
        flatten(b.kids, level + 1, out);
    }
}

TEST_F(RtfImport, HeadingsBecomeTheBooksOutline)
{
    const QString pdf = print(test::headingSample());
    const auto bookmarks = test::qpdfOutline(pdf);
    ASSERT_TRUE(bookmarks);
    QList<Caption> expected;
    flatten(*bookmarks, 1, expected);
    const QStringList captions = {QStringLiteral("Chapter One"), QStringLiteral("Section 1.1 opens"),
                                  QStringLiteral("Über Straßen"), QStringLiteral("Section 1.2"),
                                  QStringLiteral("Chapter Two"), QStringLiteral("Subsection 2.0.1"),
                                  QStringLiteral("Глава три")};
    const QList<int> levels = {1, 2, 3, 2, 1, 2, 1};
    ASSERT_EQ(expected.size(), captions.size());

    // The whole outline with document page numbers, whatever the range.
    for (const QString& range : {QStringLiteral("ALL"), QStringLiteral("3-4")}) {
        SCOPED_TRACE(range.toStdString());
        const auto op = import(pdf, range, false);
        ASSERT_TRUE(op->flashOutline());
        QList<Caption> imported;
        flatten(op->flashOutline()->items(), imported);
        ASSERT_EQ(imported.size(), expected.size());
        for (qsizetype i = 0; i < imported.size(); ++i) {
            SCOPED_TRACE(captions[i].toStdString());
            EXPECT_EQ(imported[i].caption, captions[i]);
            EXPECT_EQ(imported[i].level, levels[i]);
            EXPECT_EQ(imported[i].page, expected[i].page);
            EXPECT_GE(imported[i].page, 1);
        }
        // Children know their parent.
        const auto& first = op->flashOutline()->items().front();
        EXPECT_EQ(first->childItems().front()->parent(), first.get());
    }
}

TEST_F(RtfImport, WithoutHeadingsTheOutlineIsEmpty)
{
    const auto op = import(print(test::cocoaSample()), QStringLiteral("ALL"), false);
    ASSERT_TRUE(op->flashOutline());
    EXPECT_TRUE(op->flashOutline()->items().empty());
}

TEST_F(RtfImport, HyperlinksBecomeBookLinksBesideTheBookmarks)
{
    // Qt's PDF writer makes a link annotation of the field's result; the
    // bookmarks added afterwards leave it in place.
    const QString pdf = print("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\n"
                              "\\pard\\outlinelevel0 Linked chapter\\par\n"
                              "\\pard Read {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/quire?a=1&b=2\"}}"
                              "{\\fldrslt{\\ul the site}}} for more.\\par}");
    const auto op = import(pdf, QStringLiteral("ALL"), true);
    ASSERT_TRUE(op->flashOutline());
    ASSERT_EQ(op->flashOutline()->items().size(), 1u);
    ASSERT_TRUE(op->flashPagesAnnotation());
    const auto pages = xml::children(op->flashPagesAnnotation()->pagesAnnotationsNode(), "pageAnnos");
    ASSERT_EQ(pages.size(), 1u);
    const auto annos = xml::children(pages[0], "anno");
    ASSERT_EQ(annos.size(), 1u);
    const xmlNode* action = xml::firstChild(annos[0], "action");
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(xml::attribute(action, "actionType"),
              Text(QStringLiteral("com.tessel.flipbook.pageeditor.TAnnoActionOpenURL")));
    EXPECT_EQ(xml::text(xml::firstChild(action, "url")), QStringLiteral("https://example.org/quire?a=1&b=2"));
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
