// quire-print, run as a program: its PDF read back with poppler and qpdf, and
// its exit status for each kind of mistake; an RTFD folder as a source of
// quire-print and of the converter; the manual and the demonstration book's
// pages as the build leaves them in the resource folder.
#include "import/PdfDocument.h"
#include "import/text/DocumentShapes.h"
#include "import/text/PdfProbe.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"
#include "util/Resources.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

using namespace quire;
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
    ASSERT_TRUE(PdfProbe::available());
    TempDir dir;
    writeFile(dir.file("book.rtf"), kRtf);
    ToolRun run = print({dir.file("book.rtf"), dir.file("book.pdf")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), dir.file("book.pdf") + ": 2 pages");
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    // (The pages as printed: the text import's tests, which print through the same calls.)
    EXPECT_EQ(outlineLines(PdfProbe::bookmarks(dir.file("book.pdf")).value_or(QList<QpdfBookmark>())),
              (QStringList{"Chapter One @1", "Chapter Two @2"}));

    writeFile(dir.file("NOTES.TXT"), QByteArray("A line of a plain text file, long enough for two pages.\n").repeated(80));
    writeFile(dir.file("notes.pdf"), "not a PDF at all");
    run = print({"--quiet", dir.file("NOTES.TXT"), dir.file("notes.pdf")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(PdfProbe::text(dir.file("notes.pdf")).count("long enough"), 80);
}

TEST(QuirePrint, EachKindOfMistakeHasItsStatusAndMessage)
{
    TempDir dir;
    writeFile(dir.file("a.rtf"), kRtf);
    writeFile(dir.file("a.doc"), "whatever");
    // The document ends before its groups do: read up to there, with a warning.
    writeFile(dir.file("cut.rtf"), "{\\rtf1\\ansi {\\b Bold words and then the file stops");
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
    EXPECT_TRUE(!QFileInfo::exists(out) && QFileInfo(dir.file("taken.pdf")).isDir());
    EXPECT_EQ(readFile(a), kRtf); // the source that was named as the output too
    EXPECT_TRUE(PdfProbe::text(dir.file("lenient.pdf")).contains("Bold words"));
    EXPECT_EQ(PdfProbe::pageSizes(dir.file("strict.pdf")).size(), 1);
}

TEST(RtfdSources, QuirePrintAndTheConverterTakeTheFolder)
{
    ASSERT_TRUE(PdfProbe::available());
    TempDir dir;
    const QString folder = writeRtfd(dir.path(), true);
    const QString missing = "warning: “Help.rtfd”: a picture was left out because its file “gone.tiff” is missing";
    ToolRun run = print({folder + "/", dir.file("help.pdf")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.contains(missing)) << run.err.toStdString();
    EXPECT_EQ(PdfProbe::images(dir.file("help.pdf")), (QStringList{"1: 64 x 48", "2: 40 x 40"}));
    EXPECT_EQ(print({"--strict", folder, dir.file("strict.pdf")}).status, 5);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", dir.path());
    run = runTool(QUIRE_CONVERT, {folder + "/", "-o", dir.file("book")}, env);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(missing)) << run.err.toStdString();
    EXPECT_EQ(QDir(dir.file("book/files/page")).entryList({"*.jpg"}).size(), 2);
}

TEST(BuiltManualAndDemoImgs, ExistAndOpen)
{
    EXPECT_GE(pdf::PdfDocument::open(resourcePath("Quire for Mac Help/Quire for Mac Manual.pdf"))->pageCount(), 20);
    const QDir folder(resourcePath("DemoImgs"));
    const QStringList jpgs = folder.entryList({"*.jpg"}, QDir::Files, QDir::Name);
    ASSERT_GE(jpgs.size(), 6);
    for (const QString& jpg : jpgs)
        EXPECT_FALSE(QImage(folder.filePath(jpg)).isNull()) << jpg.toStdString();
}

} // namespace
