// Archives written in memory, checked field by field and opened by Python's
// zipfile (unzip opens the book's container: BookXml). (The program writes one entry, book.xml, with no
// attributes of its own: archives of several entries are not checked.)
#include "archive/ZKArchive.h"
#include "archive/ZKDosTime.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

namespace {

std::uint32_t u16(const QByteArray& b, qsizetype at)
{
    return std::uint8_t(b[at]) | (std::uint32_t(std::uint8_t(b[at + 1])) << 8);
}
std::uint32_t u32(const QByteArray& b, qsizetype at)
{
    return u16(b, at) | (u16(b, at + 2) << 16);
}

QByteArray sampleDocument()
{
    QByteArray doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<flipbook count=\"3\">\n";
    for (int i = 0; i < 200; ++i)
        doc += "  <item name=\"k" + QByteArray::number(i) + "\">value " + QByteArray::number(i * 7) + "</item>\n";
    return doc + "</flipbook>\n";
}

// What Python's zipfile reads from the archive: its comment and entries, each
// name as the hex of its raw bytes and each content in base64.
std::pair<QString, QJsonArray> pythonReads(const TempDir& dir, const QByteArray& archive)
{
    static const char* script = R"PY(
import base64, json, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    entries = [{"name": i.orig_filename.encode("utf-8" if i.flag_bits & 0x800 else "cp437").hex(),
                "method": i.compress_type, "content": base64.b64encode(z.read(i)).decode()} for i in z.infolist()]
    print(json.dumps({"comment": z.comment.decode("utf-8"), "entries": entries, "testzip": z.testzip()}))
)PY";
    writeFile(dir.file("a.zip"), archive);
    const ToolRun r = runTool("python3", {"-c", script, dir.file("a.zip")});
    EXPECT_EQ(r.status, 0) << "python zipfile failed: " << r.err.toStdString();
    const QJsonObject info = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_TRUE(info.value("testzip").isNull()) << "a CRC does not match";
    return {info.value("comment").toString(), info.value("entries").toArray()};
}
QByteArray field(const QJsonValue& entry, const char* key)
{
    const QString text = entry[key].toString();
    return key == std::string("name") ? QByteArray::fromHex(text.toLatin1()) : QByteArray::fromBase64(text.toLatin1());
}

} // namespace

TEST(ZKArchive, OneEntryHasTheDocumentedLayoutAndOpensInARealReaderAndNamelessOnesAreRefused)
{
    const QByteArray doc = sampleDocument();
    ZKDataArchive archive;
    const QDateTime before = QDateTime::currentDateTime();
    ASSERT_EQ(archive.deflateData(doc, QStringLiteral("book.xml")), 1);
    const QDateTime after = QDateTime::currentDateTime();
    const QByteArray b = archive.data();

    // What readers do not check, little-endian (offset, width, value): the
    // versions, flags and method of both headers, the central header's
    // system (Unix), attributes and the local header's time, the trailer's
    // single disk; the comment follows the trailer.
    const std::uint32_t c = u32(b, 18);
    ASSERT_LT(c, std::uint32_t(doc.size())); // the text compresses
    ASSERT_EQ(b.size(), qsizetype(141 + c));
    const qsizetype cd = 38 + c, t = cd + 54;
    const std::tuple<qsizetype, int, std::uint32_t> fields[] = {
        {4, 2, 20}, {6, 2, 0}, {8, 2, 8}, {cd + 4, 2, 0x0315}, {cd + 6, 2, 20}, {cd + 8, 2, 0}, {cd + 10, 2, 8},
        {cd + 12, 4, u32(b, 10)}, {cd + 36, 2, 0}, {cd + 38, 4, 0}, {t + 4, 2, 0}, {t + 6, 2, 0}, {t + 20, 2, 27}};
    for (const auto& [at, width, value] : fields)
        EXPECT_EQ(width == 2 ? u16(b, at) : u32(b, at), value) << "field at " << at;
    EXPECT_EQ(b.mid(t + 22), "Archive created with ZipKit");
    // The time written is the time of the call, to the format's two seconds.
    EXPECT_GE(u32(b, 10), zk::dosDateTime(before).packed());
    EXPECT_LE(u32(b, 10), zk::dosDateTime(after).packed());

    // Python's zipfile inflates raw deflate only.
    TempDir dir;
    const auto [comment, entries] = pythonReads(dir, b);
    EXPECT_EQ(comment, "Archive created with ZipKit");
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(std::tuple(field(entries[0], "name"), entries[0]["method"].toInt(), field(entries[0], "content")),
              std::tuple(QByteArray("book.xml"), 8, doc));

    // An empty or absent name is refused and changes nothing.
    ZKDataArchive refused;
    EXPECT_EQ(refused.deflateData("abc", QStringLiteral("")), -1);
    EXPECT_EQ(refused.deflateData("abc", std::nullopt), -1);
    EXPECT_TRUE(refused.data().isEmpty() && refused.centralDirectory().empty());
    EXPECT_EQ(archive.deflateData("def", QStringLiteral("")), -1);
    EXPECT_EQ(archive.data(), b);
    EXPECT_EQ(archive.cdTrailer().totalNumberOfCentralDirectoryEntries, 1u);
}

TEST(ZKDosTime, EncodesTheMsDosFieldsAndClampsTheYears)
{
    const zk::DosDateTime t = zk::dosDateTime(QDateTime(QDate(2024, 3, 5), QTime(13, 45, 59)));
    EXPECT_EQ(t.time, (13 << 11) | (45 << 5) | 29);
    EXPECT_EQ(t.date, (44 << 9) | (3 << 5) | 5);
    const zk::DosDateTime early = zk::dosDateTime(QDateTime(QDate(1970, 1, 1), QTime(12, 0)));
    EXPECT_EQ(early.date, (1 << 5) | 1);
    EXPECT_EQ(early.time, 0);
    EXPECT_EQ(zk::dosDateTime(QDateTime(QDate(2200, 1, 1), QTime(0, 0))).date, (127 << 9) | (12 << 5) | 31);
}
