// The build step that turns the demonstration PDF into DemoImgs, run on a
// document of its own: ten pages, so that names sort as pages do.
#include "support/ToolRun.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <gtest/gtest.h>

using namespace quire::test;

TEST(DemoPagesScript, NamesThePagesInPageOrderDropsStaleOnesAndFailsWithTheConversion)
{
    TempDir dir;
    auto demoPages = [&](const QString& pdf) {
        return runTool(QUIRE_CMAKE, {"-DCONVERT=" QUIRE_CONVERT, "-DPDF=" + pdf, "-DWORK=" + dir.file("work"),
                                     "-DOUT=" + dir.file("DemoImgs"), "-P", QUIRE_DEMO_PAGES_SCRIPT});
    };
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 1; i <= 10; ++i)
        rtf += (i > 1 ? "\\page " : "") + QByteArray("{\\fs96 Page ") + QByteArray::number(i) + "}\\par ";
    writeFile(dir.file("ten.rtf"), rtf + "}");
    const ToolRun printed = runTool(QUIRE_PRINT, {dir.file("ten.rtf"), dir.file("ten.pdf")});
    ASSERT_EQ(printed.status, 0) << printed.err.toStdString();
    // Pictures of an earlier, longer book, and a file that is not a page.
    for (const char* stale : {"99.jpg", "11.jpg"})
        writeFile(dir.file("DemoImgs/") + stale, "stale");
    writeFile(dir.file("DemoImgs/README"), "kept");

    // A name order that is not page order (10 before 2) would stop the script.
    const ToolRun run = demoPages(dir.file("ten.pdf"));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QDir out(dir.file("DemoImgs"));
    QStringList expected;
    for (int i = 1; i <= 10; ++i)
        expected << QString("%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
    EXPECT_EQ(out.entryList({"*.jpg"}, QDir::Files, QDir::Name), expected);
    EXPECT_TRUE(QFileInfo::exists(out.filePath("README")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("work")));
    for (const QString& name : expected)
        EXPECT_EQ(QImageReader(out.filePath(name)).size(), QSize(1296, 936)) << name.toStdString();

    writeFile(dir.file("broken.pdf"), "not a PDF");
    const ToolRun broken = demoPages(dir.file("broken.pdf"));
    EXPECT_NE(broken.status, 0);
    EXPECT_TRUE(broken.err.contains("quire-convert failed")) << broken.err.toStdString();
    EXPECT_EQ(out.entryList({"*.jpg"}, QDir::Files, QDir::Name), expected); // the pages are kept
}
