// Damaged, hostile and odd RTF: always an answer, never a crash or a hang.
#include "RtfSamples.h"
#include "RtfTestSupport.h"
#include "import/text/RtfTokenizer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace quire::test;
using namespace quire::textimport;

namespace {

// A token as text: "\fs24", "{", "'e9", "text:abc" ...
QString describe(const RtfToken& k)
{
    const QString word = QString::fromLatin1(k.word.data(), qsizetype(k.word.size()));
    switch (k.kind) {
    case RtfToken::Kind::ControlWord: return '\\' + word + (k.hasParameter ? QString::number(k.parameter) : "");
    case RtfToken::Kind::ControlSymbol: return QString('\\') + QLatin1Char(k.symbol);
    case RtfToken::Kind::HexByte: return '\'' + QString::number(k.byte, 16);
    case RtfToken::Kind::Text: return "text:" + word;
    case RtfToken::Kind::GroupStart: return "{";
    case RtfToken::Kind::GroupEnd: return "}";
    case RtfToken::Kind::End: break;
    }
    return "end";
}

TEST(RtfTokenizer, ParametersSymbolsAndBytes)
{
    // Parameters are clamped to 32 bits; a broken escape is dropped, the
    // next token being what follows it; the end stays the end.
    const QStringList expected = {"\\fs24", "\\li-720", "\\fs2147483647", "text:x", "\\uc0", "'e9", "text:", "\\~",
                                  "\\\\", "{", "\\b0", "text:text", "end", "end"};
    RtfTokenizer t("\\fs24 \\li-720\\fs99999999999999999999x\\uc0\\'e9\\'4\\~\\\\{\\b0text");
    QStringList seen;
    while (seen.size() < expected.size())
        seen << describe(t.next());
    EXPECT_EQ(seen, expected);
}

TEST(RtfTokenizer, LongWordsAndBinaryData)
{
    const QByteArray longWord = "\\" + QByteArray(100, 'a') + "7 z";
    RtfTokenizer t(longWord);
    RtfToken k = t.next();
    EXPECT_EQ(k.word.size(), RtfTokenizer::kMaxWordLength);
    EXPECT_EQ(k.parameter, 7);
    EXPECT_EQ(t.next().word, "z");

    RtfTokenizer b(QByteArrayView("\\bin3 {}\\rest", 13));
    b.next();
    EXPECT_EQ(b.takeBinary(3), "{}\\");
    EXPECT_EQ(b.next().word, "rest");
    RtfTokenizer shortData("\\bin100 ab");
    shortData.next();
    EXPECT_EQ(shortData.takeBinary(100), "ab");
    EXPECT_TRUE(shortData.atEnd());
    EXPECT_EQ(shortData.takeBinary(-5), "");
}

TEST(RtfRobustness, NotRtfAndEmptyFilesAreRefusedClearly)
{
    const ReadRtf empty = readRtf({});
    EXPECT_FALSE(empty.result.ok);
    EXPECT_EQ(empty.result.problem, "is empty");
    EXPECT_FALSE(readRtf("   \n").result.ok);
    for (const QByteArray& bytes : {QByteArray("Dear Sir,"), QByteArray("{\\rtx1 hello}"), QByteArray("rtf1"),
                                    QByteArray("%PDF-1.4\n"), QByteArray("\x89PNG\r\n\x1a\n", 8)}) {
        const ReadRtf r = readRtf(bytes);
        EXPECT_FALSE(r.result.ok);
        EXPECT_TRUE(r.result.problem.contains("not an RTF document"));
        EXPECT_TRUE(r.doc->isEmpty());
    }
    // A byte order mark or white space before the document is harmless.
    EXPECT_EQ(readRtf("\xEF\xBB\xBF \r\n{\\rtf1 fine}").text(), "fine");
}

TEST(RtfRobustness, UnbalancedBraces)
{
    const ReadRtf extra = readRtf("{\\rtf1 kept}} lost {\\b more}");
    ASSERT_TRUE(extra.result.ok);
    EXPECT_EQ(extra.text(), "kept");
    ASSERT_EQ(extra.result.warnings.size(), 1);
    EXPECT_TRUE(extra.result.warnings.first().contains("after the end"));

    const ReadRtf missing = readRtf("{\\rtf1 {\\b bold {\\i both");
    ASSERT_TRUE(missing.result.ok);
    EXPECT_EQ(missing.text(), "bold both");
    EXPECT_TRUE(missing.format("both").fontItalic());
    ASSERT_EQ(missing.result.warnings.size(), 1);
    EXPECT_TRUE(missing.result.warnings.first().contains("ends before"));

    // Closing brace with nothing open, and trailing white space, are fine.
    EXPECT_EQ(readRtf("{\\rtf1 a}\r\n  ").result.warnings, QStringList());
}

TEST(RtfRobustness, UnknownControlWordsAndSymbolsAreIgnored)
{
    const ReadRtf r = readRtf("{\\rtf1 \\zzzz12 \\qqq-5 one\\| \\:two\\^ {\\newthing three} \\'zzfour}");
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(r.text(), "one two three zzfour");
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
    // \\uc is bounded: only sixteen bytes after \\u are skipped.
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
    QByteArray rtf = "{\\rtf1 before ";
    rtf += QByteArray(depth, '{') + "\\b deep" + QByteArray(depth, '}') + " after}";
    QElapsedTimer timer;
    timer.start();
    const ReadRtf r = readRtf(rtf);
    EXPECT_LT(timer.elapsed(), 2000);
    ASSERT_TRUE(r.result.ok);
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

TEST(RtfRobustness, BinaryDataIsSteppedOver)
{
    // Braces and backslashes inside \bin data are not structure.
    EXPECT_EQ(readRtf("{\\rtf1 a\\bin4 {}\\}b}").text(), "ab");
    EXPECT_EQ(readRtf("{\\rtf1 a{\\*\\junk \\bin3 }}}}b}").text(), "ab");
    const QByteArray deep = "{\\rtf1 a" + QByteArray(300, '{') + "\\bin2 }}" + QByteArray(300, '}') + "b}";
    EXPECT_EQ(readRtf(deep).text(), "ab");
    // Data cut short, or with a negative length.
    EXPECT_EQ(readRtf("{\\rtf1 a\\bin999999 xyz").text(), "a");
    EXPECT_EQ(readRtf("{\\rtf1 a\\bin-4 bc}").text(), "abc");
}

TEST(RtfRobustness, EveryTruncationOfARichDocumentReads)
{
    const QByteArray sample = featureSample();
    for (qsizetype length = 0; length < sample.size(); length += 11) {
        // Shorter than "{\\rtf" it is no RTF document at all.
        const ReadRtf r = readRtf(sample.left(length));
        EXPECT_EQ(r.result.ok, length >= 5) << length;
    }
}

TEST(RtfRobustness, RandomDamageNeverCrashes)
{
    const QByteArray sample = featureSample() + cocoaSample();
    QRandomGenerator random(20240611);
    const char noise[] = "{}\\'*;0123456789-abuxfinpc \n\xe9\xff";
    for (int round = 0; round < 150; ++round) {
        QByteArray damaged = sample;
        const int edits = 1 + random.bounded(40);
        for (int e = 0; e < edits; ++e) {
            const qsizetype at = 6 + random.bounded(damaged.size() - 6);
            switch (random.bounded(3)) {
            case 0: damaged[at] = noise[random.bounded(int(sizeof noise) - 1)]; break;
            case 1: damaged.remove(at, 1 + random.bounded(20)); break;
            default: damaged.insert(at, damaged.mid(random.bounded(damaged.size()), random.bounded(30))); break;
            }
        }
        const ReadRtf r = readRtf(damaged);
        EXPECT_TRUE(r.result.ok) << round;
    }
}

TEST(RtfRobustness, ManyFontsColoursAndCells)
{
    QByteArray rtf = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 5000; ++i)
        rtf += "{\\f" + QByteArray::number(i) + " Font" + QByteArray::number(i) + ";}";
    rtf += "}{\\colortbl;";
    for (int i = 0; i < 5000; ++i)
        rtf += "\\red1\\green2\\blue3;";
    rtf += "}\\trowd";
    for (int i = 1; i <= 100; ++i)
        rtf += "\\cellx" + QByteArray::number(i * 50);
    rtf += "\\intbl ";
    for (int i = 0; i < 100; ++i)
        rtf += "c" + QByteArray::number(i) + "\\cell ";
    rtf += "\\row}";
    const ReadRtf r = readRtf(rtf);
    ASSERT_TRUE(r.result.ok);
    EXPECT_TRUE(r.text().contains("c99"));
    QTextTable* table = QTextCursor(r.block("c0")).currentTable();
    ASSERT_NE(table, nullptr);
    EXPECT_LE(table->columns(), 63);
}

} // namespace
