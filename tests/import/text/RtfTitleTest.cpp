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
    return PdfProbe::info(pdf, QStringLiteral("Title"));
}

class RtfTitle : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PdfProbe::available())
            GTEST_SKIP() << "poppler-utils are needed";
    }

    TempDir m_dir;
};

TEST_F(RtfTitle, TheDocumentsOwnTitleTitlesThePdf)
{
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times;}}\n"
                           "{\\info{\\title Annual  {\\i report}\\tab \\'e9t\\'e9 \\u8364? 2024}{\\author Someone}"
                           "{\\creatim\\yr2024\\mo1\\dy2}{\\*\\company Firm}}\n"
                           "\\pard Body text\\par}";
    const Printed printed = printRtf(m_dir, rtf, QStringLiteral("report.rtf"));
    EXPECT_EQ(title(printed.pdf), QStringLiteral("Annual report été € 2024"));
    EXPECT_EQ(PdfProbe::text(printed.pdf).trimmed(), QStringLiteral("Body text"));
}

TEST_F(RtfTitle, WithoutOneTheFileNameTitlesThePdf)
{
    for (const QByteArray& rtf : {QByteArray("{\\rtf1 Body without information\\par}"),
                                  QByteArray("{\\rtf1{\\info{\\author Someone}}Body\\par}"),
                                  QByteArray("{\\rtf1{\\info{\\title   }}Body\\par}")}) {
        const Printed printed = printRtf(m_dir, rtf, QStringLiteral("Quarterly notes.rtf"));
        EXPECT_EQ(title(printed.pdf), QStringLiteral("Quarterly notes.rtf"));
    }
    const QString text = m_dir.file(QStringLiteral("notes.txt"));
    writeFile(text, "plain words");
    const QString pdf = m_dir.file(QStringLiteral("notes.pdf"));
    ASSERT_TRUE(TextToPdf::CreateTXTtoPDF(text, pdf).ok);
    EXPECT_EQ(title(pdf), QStringLiteral("notes.txt"));
}

TEST(RtfTitleReading, OnlyTheInformationsTitleIsTheTitle)
{
    ReadRtf r = readBody("{\\info{\\title First\\line line}{\\subject Subject}}\\pard Body{\\title Stray} end\\par");
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(r.doc->metaInformation(QTextDocument::DocumentTitle), QStringLiteral("First line"));
    EXPECT_EQ(r.text(), QStringLiteral("Body end"));

    // Very long titles are cut.
    r = readBody("{\\info{\\title " + QByteArray(5000, 'x') + "}}Body");
    EXPECT_EQ(r.doc->metaInformation(QTextDocument::DocumentTitle).size(),
              textimport::RtfReader::kMaxTitleLength);
}

} // namespace
