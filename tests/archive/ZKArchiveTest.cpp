// Archives written in memory, checked field by field and opened by Python's
// zipfile and by unzip.
#include "archive/ZKArchive.h"
#include "archive/ZKDosTime.h"
#include "archive/ZipReaders.h"
#include "support/TestEnv.h"

#include <QJsonArray>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <zlib.h>

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

// What Python's zipfile reads from the archive: its comment and entries.
std::pair<QString, QJsonArray> pythonReads(const TempDir& dir, const QByteArray& archive)
{
    writeFile(dir.file("a.zip"), archive);
    const QJsonObject info = pythonZipInfo(dir.file("a.zip"));
    EXPECT_TRUE(info.value("testzip").isNull()) << "a CRC does not match";
    return {info.value("comment").toString(), info.value("entries").toArray()};
}
QByteArray field(const QJsonValue& entry, const char* key)
{
    const QString text = entry[key].toString();
    return key == std::string("name") ? QByteArray::fromHex(text.toLatin1()) : QByteArray::fromBase64(text.toLatin1());
}

} // namespace

TEST(ZKArchive, OneEntryHasTheDocumentedLayoutAndOpensInRealReaders)
{
    const QByteArray doc = sampleDocument();
    ZKDataArchive archive;
    const QDateTime before = QDateTime::currentDateTime();
    ASSERT_EQ(archive.deflateData(doc, QStringLiteral("book.xml")), 1);
    const QDateTime after = QDateTime::currentDateTime();
    const QByteArray& b = archive.data();

    const std::uint32_t c = u32(b, 18), size = std::uint32_t(doc.size());
    const std::uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(doc.constData()), uInt(doc.size()));
    ASSERT_LT(c, size); // the text compresses
    ASSERT_EQ(b.size(), qsizetype(141 + c));
    const qsizetype cd = 38 + c, t = cd + 54;
    // Offset, width in bytes, value, little-endian: the local header, the
    // central directory's with the local header's MS-DOS time, the trailer.
    const std::tuple<qsizetype, int, std::uint32_t> fields[] = {
        {0, 4, 0x04034b50}, {4, 2, 20}, {6, 2, 0}, {8, 2, 8}, {14, 4, crc}, {22, 4, size}, {26, 2, 8}, {28, 2, 0},
        {cd, 4, 0x02014b50}, {cd + 4, 2, 0x0315}, {cd + 6, 2, 20}, {cd + 8, 2, 0}, {cd + 10, 2, 8},
        {cd + 12, 4, u32(b, 10)}, {cd + 16, 4, crc}, {cd + 20, 4, c}, {cd + 24, 4, size}, {cd + 28, 2, 8},
        {cd + 30, 2, 0}, {cd + 32, 2, 0}, {cd + 34, 2, 0}, {cd + 36, 2, 0}, {cd + 38, 4, 0}, {cd + 42, 4, 0},
        {t, 4, 0x06054b50}, {t + 4, 2, 0}, {t + 6, 2, 0}, {t + 8, 2, 1}, {t + 10, 2, 1}, {t + 12, 4, 54},
        {t + 16, 4, std::uint32_t(cd)}, {t + 20, 2, 27}};
    for (const auto& [at, width, value] : fields)
        EXPECT_EQ(width == 2 ? u16(b, at) : u32(b, at), value) << "field at " << at;
    EXPECT_EQ(b.mid(30, 8), "book.xml");
    EXPECT_EQ(b.mid(cd + 46, 8), "book.xml");
    EXPECT_EQ(b.mid(t + 22), "Archive created with ZipKit");
    // The time written is the time of the call, to the format's two seconds.
    EXPECT_GE(u32(b, 10), zk::dosDateTime(before).packed());
    EXPECT_LE(u32(b, 10), zk::dosDateTime(after).packed());

    // Python's zipfile inflates raw deflate only; unzip is a second reader.
    TempDir dir;
    const auto [comment, entries] = pythonReads(dir, b);
    EXPECT_EQ(comment, "Archive created with ZipKit");
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(field(entries[0], "name"), "book.xml");
    EXPECT_EQ(entries[0]["method"].toInt(), 8);
    EXPECT_EQ(field(entries[0], "content"), doc);
    EXPECT_EQ(runTool("unzip", {"-tq", dir.file("a.zip")}).status, 0);
    EXPECT_EQ(runTool("unzip", {"-p", dir.file("a.zip"), "book.xml"}).out.toUtf8(), doc);
    EXPECT_TRUE(runTool("unzip", {"-v", dir.file("a.zip")}).out.contains("Defl:N"));
}

TEST(ZKArchive, EntriesFollowOneAnotherWithTheirNamesDatesAndPermissions)
{
    QByteArray noise(1 << 20, '\0');
    QRandomGenerator(42).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    ZKFileAttributes attributes{QDateTime(QDate(2021, 6, 7), QTime(8, 9, 10)), 0644};
    ZKDataArchive archive;
    ASSERT_EQ(archive.deflateData(sampleDocument(), QStringLiteral("book.xml"), attributes), 1);
    const QByteArray first = archive.data();
    const std::uint32_t firstDirectory = u32(first, first.size() - 49 + 16);
    // "Café" written with a combining accent is stored precomposed, as UTF-8
    // without the UTF-8 flag; lengths count its bytes.
    ASSERT_EQ(archive.deflateData("x", QStringLiteral("Cafe\u0301.xml")), 1);
    ASSERT_EQ(archive.deflateData({}, QStringLiteral("empty")), 1);
    ASSERT_EQ(archive.deflateData(noise, QStringLiteral("noise.bin")), 1); // incompressible

    // The second entry starts where the first directory was, the first left as it was.
    const QByteArray& b = archive.data();
    EXPECT_EQ(b.left(firstDirectory), first.left(firstDirectory));
    EXPECT_EQ(u32(b, firstDirectory), 0x04034b50u);
    EXPECT_EQ(u16(b, firstDirectory + 6), 0u);
    EXPECT_EQ(archive.cdTrailer().totalNumberOfCentralDirectoryEntries, 4u);
    EXPECT_EQ(archive.cdTrailer().numberOfCentralDirectoryEntriesOnThisDisk, 4u);
    EXPECT_EQ(archive.cdTrailer().sizeOfCentralDirectory, 4 * 46u + 8 + 9 + 5 + 9);

    TempDir dir;
    const QJsonArray entries = pythonReads(dir, b).second;
    ASSERT_EQ(entries.size(), 4);
    const QByteArray names[] = {"book.xml", "Caf\xc3\xa9.xml", "empty", "noise.bin"};
    const QByteArray contents[] = {sampleDocument(), "x", "", noise};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(field(entries[i], "name"), names[i]);
        EXPECT_EQ(field(entries[i], "content"), contents[i]);
        EXPECT_EQ(entries[i]["offset"].toInt(), int(archive.centralDirectory()[size_t(i)].localHeaderOffset));
    }
    EXPECT_EQ(entries[1]["offset"].toInt(), int(firstDirectory));
    EXPECT_EQ(entries[0]["date"].toArray(), (QJsonArray{2021, 6, 7, 8, 9, 10}));
    EXPECT_EQ(entries[0]["external"].toInt() >> 16, 0644);
    EXPECT_EQ(entries[1]["external"].toInt(), 0);
}

TEST(ZKArchive, EmptyOrAbsentNameIsRefusedAndChangesNothing)
{
    ZKDataArchive archive;
    EXPECT_EQ(archive.deflateData("abc", QStringLiteral("")), -1);
    EXPECT_EQ(archive.deflateData("abc", std::nullopt), -1);
    EXPECT_TRUE(archive.data().isEmpty());
    EXPECT_TRUE(archive.centralDirectory().empty());
    ASSERT_EQ(archive.deflateData("abc", QStringLiteral("a")), 1);
    const QByteArray before = archive.data();
    EXPECT_EQ(archive.deflateData("def", QStringLiteral("")), -1);
    EXPECT_EQ(archive.data(), before);
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
