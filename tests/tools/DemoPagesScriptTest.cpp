// The build step that turns the demonstration PDF into DemoImgs, run on a
// document of its own: ten pages, so that names sort as pages do.
#include "ToolRun.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <gtest/gtest.h>

using namespace quire::test;

namespace {

ToolRun demoPages(const QString& convert, const QString& pdf, const TempDir& dir)
{
    return runTool(QStringLiteral(QUIRE_CMAKE),
                   {QStringLiteral("-DCONVERT=") + convert, QStringLiteral("-DPDF=") + pdf,
                    QStringLiteral("-DWORK=") + dir.file("work"), QStringLiteral("-DOUT=") + dir.file("DemoImgs"),
                    QStringLiteral("-P"), QStringLiteral(QUIRE_DEMO_PAGES_SCRIPT)});
}

TEST(DemoPagesScript, NamesThePagesInPageOrderAndDropsStaleOnes)
{
    TempDir dir;
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 1; i <= 10; ++i)
        rtf += (i > 1 ? "\\page " : "") + QByteArray("{\\fs96 Page ") + QByteArray::number(i) + "}\\par ";
    writeFile(dir.file("ten.rtf"), rtf + "}");
    const ToolRun printed = runTool(QStringLiteral(QUIRE_PRINT), {dir.file("ten.rtf"), dir.file("ten.pdf")});
    ASSERT_EQ(printed.status, 0) << printed.err.toStdString();
    // Pictures of an earlier, longer book, and a file that is not a page.
    writeFile(dir.file("DemoImgs/99.jpg"), "stale");
    writeFile(dir.file("DemoImgs/11.jpg"), "stale");
    writeFile(dir.file("DemoImgs/README"), "kept");

    // A name order that is not page order (10 before 2) would stop the script.
    const ToolRun run = demoPages(QStringLiteral(QUIRE_CONVERT), dir.file("ten.pdf"), dir);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QDir out(dir.file("DemoImgs"));
    QStringList expected;
    for (int i = 1; i <= 10; ++i)
        expected << QStringLiteral("%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
    EXPECT_EQ(out.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name), expected);
    EXPECT_TRUE(QFileInfo::exists(out.filePath(QStringLiteral("README"))));
    EXPECT_FALSE(QFileInfo::exists(dir.file("work")));
    for (const QString& name : expected) {
        QImageReader reader(out.filePath(name));
        EXPECT_EQ(reader.size(), QSize(1296, 936)) << name.toStdString();
    }
}

TEST(DemoPagesScript, AFailedConversionFailsTheBuildAndKeepsThePages)
{
    TempDir dir;
    writeFile(dir.file("DemoImgs/01.jpg"), "earlier page");
    writeFile(dir.file("broken.pdf"), "not a PDF");
    const ToolRun run = demoPages(QStringLiteral(QUIRE_CONVERT), dir.file("broken.pdf"), dir);
    EXPECT_NE(run.status, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("quire-convert failed"))) << run.err.toStdString();
    EXPECT_EQ(readFile(dir.file("DemoImgs/01.jpg")), QByteArray("earlier page"));
}

} // namespace
