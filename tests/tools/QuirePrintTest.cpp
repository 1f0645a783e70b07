// quire-print, run as a program: its PDF read back with poppler and qpdf, and
// its exit status for each kind of mistake.
#include "ToolRun.h"
#include "import/text/PdfProbe.h"
#include "import/text/QpdfOutline.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quire::test;

namespace {

ToolRun print(const QStringList& arguments)
{
    return runTool(QStringLiteral(QUIRE_PRINT), arguments);
}

const QByteArray kRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss DejaVu Sans;}}"
                        "{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}}"
                        "\\pard\\plain\\s1\\f0\\fs40 Chapter One\\par"
                        "\\pard\\plain\\f0\\fs24 The first page.\\par\\page"
                        "\\pard\\plain\\s1\\f0\\fs40 Chapter Two\\par"
                        "\\pard\\plain\\f0\\fs24 The second page.\\par}";

class QuirePrint : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(PdfProbe::available()) << "poppler-utils are needed"; }
    TempDir dir;
};

TEST_F(QuirePrint, RtfBecomesAPdfOfTheImportPagesWithItsHeadingsAsBookmarks)
{
    writeFile(dir.file("book.rtf"), kRtf);
    const ToolRun run = print({dir.file("book.rtf"), dir.file("book.pdf")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), dir.file("book.pdf") + QStringLiteral(": 2 pages"));
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();

    const QList<QSizeF> sizes = PdfProbe::pageSizes(dir.file("book.pdf"));
    ASSERT_EQ(sizes.size(), 2);
    for (const QSizeF& size : sizes)
        EXPECT_EQ(size, QSizeF(648, 468));
    const QStringList pages = PdfProbe::pageTexts(dir.file("book.pdf"));
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("The first page.")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("The second page.")));

    ASSERT_TRUE(qpdfAvailable());
    const auto outline = qpdfOutline(dir.file("book.pdf"));
    ASSERT_TRUE(outline);
    ASSERT_EQ(outline->size(), 2);
    EXPECT_EQ(outline->at(0).title, QStringLiteral("Chapter One"));
    EXPECT_EQ(outline->at(0).page, 1);
    EXPECT_EQ(outline->at(1).title, QStringLiteral("Chapter Two"));
    EXPECT_EQ(outline->at(1).page, 2);
}

TEST_F(QuirePrint, TextIsPrintedAndAnEarlierPdfReplaced)
{
    QByteArray text;
    for (int i = 1; i <= 80; ++i)
        text += "Line " + QByteArray::number(i) + " of a plain text file, long enough to need a second page.\n";
    writeFile(dir.file("NOTES.TXT"), text);
    writeFile(dir.file("notes.pdf"), "not a PDF at all");
    const ToolRun run = print({QStringLiteral("--quiet"), dir.file("NOTES.TXT"), dir.file("notes.pdf")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());

    const QList<QSizeF> sizes = PdfProbe::pageSizes(dir.file("notes.pdf"));
    ASSERT_GE(sizes.size(), 2);
    EXPECT_EQ(sizes.first(), QSizeF(648, 468));
    const QString all = PdfProbe::text(dir.file("notes.pdf"));
    EXPECT_TRUE(all.contains(QStringLiteral("Line 1 of")));
    EXPECT_TRUE(all.contains(QStringLiteral("Line 80 of")));
}

TEST_F(QuirePrint, BadUsageIsStatusTwoWithTheUsage)
{
    writeFile(dir.file("a.rtf"), kRtf);
    writeFile(dir.file("a.doc"), "whatever");
    const QString out = dir.file("out.pdf");
    const QList<QStringList> mistakes = {
        {},
        {dir.file("a.rtf")},
        {dir.file("a.rtf"), out, dir.file("extra.pdf")},
        {QStringLiteral("--bogus"), dir.file("a.rtf"), out},
        // Qt's own options are not Qt's here: nothing may be taken from us.
        {QStringLiteral("-platform"), QStringLiteral("xcb"), dir.file("a.rtf"), out},
        {dir.file("a.doc"), out},
        {dir.file("a.rtf"), dir.file("a.rtf")},
    };
    for (const QStringList& arguments : mistakes) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ToolRun run = print(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("quire-print: "))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Usage: quire-print")));
        EXPECT_FALSE(QFileInfo::exists(out));
    }
    // The source that was named as the output too is still the source.
    EXPECT_EQ(readFile(dir.file("a.rtf")), kRtf);
    const ToolRun same = print({dir.file("a.rtf"), dir.file("a.rtf")});
    EXPECT_TRUE(same.err.contains(QStringLiteral("would replace the source")));
}

TEST_F(QuirePrint, SourcesThatCannotBeReadAreStatusThree)
{
    QDir().mkpath(dir.file("folder.rtf"));
    writeFile(dir.file("fake.rtf"), "just words, no RTF");
    struct Case {
        QString source;
        QString says;
    };
    for (const Case& c : {Case{dir.file("missing.rtf"), QStringLiteral("no such file")},
                          Case{dir.file("folder.rtf"), QStringLiteral("not a readable file")},
                          Case{dir.file("fake.rtf"), QStringLiteral("is not an RTF document")}}) {
        SCOPED_TRACE(c.source.toStdString());
        const ToolRun run = print({c.source, dir.file("out.pdf")});
        EXPECT_EQ(run.status, 3);
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QFileInfo(c.source).fileName())) << run.err.toStdString();
        // Said once, by the tool, not again by the conversion's log.
        EXPECT_EQ(run.err.count(c.says), 1) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.file("out.pdf")));
    }
}

TEST_F(QuirePrint, OutputsThatCannotBeWrittenAreStatusFour)
{
    writeFile(dir.file("a.rtf"), kRtf);
    QDir().mkpath(dir.file("taken.pdf"));
    const ToolRun missingFolder = print({dir.file("a.rtf"), dir.file("no/such/folder/out.pdf")});
    EXPECT_EQ(missingFolder.status, 4);
    EXPECT_TRUE(missingFolder.err.contains(QStringLiteral("does not exist"))) << missingFolder.err.toStdString();
    const ToolRun folder = print({dir.file("a.rtf"), dir.file("taken.pdf")});
    EXPECT_EQ(folder.status, 4);
    EXPECT_TRUE(folder.err.contains(QStringLiteral("is a folder"))) << folder.err.toStdString();
    EXPECT_TRUE(QFileInfo(dir.file("taken.pdf")).isDir());
}

TEST_F(QuirePrint, PartsReadOnlyInPartAreWarningsOrWithStrictStatusFive)
{
    // The document ends before its groups do: read up to there, with a warning.
    writeFile(dir.file("cut.rtf"), "{\\rtf1\\ansi {\\b Bold words and then the file stops");
    const ToolRun lenient = print({dir.file("cut.rtf"), dir.file("lenient.pdf")});
    EXPECT_EQ(lenient.status, 0);
    EXPECT_TRUE(lenient.err.contains(QStringLiteral("quire-print: warning: "))) << lenient.err.toStdString();
    EXPECT_TRUE(PdfProbe::text(dir.file("lenient.pdf")).contains(QStringLiteral("Bold words")));

    const ToolRun strict = print({QStringLiteral("--strict"), dir.file("cut.rtf"), dir.file("strict.pdf")});
    EXPECT_EQ(strict.status, 5);
    EXPECT_TRUE(strict.err.contains(QStringLiteral("quire-print: warning: ")));
    EXPECT_EQ(PdfProbe::pageSizes(dir.file("strict.pdf")).size(), 1);

    // A clean document passes --strict.
    writeFile(dir.file("clean.rtf"), kRtf);
    EXPECT_EQ(print({QStringLiteral("--strict"), dir.file("clean.rtf"), dir.file("clean.pdf")}).status, 0);
}

TEST_F(QuirePrint, HelpAndVersion)
{
    const ToolRun help = print({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: quire-print")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("Exit status")));
    const ToolRun version = print({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("quire-print ")));
}

} // namespace
