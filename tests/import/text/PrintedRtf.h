#pragma once
// RTF documents printed to PDF, for tests that look at which page things
// landed on.
#include "PdfProbe.h"
#include "support/TestEnv.h"
#include "import/text/TextToPdf.h"

#include <QList>
#include <gtest/gtest.h>

namespace quire::test {

// `body` with a minimal header around it.
inline QByteArray rtfDocument(const QByteArray& body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\n" + body + "}";
}

struct Printed {
    ConversionResult result;
    QString pdf;
    QList<PdfWord> words;

    // The page (from 1) of the first word equal to `word`; 0 when there is none.
    int pageOf(const QString& word) const
    {
        for (const PdfWord& w : words)
            if (w.text == word)
                return w.page;
        return 0;
    }
    // The text of a page (from 1) as pdftotext gives it.
    QString pageText(int page) const { return PdfProbe::pageTexts(pdf).value(page - 1); }
};

// Prints `rtf` as the file `name` in `dir`.
inline Printed printRtf(const TempDir& dir, const QByteArray& rtf, const QString& name = "doc.rtf")
{
    Printed printed;
    const QString source = dir.file(name);
    writeFile(source, rtf);
    printed.pdf = dir.file(name + ".pdf");
    printed.result = TextToPdf::CreateRTFtoPDF(source, printed.pdf);
    EXPECT_TRUE(printed.result.ok) << printed.result.error.toStdString();
    if (printed.result.ok)
        printed.words = PdfProbe::words(printed.pdf);
    return printed;
}

// Tests that print and read the PDF back with poppler.
class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PdfProbe::available())
            GTEST_SKIP() << "poppler-utils are needed";
    }

    // `body` in a minimal document.
    Printed print(const QByteArray& body) { return printRtf(m_dir, rtfDocument(body)); }

    TempDir m_dir;
};

} // namespace quire::test
