#include "import/text/PlainTextDocument.h"
#include "import/text/TextDecoding.h"
#include "support/TestEnv.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace quire::textimport;

namespace {

TEST(TextDecoding, Utf8FirstThenWindows1252)
{
    struct Case {
        QByteArray bytes;
        QString text;
        bool fallback;
    };
    const Case cases[] = {
        {"Grüße Ελλάδα Россия", "Grüße Ελλάδα Россия", false},
        {"\xEF\xBB\xBFwith bom", "with bom", false},
        {"", "", false},
        // Latin-1 and Windows-1252 bytes are not UTF-8, nor is a sequence cut
        // short. 0x81 is unassigned in Windows-1252 and keeps its code.
        {"na\xEFve \x80 \x93q\x94 \x9c \xA0x \x8A\x9F\x81\xFF", "naïve € “q” œ \u00A0x ŠŸ\u0081ÿ", true},
        {"caf\xC3", "caf\u00C3", true},
    };
    for (const Case& c : cases) {
        const DecodedText d = decodeTextFile(c.bytes);
        EXPECT_EQ(d.text, c.text);
        EXPECT_EQ(d.usedFallback, c.fallback) << c.text.toStdString();
    }
    EXPECT_EQ(decodeWindows1252(QByteArray("a\0\x7f", 3)), QString::fromLatin1("a\0\x7f", 3)); // a character a byte

    // UTF-16 with a byte order mark, either way round.
    const QString text = "Hello Ωμέγα";
    for (auto encoding : {QStringEncoder::Utf16LE, QStringEncoder::Utf16BE}) {
        QStringEncoder encoder(encoding, QStringEncoder::Flag::WriteBom);
        EXPECT_EQ(decodeTextFile(QByteArray(encoder.encode(text))).text, text);
    }
}

TEST(TextDecoding, CodePages)
{
    CodePageDecoder decoder;
    EXPECT_FALSE(decoder.supports(4242));
    const std::tuple<int, const char*, QString> cases[] = {
        {1251, "\xCF\xF0\xE8", "При"}, {1253, "\xE1\xE2", "αβ"}, {10000, "\x8E\xA5", "é•"},
        {932, "\x82\xA0", "あ"},       {1252, "\x80", "€"},     {4242, "\x80\xE9", "€é"}, // unknown: Windows-1252
    };
    for (const auto& [page, bytes, text] : cases)
        EXPECT_EQ(decoder.decode(page, bytes), text) << page;

    EXPECT_EQ(codePageForCharset(204, 1252), 1251);
    EXPECT_EQ(codePageForCharset(77, 1252), 10000);
    EXPECT_EQ(codePageForCharset(0, 1250), 1250);
    EXPECT_EQ(codePageForCharset(1, 1257), 1257);
    EXPECT_EQ(codePageForCharset(2, 1252), 1252);
}

TEST(PlainText, LineEndsAndControlCharacters)
{
    EXPECT_EQ(PlainTextDocument::normalized("a\r\nb\rc\nd\n"), "a\nb\nc\nd");
    EXPECT_EQ(PlainTextDocument::normalized("t\tx\x01y\x7f\fz\n\n"), "t\txy\fz\n");
    EXPECT_EQ(PlainTextDocument::normalized(QString()), QString());
}

} // namespace
