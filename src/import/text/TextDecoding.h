#pragma once
// Byte-to-text decoding for text files and for the code pages RTF names.
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <map>
#include <memory>

namespace quire::textimport {

struct DecodedText {
    QString text;
    // The bytes were not valid UTF-8 and were read as Windows-1252.
    bool usedFallback = false;
};

// UTF-8 (a byte order mark is dropped); UTF-16 when the bytes start with its
// byte order mark; otherwise, when the bytes are not valid UTF-8,
// Windows-1252 (which also covers Latin-1 text).
DecodedText decodeTextFile(QByteArrayView bytes);

// Windows-1252 without relying on the platform's converters.
QString decodeWindows1252(QByteArrayView bytes);

// The Windows code page for an RTF \fcharset value; documentCodePage for the
// ANSI and default character sets and for unknown values.
int codePageForCharset(int charset, int documentCodePage);

// Decodes bytes in Windows and Mac code pages, keeping one converter per code
// page. Unknown or unavailable code pages are read as Windows-1252.
class CodePageDecoder {
public:
    CodePageDecoder();
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    QString decode(int codePage, QByteArrayView bytes);
    // Whether the code page is decoded as itself rather than as Windows-1252.
    bool supports(int codePage);

    // The converter name for a code page; nullptr when it has none.
    static const char* encodingName(int codePage);

private:
    QStringDecoder* decoderFor(int codePage);
    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;
};

} // namespace quire::textimport
