// quire-print, run as a program: its PDF read back with poppler and qpdf, and
// its exit status for each kind of mistake.
#include "support/ToolRun.h"
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

const QByteArray kRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss DejaVu Sans;}}{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}}"
                        "\\pard\\plain\\s1\\f0\\fs40 Chapter One\\par\\pard\\plain\\f0\\fs24 The first page.\\par\\page"
                        "\\pard\\plain\\s1\\f0\\fs40 Chapter Two\\par\\pard\\plain\\f0\\fs24 The second page.\\par}";

TEST(QuirePrint, PrintsTheImportPagesWithHeadingsAsBookmarksAndReplacesAnEarlierPdf)
{
    ASSERT_TRUE(PdfProbe::available() && qpdfAvailable());
    TempDir dir;
    writeFile(dir.file("book.rtf"), kRtf);
    ToolRun run = print({dir.file("book.rtf"), dir.file("book.pdf")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), dir.file("book.pdf") + ": 2 pages");
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_EQ(PdfProbe::pageSizes(dir.file("book.pdf")), (QList<QSizeF>{{648, 468}, {648, 468}}));
    const QStringList pages = PdfProbe::pageTexts(dir.file("book.pdf"));
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("The first page.") && pages[1].contains("The second page."));
    EXPECT_EQ(outlineLines(qpdfOutline(dir.file("book.pdf")).value_or(QList<QpdfBookmark>())),
              (QStringList{"Chapter One @1", "Chapter Two @2"}));

    QByteArray text;
    for (int i = 1; i <= 80; ++i)
        text += "Line " + QByteArray::number(i) + " of a plain text file, long enough to need a second page.\n";
    writeFile(dir.file("NOTES.TXT"), text);
    writeFile(dir.file("notes.pdf"), "not a PDF at all");
    run = print({"--quiet", dir.file("NOTES.TXT"), dir.file("notes.pdf")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_GE(PdfProbe::pageSizes(dir.file("notes.pdf")).size(), 2);
    const QString all = PdfProbe::text(dir.file("notes.pdf"));
    EXPECT_TRUE(all.contains("Line 1 of") && all.contains("Line 80 of"));
}

TEST(QuirePrint, EachKindOfMistakeHasItsStatusAndMessage)
{
    TempDir dir;
    writeFile(dir.file("a.rtf"), kRtf);
    writeFile(dir.file("a.doc"), "whatever");
    writeFile(dir.file("fake.rtf"), "just words, no RTF");
    // The document ends before its groups do: read up to there, with a warning.
    writeFile(dir.file("cut.rtf"), "{\\rtf1\\ansi {\\b Bold words and then the file stops");
    QDir().mkpath(dir.file("folder.rtf"));
    QDir().mkpath(dir.file("taken.pdf"));
    const QString a = dir.file("a.rtf"), out = dir.file("out.pdf"), usage = "Usage: quire-print";
    const struct {
        QStringList arguments;
        int status;
        QString says; // on standard error, or with status 0 on standard output
    } cases[] = {
        {{}, 2, usage},
        {{a}, 2, usage},
        {{a, out, dir.file("extra.pdf")}, 2, usage},
        {{"--bogus", a, out}, 2, usage},
        // Qt's own options are not Qt's here: nothing may be taken from us.
        {{"-platform", "xcb", a, out}, 2, usage},
        {{dir.file("a.doc"), out}, 2, usage},
        {{a, a}, 2, "would replace the source"},
        {{dir.file("missing.rtf"), out}, 3, "missing.rtf: no such file"},
        {{dir.file("folder.rtf"), out}, 3, "folder.rtf: not a readable file"},
        {{dir.file("fake.rtf"), out}, 3, "fake.rtf” is not an RTF document"},
        {{a, dir.file("no/such/folder/out.pdf")}, 4, "does not exist"},
        {{a, dir.file("taken.pdf")}, 4, "is a folder"},
        {{dir.file("cut.rtf"), dir.file("lenient.pdf")}, 0, "quire-print: warning: "},
        {{"--strict", dir.file("cut.rtf"), dir.file("strict.pdf")}, 5, "quire-print: warning: "},
        {{"--strict", a, dir.file("clean.pdf")}, 0, ""},
        {{"--help"}, 0, usage},
        {{"--version"}, 0, "quire-print "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ToolRun run = print(c.arguments);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        const QString& said = c.arguments.value(0).startsWith("--") && c.status == 0 ? run.out : run.err;
        EXPECT_TRUE(said.startsWith(c.status ? "quire-print: " : "") && said.contains(c.says)) << said.toStdString();
        // Said once, by the tool, not again by the conversion's log.
        EXPECT_TRUE(c.says.isEmpty() || run.err.count(c.says) <= 1);
    }
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(readFile(a), kRtf); // the source that was named as the output too
    EXPECT_TRUE(QFileInfo(dir.file("taken.pdf")).isDir());
    EXPECT_TRUE(PdfProbe::text(dir.file("lenient.pdf")).contains("Bold words"));
    EXPECT_EQ(PdfProbe::pageSizes(dir.file("strict.pdf")).size(), 1);
}

} // namespace
