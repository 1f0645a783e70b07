#include "import/text/PlainTextDocument.h"
#include "import/text/TextDecoding.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace quire::textimport;

namespace {

TEST(TextDecoding, Utf8FirstThenWindows1252)
{
    DecodedText d = decodeTextFile(QByteArray("Grüße Ελλάδα Россия"));
    EXPECT_EQ(d.text, QStringLiteral("Grüße Ελλάδα Россия"));
    EXPECT_FALSE(d.usedFallback);

    d = decodeTextFile(QByteArray("\xEF\xBB\xBFwith bom"));
    EXPECT_EQ(d.text, QStringLiteral("with bom"));

    // Latin-1 and Windows-1252 bytes are not UTF-8.
    d = decodeTextFile(QByteArray("na\xEFve \x80 \x93q\x94 \x9c \xA0x"));
    EXPECT_TRUE(d.usedFallback);
    EXPECT_EQ(d.text, QStringLiteral("naïve € “q” œ \u00A0x"));

    // A UTF-8 sequence cut short is not UTF-8 either.
    d = decodeTextFile(QByteArray("caf\xC3"));
    EXPECT_TRUE(d.usedFallback);
    EXPECT_EQ(d.text, QStringLiteral("caf\u00C3"));

    EXPECT_EQ(decodeTextFile(QByteArray()).text, QString());
}

TEST(TextDecoding, Utf16WithByteOrderMark)
{
    const QString text = QStringLiteral("Hello Ωμέγα");
    QStringEncoder le(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QStringEncoder be(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
    EXPECT_EQ(decodeTextFile(QByteArray(le.encode(text))).text, text);
    EXPECT_EQ(decodeTextFile(QByteArray(be.encode(text))).text, text);
}

TEST(TextDecoding, Windows1252TableCoversTheWholeRange)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = decodeWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x41], QLatin1Char('A'));
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x8A], QChar(0x0160));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    EXPECT_EQ(text[0x81], QChar(0x0081));
    EXPECT_EQ(text[0xE9], QChar(0x00E9));
    EXPECT_EQ(text[0xFF], QChar(0x00FF));
}

TEST(TextDecoding, CodePages)
{
    CodePageDecoder decoder;
    EXPECT_EQ(decoder.decode(1251, "\xCF\xF0\xE8"), QStringLiteral("При"));
    EXPECT_EQ(decoder.decode(1253, "\xE1\xE2"), QStringLiteral("αβ"));
    EXPECT_EQ(decoder.decode(10000, "\x8E\xA5"), QStringLiteral("é•"));
    EXPECT_EQ(decoder.decode(932, "\x82\xA0"), QStringLiteral("あ"));
    EXPECT_EQ(decoder.decode(1252, "\x80"), QStringLiteral("€"));
    EXPECT_FALSE(decoder.supports(4242));
    EXPECT_EQ(decoder.decode(4242, "\x80\xE9"), QStringLiteral("€é"));

    EXPECT_EQ(codePageForCharset(204, 1252), 1251);
    EXPECT_EQ(codePageForCharset(77, 1252), 10000);
    EXPECT_EQ(codePageForCharset(0, 1250), 1250);
    EXPECT_EQ(codePageForCharset(1, 1257), 1257);
    EXPECT_EQ(codePageForCharset(2, 1252), 1252);
}

TEST(PlainText, LineEndsAndControlCharacters)
{
    EXPECT_EQ(PlainTextDocument::normalized(QStringLiteral("a\r\nb\rc\nd\n")), QStringLiteral("a\nb\nc\nd"));
    EXPECT_EQ(PlainTextDocument::normalized(QStringLiteral("t\tx\x01y\x7f\fz\n\n")), QStringLiteral("t\txyz\n"));
    EXPECT_EQ(PlainTextDocument::normalized(QString()), QString());
}

} // namespace
