// The PDF's title: the RTF's own (\info's \title) or else the file's name,
// read back with pdfinfo.
#include "PrintedRtf.h"
#include "RtfTestSupport.h"

#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

namespace {

QString title(const QString& pdf)
{
    return PdfProbe::info(pdf, "Title");
}

using RtfTitle = PrintingTest;

TEST_F(RtfTitle, TheDocumentsOwnTitleOrElseTheFileNameTitlesThePdf)
{
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times;}}\n"
                           "{\\info{\\title Annual  {\\i report}\\tab \\'e9t\\'e9 \\u8364? 2024}{\\author Someone}"
                           "{\\creatim\\yr2024\\mo1\\dy2}{\\*\\company Firm}}\n"
                           "\\pard Body text\\par}";
    const Printed printed = printRtf(m_dir, rtf, "report.rtf");
    EXPECT_EQ(title(printed.pdf), "Annual report été € 2024");
    EXPECT_EQ(PdfProbe::text(printed.pdf).trimmed(), "Body text");

    for (const char* untitled : {"{\\rtf1 Body without information\\par}", "{\\rtf1{\\info{\\author Someone}}Body\\par}",
                                 "{\\rtf1{\\info{\\title   }}Body\\par}"})
        EXPECT_EQ(title(printRtf(m_dir, untitled, "Quarterly notes.rtf").pdf), "Quarterly notes.rtf") << untitled;
    writeFile(m_dir.file("notes.txt"), "plain words");
    ASSERT_TRUE(TextToPdf::CreateTXTtoPDF(m_dir.file("notes.txt"), m_dir.file("notes.pdf")).ok);
    EXPECT_EQ(title(m_dir.file("notes.pdf")), "notes.txt");
}

TEST(RtfTitleReading, OnlyTheInformationsTitleIsTheTitle)
{
    ReadRtf r = readBody("{\\info{\\title First\\line line}{\\subject Subject}}\\pard Body{\\title Stray} end\\par");
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(r.doc->metaInformation(QTextDocument::DocumentTitle), "First line");
    EXPECT_EQ(r.text(), "Body end");

    // Very long titles are cut.
    r = readBody("{\\info{\\title " + QByteArray(5000, 'x') + "}}Body");
    EXPECT_EQ(r.doc->metaInformation(QTextDocument::DocumentTitle).size(), textimport::RtfReader::kMaxTitleLength);
}

} // namespace
