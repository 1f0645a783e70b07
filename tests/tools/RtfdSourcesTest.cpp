// An RTFD folder as a source of quire-print and of the converter: its
// pictures printed, and the one it lacks named on the terminal.
#include "import/text/DocumentShapes.h"
#include "import/text/PdfProbe.h"
#include "support/ToolRun.h"

using namespace quire::test;

namespace {

TEST(RtfdSources, QuirePrintAndTheConverterTakeTheFolder)
{
    ASSERT_TRUE(PdfProbe::available());
    TempDir dir;
    const QString folder = writeRtfd(dir.path(), true);
    const QString missing = "warning: “Help.rtfd”: a picture was left out because its file “gone.tiff” is missing";
    ToolRun run = runTool(QUIRE_PRINT, {folder + "/", dir.file("help.pdf")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.contains(missing)) << run.err.toStdString();
    EXPECT_EQ(PdfProbe::images(dir.file("help.pdf")), (QStringList{"64 x 48", "40 x 40"}));
    EXPECT_EQ(runTool(QUIRE_PRINT, {"--strict", folder, dir.file("strict.pdf")}).status, 5);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", dir.path());
    run = runTool(QUIRE_CONVERT, {folder + "/", "-o", dir.file("book")}, env);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(missing)) << run.err.toStdString();
    EXPECT_EQ(QDir(dir.file("book/files/page")).entryList({"*.jpg"}).size(), 2);
}

} // namespace
