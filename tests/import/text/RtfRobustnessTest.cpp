// Damaged, hostile and odd RTF: always an answer, never a crash or a hang.
#include "TextImportSupport.h"
#include "import/text/RtfTokenizer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextTable>

using namespace quire::test;
using namespace quire::textimport;

namespace {

TEST(RtfTokenizer, ParametersSymbolsBytesAndBinaryData)
{
    // Parameters are clamped to 32 bits, words to their longest; a broken
    // escape is dropped, the next token being what follows it; the end stays
    // the end. Binary data is taken as it is, as far as there is any.
    RtfTokenizer t("\\fs24 \\li-720\\fs99999999999999999999x\\'e9\\'4\\~\\\\{\\b0text\\" + QByteArray(100, 'a') +
                   "7 \\bin3 {}\\rest\\bin100 ab");
    QStringList seen;
    for (RtfToken k = t.next(); k.kind != RtfToken::Kind::End; k = t.next()) {
        const QString word = QString::fromLatin1(k.word.data(), qsizetype(k.word.size()));
        switch (k.kind) {
        case RtfToken::Kind::ControlWord: seen << '\\' + word + (k.hasParameter ? QString::number(k.parameter) : ""); break;
        case RtfToken::Kind::ControlSymbol: seen << QString('\\') + QLatin1Char(k.symbol); break;
        case RtfToken::Kind::HexByte: seen << '\'' + QString::number(k.byte, 16); break;
        case RtfToken::Kind::Text: seen << "text:" + word; break;
        default: seen << QString(k.kind == RtfToken::Kind::GroupStart ? "{" : "}");
        }
        if (word == "bin")
            seen << "data:" + QString::fromLatin1(t.takeBinary(k.parameter));
    }
    EXPECT_EQ(seen, (QStringList{"\\fs24", "\\li-720", "\\fs2147483647", "text:x", "'e9", "text:", "\\~", "\\\\", "{",
                                 "\\b0", "text:text", "\\" + QString(RtfTokenizer::kMaxWordLength, 'a') + "7",
                                 "\\bin3", "data:{}\\", "text:rest", "\\bin100", "data:ab"}));
    EXPECT_TRUE(t.atEnd());
    EXPECT_EQ(t.next().kind, RtfToken::Kind::End);
    EXPECT_EQ(t.takeBinary(-5), "");
}

TEST(RtfRobustness, NotRtfIsRefusedAndBracesOutOfBalanceWarn)
{
    EXPECT_EQ(readRtf({}).result.problem, "is empty");
    EXPECT_FALSE(readRtf("   \n").result.ok);
    for (const QByteArray& bytes : {QByteArray("Dear Sir,"), QByteArray("{\\rtx1 hello}"), QByteArray("rtf1"),
                                    QByteArray("%PDF-1.4\n"), QByteArray("\x89PNG\r\n\x1a\n", 8)}) {
        const ReadRtf r = readRtf(bytes);
        EXPECT_FALSE(r.result.ok);
        EXPECT_TRUE(r.result.problem.contains("not an RTF document"));
        EXPECT_TRUE(r.doc->isEmpty());
    }

    const ReadRtf extra = readRtf("{\\rtf1 kept}} lost {\\b more}");
    EXPECT_EQ(extra.text(), "kept");
    ASSERT_EQ(extra.result.warnings.size(), 1);
    EXPECT_TRUE(extra.result.warnings.first().contains("after the end"));
    const ReadRtf missing = readRtf("{\\rtf1 {\\b bold {\\i both");
    EXPECT_EQ(missing.text(), "bold both");
    EXPECT_EQ(describe(missing.format("both")), "B I sans");
    ASSERT_EQ(missing.result.warnings.size(), 1);
    EXPECT_TRUE(missing.result.warnings.first().contains("ends before"));
    // Trailing white space after the end is fine.
    EXPECT_EQ(readRtf("{\\rtf1 a}\r\n  ").result.warnings, QStringList());
}

TEST(RtfRobustness, HugeParametersStayInBounds)
{
    const ReadRtf r = readRtf(
        "{\\rtf1{\\fonttbl{\\f99999999999\\fcharset99999999999 Big;}}{\\colortbl;\\red99999999999\\green-5\\blue300;}"
        "\\pard\\li99999999999\\ri99999999999\\fi-99999999999\\sb99999999999\\sa-99999999999"
        "\\sl-2147483648\\tx99999999999\\fs99999999999\\expnd99999999999\\cf1 "
        "{\\uc99999999999 \\u99999999999 sixteen bytes gokept}big\\par"
        "\\pard\\sl99999999999\\slmult1\\fs-30\\deftab0 next\\par"
        "\\trowd\\cellx99999999999\\trgaph99999999999\\intbl c\\cell\\row"
        "{\\pict\\pngblip\\picwgoal99999999999\\pichgoal-99999999999\\picscalex99999999999 00}}");
    ASSERT_TRUE(r.result.ok);
    EXPECT_TRUE(r.text().contains("next"));
    // \uc is bounded: only sixteen bytes after \u are skipped.
    EXPECT_TRUE(r.text().startsWith("keptbig")) << r.text().toStdString();
    const QTextCharFormat big = r.format("big");
    EXPECT_LE(big.fontPointSize(), 300);
    EXPECT_EQ(big.foreground().color(), QColor(255, 0, 255));
    const QTextBlockFormat block = r.block("big").blockFormat();
    EXPECT_LE(block.leftMargin() + block.rightMargin(), 468 - 72);
    EXPECT_GE(block.leftMargin() + block.textIndent(), 0);
    EXPECT_LE(block.topMargin(), printUnits().scaled(1000));
    EXPECT_GE(block.bottomMargin(), 0);
    EXPECT_LE(block.lineHeight(), printUnits().scaled(468));
    EXPECT_LE(r.block("next").blockFormat().lineHeight(), 500);
    EXPECT_GE(r.format("next").fontPointSize(), 1);
}

TEST(RtfRobustness, DeepNestingIsBounded)
{
    const int depth = 10000;
    QElapsedTimer timer;
    timer.start();
    const ReadRtf r = readRtf("{\\rtf1 before " + QByteArray(depth, '{') + "\\b deep" + QByteArray(depth, '}') + " after}");
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(r.text(), "before  after");
    EXPECT_NE(r.format("after").fontWeight(), QFont::Bold);
    ASSERT_EQ(r.result.warnings.size(), 1);
    EXPECT_TRUE(r.result.warnings.first().contains(QString::number(RtfReader::kMaxDepth)));

    // Just inside the bound, text is still read.
    const int inside = RtfReader::kMaxDepth - 2;
    const ReadRtf ok = readRtf("{\\rtf1 " + QByteArray(inside, '{') + "kept" + QByteArray(inside, '}') + "}");
    EXPECT_EQ(ok.text(), "kept");
    EXPECT_TRUE(ok.result.warnings.isEmpty());
    // Unclosed deep nesting ends too.
    EXPECT_TRUE(readRtf("{\\rtf1 " + QByteArray(depth, '{') + "x").result.ok);
}

TEST(RtfRobustness, TruncatedOrRandomlyDamagedDocumentsRead)
{
    const QByteArray features = sample("features.rtf");
    // Shorter than "{\rtf" it is no RTF document at all.
    for (qsizetype length = 0; length < features.size(); length += 11)
        EXPECT_EQ(readRtf(features.left(length)).result.ok, length >= 5) << length;

    const QByteArray both = features + sample("cocoa.rtf");
    QRandomGenerator random(20240611);
    const char noise[] = "{}\\'*;0123456789-abuxfinpc \n\xe9\xff";
    for (int round = 0; round < 150; ++round) {
        QByteArray damaged = both;
        for (int e = 0, edits = 1 + random.bounded(40); e < edits; ++e) {
            const qsizetype at = 6 + random.bounded(damaged.size() - 6);
            switch (random.bounded(3)) {
            case 0: damaged[at] = noise[random.bounded(int(sizeof noise) - 1)]; break;
            case 1: damaged.remove(at, 1 + random.bounded(20)); break;
            default: damaged.insert(at, damaged.mid(random.bounded(damaged.size()), random.bounded(30))); break;
            }
        }
        EXPECT_TRUE(readRtf(damaged).result.ok) << round;
    }
}

TEST(RtfRobustness, ManyFontsColoursAndCells)
{
    QByteArray rtf = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 5000; ++i)
        rtf += "{\\f" + QByteArray::number(i) + " Font" + QByteArray::number(i) + ";}";
    rtf += "}{\\colortbl;" + QByteArray("\\red1\\green2\\blue3;").repeated(5000) + "}\\trowd";
    for (int i = 1; i <= 100; ++i)
        rtf += "\\cellx" + QByteArray::number(i * 50);
    rtf += "\\intbl ";
    for (int i = 0; i < 100; ++i)
        rtf += "c" + QByteArray::number(i) + "\\cell ";
    const ReadRtf r = readRtf(rtf + "\\row}");
    ASSERT_TRUE(r.result.ok);
    EXPECT_TRUE(r.text().contains("c99"));
    QTextTable* table = QTextCursor(r.block("c0")).currentTable();
    ASSERT_NE(table, nullptr);
    EXPECT_LE(table->columns(), 63);
}

} // namespace
