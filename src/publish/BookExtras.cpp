#include "BookExtras.h"

#include "PublishConstants.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <zlib.h>

namespace quire::publish {
namespace {

constexpr float kUnits = 10000; // places in ten thousandths of the page
// Nearly the files of the default level, in a third of its time: the words
// of a book are compressed on every publish.
constexpr int kDeflateLevel = 4;

int units(float fraction)
{
    return int(std::lround(fraction * kUnits));
}

// ",N" without a temporary.
void appendNumber(QByteArray& out, int value)
{
    char digits[16] = {','};
    const auto end = std::to_chars(digits + 1, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

// [[[direction,"word",x,y,w,h,...],...],...]: blocks of lines of words.
void appendBlocks(QByteArray& out, const PageText& text)
{
    out += '[';
    for (size_t b = 0; b < text.blocks.size(); ++b) {
        out += b ? ",[" : "[";
        const TextBlock& block = text.blocks[b];
        for (size_t l = 0; l < block.lines.size(); ++l) {
            const TextLine& line = block.lines[l];
            out += l ? ",[" : "[";
            out += QByteArray::number(line.direction);
            for (const TextWord& word : line.words) {
                out += ',';
                appendJsonString(out, word.text);
                // Right and bottom edges are rounded, not the sizes, so
                // neighbouring words keep their gaps.
                const int x = units(word.box.x), y = units(word.box.y);
                appendNumber(out, x);
                appendNumber(out, y);
                appendNumber(out, units(word.box.x + word.box.width) - x);
                appendNumber(out, units(word.box.y + word.box.height) - y);
            }
            out += ']';
        }
        out += ']';
    }
    out += ']';
}

QByteArray script(const char* function, const QByteArray& argument)
{
    return QByteArray(function) + '(' + argument + ");\n";
}

} // namespace

void appendJsonString(QByteArray& out, const QString& text)
{
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    const auto plain = [](QChar ch) { return ch.unicode() >= 0x20 && ch.unicode() < 0x7F && ch != u'"' && ch != u'\\'; };
    if (std::all_of(text.begin(), text.end(), plain)) {
        out += text.toLatin1();
        out += '"';
        return;
    }
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += char(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            const char escape[] = {'\\', 'u', kHex[(c >> 12) & 15], kHex[(c >> 8) & 15], kHex[(c >> 4) & 15],
                                   kHex[c & 15]};
            out.append(escape, sizeof escape);
        }
    }
    out += '"';
}

std::optional<QByteArray> deflateRaw(const QByteArray& data)
{
    z_stream stream{};
    if (deflateInit2(&stream, kDeflateLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = deflate(&stream, Z_FINISH);
    const uLong written = stream.total_out;
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    out.truncate(qsizetype(written));
    return out;
}

QByteArray textGroupScript(int group, const std::vector<const PageText*>& pages)
{
    QByteArray list;
    list.reserve(qsizetype(pages.size()) * 8192);
    list += '[';
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i)
            list += ',';
        if (pages[i])
            appendBlocks(list, *pages[i]);
        else
            list += "null";
    }
    list += ']';
    const QByteArray prefix = QByteArray::number(group) + ',';
    const QByteArray plain = script(kTextFunction, prefix + "{\"pages\":" + list + '}');
    if (const std::optional<QByteArray> deflated = deflateRaw(list)) {
        const QByteArray packed = script(kTextFunction, prefix + "{\"deflated\":\"" + deflated->toBase64()
                                                            + "\",\"size\":" + QByteArray::number(list.size()) + '}');
        if (packed.size() * 4 <= plain.size() * 3)
            return packed;
    }
    return plain;
}

bool hasExtras(const std::vector<PageExtras>& pages)
{
    for (const PageExtras& page : pages)
        if (page.label || page.thumbnail || page.text)
            return true;
    return false;
}

QByteArray extrasScript(const std::vector<PageExtras>& pages)
{
    bool labels = false, thumbnails = false, text = false;
    for (const PageExtras& page : pages) {
        labels = labels || page.label;
        thumbnails = thumbnails || page.thumbnail;
        text = text || page.text != nullptr;
    }
    // One list per kind, by book position; a kind the book lacks has none.
    const auto list = [&](const char* key, auto&& item) {
        QByteArray out = QByteArray(",\"") + key + "\":[";
        for (size_t i = 0; i < pages.size(); ++i) {
            if (i)
                out += ',';
            item(out, pages[i]);
        }
        return out + ']';
    };
    QByteArray json = "{\"version\":" + QByteArray::number(kExtrasVersion) + ",\"count\":"
        + QByteArray::number(qsizetype(pages.size()));
    json += list("pages", [](QByteArray& out, const PageExtras& p) { out += QByteArray::number(p.pageNumber); });
    if (labels)
        json += list("labels", [](QByteArray& out, const PageExtras& p) {
            if (p.label)
                appendJsonString(out, *p.label);
            else
                out += "null";
        });
    if (thumbnails)
        json += list("thumbs", [](QByteArray& out, const PageExtras& p) {
            out += p.thumbnail ? '[' + QByteArray::number(p.thumbnail->width()) + ','
                    + QByteArray::number(p.thumbnail->height()) + ']'
                               : QByteArray("null");
        });
    if (text) {
        json += ",\"textGroup\":" + QByteArray::number(kTextGroupSize);
        json += list("text", [](QByteArray& out, const PageExtras& p) { out += p.text ? '1' : '0'; });
    }
    return script(kExtrasFunction, json + '}');
}

} // namespace quire::publish
