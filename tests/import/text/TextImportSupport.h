#pragma once
// RTF read into a document and looked at, and RTF printed to PDF and read
// back with poppler.
#include "PdfProbe.h"
#include "import/text/PageSetup.h"
#include "import/text/RtfReader.h"
#include "import/text/RtfTables.h"
#include "import/text/TextToPdf.h"
#include "support/TestEnv.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <memory>

namespace quire::test {

inline textimport::LayoutUnits printUnits()
{
    return textimport::LayoutUnits::forPrinting();
}

// A length Qt scales by the device's dpi, in points on the printed page.
inline QString points(double stored)
{
    return QString::number(qRound(stored * printUnits().ratio() * 100) / 100.0);
}

// The words whose condition holds, joined by spaces.
inline QString wordsThatHold(std::initializer_list<std::pair<bool, QString>> words)
{
    QStringList out;
    for (const auto& [on, word] : words)
        if (on)
            out << word;
    return out.join(' ');
}

// A character format as short words, leaving out the defaults (12 points,
// serif, upright, black): "B I U Udot S sup sub caps smallcaps 20pt sans
// fg=#ff0000 bg=#00ff00 ->href".
inline QString describe(const QTextCharFormat& f)
{
    using textimport::FontMapper;
    QString family = f.fontFamilies().toStringList().value(0);
    for (auto [kind, name] : {std::pair{FontMapper::Generic::Serif, ""}, std::pair{FontMapper::Generic::Sans, "sans"},
                              std::pair{FontMapper::Generic::Mono, "mono"}})
        if (family == FontMapper::genericFamily(kind))
            family = name;
    return wordsThatHold({
        {f.fontWeight() == QFont::Bold, "B"}, {f.fontItalic(), "I"},
        {f.underlineStyle() == QTextCharFormat::SingleUnderline, "U"},
        {f.underlineStyle() == QTextCharFormat::DotLine, "Udot"}, {f.fontStrikeOut(), "S"},
        {f.verticalAlignment() == QTextCharFormat::AlignSuperScript, "sup"},
        {f.verticalAlignment() == QTextCharFormat::AlignSubScript, "sub"},
        {f.fontCapitalization() == QFont::AllUppercase, "caps"},
        {f.fontCapitalization() == QFont::SmallCaps, "smallcaps"},
        {f.fontPointSize() != 12, QString::number(f.fontPointSize()) + "pt"}, {!family.isEmpty(), family},
        {f.hasProperty(QTextFormat::ForegroundBrush), "fg=" + f.foreground().color().name()},
        {f.hasProperty(QTextFormat::BackgroundBrush), "bg=" + f.background().color().name()},
        {f.isAnchor(), "->" + f.anchorHref()}});
}

// A paragraph format as short words, lengths in points on the printed page:
// "C R J L72 R36 F-18 T12 B6 P150 X24 M15 tabs=72L,216R,250C,300D rtl brk".
inline QString describe(const QTextBlockFormat& b)
{
    const Qt::Alignment a = b.alignment() & Qt::AlignHorizontal_Mask;
    const int height = b.lineHeightType();
    QStringList tabs;
    for (const QTextOption::Tab& t : b.tabPositions())
        tabs << points(t.position) + QString("LRCD").at(int(t.type));
    return wordsThatHold({
        {a == Qt::AlignHCenter, "C"}, {a == Qt::AlignRight, "R"}, {a == Qt::AlignJustify, "J"},
        {b.leftMargin() != 0, "L" + QString::number(b.leftMargin())},
        {b.rightMargin() != 0, "R" + QString::number(b.rightMargin())},
        {b.textIndent() != 0, "F" + QString::number(b.textIndent())}, {b.topMargin() != 0, "T" + points(b.topMargin())},
        {b.bottomMargin() != 0, "B" + points(b.bottomMargin())},
        {height == QTextBlockFormat::ProportionalHeight, "P" + QString::number(b.lineHeight())},
        {height == QTextBlockFormat::FixedHeight, "X" + points(b.lineHeight())},
        {height == QTextBlockFormat::MinimumHeight, "M" + points(b.lineHeight())},
        {!tabs.isEmpty(), "tabs=" + tabs.join(',')}, {b.layoutDirection() == Qt::RightToLeft, "rtl"},
        {bool(b.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore), "brk"}});
}

struct ReadRtf {
    std::unique_ptr<QTextDocument> doc = std::make_unique<QTextDocument>();
    textimport::RtfReadResult result;

    QString text() const { return doc->toPlainText(); }
    QTextCursor find(const QString& word) const
    {
        const QTextCursor found = doc->find(word);
        EXPECT_FALSE(found.isNull()) << word.toStdString();
        return found;
    }
    // The format of the first character of the first occurrence of `word`.
    QTextCharFormat format(const QString& word) const
    {
        QTextCursor at(doc.get());
        at.setPosition(find(word).selectionStart() + 1);
        return at.charFormat();
    }
    QTextBlock block(const QString& word) const { return find(word).block(); }
    QStringList blockTexts() const
    {
        QStringList out;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            out << b.text();
        return out;
    }
};

inline ReadRtf readRtf(const QByteArray& rtf)
{
    ReadRtf r;
    r.result = textimport::RtfReader::read(rtf, *r.doc, printUnits());
    return r;
}

// `body` with a font table (serif 0, sans 1) and a colour table (red 1, green 2).
inline ReadRtf readBody(const QByteArray& body)
{
    return readRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Helvetica;}}"
                   "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}" + body + "}");
}

// A document of samples/: "features.rtf" has every feature the reader
// handles, each with words of its own so that a round trip through a PDF can
// be checked word by word; "cocoa.rtf" is what TextEdit on macOS writes.
inline QByteArray sample(const QString& name)
{
    const QByteArray bytes = readFile(sourceDir() + "/tests/import/text/samples/" + name);
    EXPECT_FALSE(bytes.isEmpty()) << name.toStdString();
    return bytes;
}

// Paragraphs of body text that share no word with headings.
inline QByteArray fillerParagraphs(int count, int from = 1)
{
    QByteArray rtf;
    for (int i = from; i < from + count; ++i)
        rtf += "\\pard\\plain\\fs24 Lorem filler paragraph number " + QByteArray::number(i) + " keeps the page busy.\\par\n";
    return rtf;
}

// Every word lies inside the printable area, so no line is cut at a page's
// end; `inset` narrows the area further on the left and right.
inline void expectWordsInsideMargins(const QList<PdfWord>& words, double inset)
{
    ASSERT_FALSE(words.isEmpty());
    for (const PdfWord& w : words)
        EXPECT_TRUE(w.box.left() >= 40 + inset - 1.5 && w.box.right() <= 648 - 40 - inset + 1.5 &&
                    w.box.top() >= 40 - 1.0 && w.box.bottom() <= 468 - 50 + 1.0)
            << w.text.toStdString() << " page " << w.page << " at " << w.box.left() << "," << w.box.top();
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
    QString pageText(int page) const { return PdfProbe::pageTexts(pdf).value(page - 1); }
};

// Tests that print and read the PDF back with poppler.
class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PdfProbe::available())
            GTEST_SKIP() << "poppler-utils are needed";
    }
    QString write(const QString& name, const QByteArray& bytes)
    {
        writeFile(m_dir.file(name), bytes);
        return m_dir.file(name);
    }
    // Prints the RTF document `rtf` as the file `name`.
    Printed printRtf(const QByteArray& rtf, const QString& name = "doc.rtf")
    {
        Printed out{TextToPdf::CreateRTFtoPDF(write(name, rtf), m_dir.file(name + ".pdf")), m_dir.file(name + ".pdf"), {}};
        EXPECT_TRUE(out.result.ok) << out.result.error.toStdString();
        out.words = out.result.ok ? PdfProbe::words(out.pdf) : QList<PdfWord>();
        return out;
    }
    // `body` in a minimal document.
    Printed print(const QByteArray& body)
    {
        return printRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\n" + body + "}");
    }

    TempDir m_dir;
};

} // namespace quire::test
