#include "archive/ZKArchive.h"
#include "archive/ZKDosTime.h"
#include "archive/ZipReaders.h"
#include "support/TestEnv.h"

#include <QJsonArray>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace quire;
using quire::test::pythonZipInfo;
using quire::test::runTool;

namespace {

std::uint32_t u16(const QByteArray& b, qsizetype at)
{
    return std::uint8_t(b[at]) | (std::uint32_t(std::uint8_t(b[at + 1])) << 8);
}
std::uint32_t u32(const QByteArray& b, qsizetype at)
{
    return u16(b, at) | (u16(b, at + 2) << 16);
}
std::uint32_t zlibCrc(const QByteArray& b)
{
    return std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(b.constData()), uInt(b.size())));
}

// Little-endian fields: offset, width in bytes, value.
struct Field {
    qsizetype at;
    int width;
    std::uint32_t value;
};
void expectFields(const QByteArray& b, std::initializer_list<Field> fields)
{
    for (const Field& f : fields)
        EXPECT_EQ(f.width == 2 ? u16(b, f.at) : u32(b, f.at), f.value) << "field at " << f.at;
}

QByteArray sampleDocument()
{
    QByteArray doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<flipbook count=\"3\">\n";
    for (int i = 0; i < 200; ++i)
        doc += "  <item name=\"k" + QByteArray::number(i) + "\">value " + QByteArray::number(i * 7) + "</item>\n";
    return doc + "</flipbook>\n";
}

// What Python's zipfile reads from the archive, written to a file first.
QJsonArray pythonEntries(const quire::test::TempDir& dir, const ZKDataArchive& archive)
{
    quire::test::writeFile(dir.file("a.zip"), archive.data());
    const QJsonObject info = pythonZipInfo(dir.file("a.zip"));
    EXPECT_TRUE(info.value("testzip").isNull()) << "a CRC does not match";
    return info.value("entries").toArray();
}
QByteArray nameOf(const QJsonValue& entry)
{
    return QByteArray::fromHex(entry.toObject().value("name").toString().toLatin1());
}
QByteArray contentOf(const QJsonValue& entry)
{
    return QByteArray::fromBase64(entry.toObject().value("content").toString().toLatin1());
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

    const std::uint32_t c = u32(b, 18), size = std::uint32_t(doc.size()), crc = zlibCrc(doc);
    ASSERT_LT(c, size); // the text compresses
    ASSERT_EQ(b.size(), qsizetype(141 + c));
    const qsizetype cd = 38 + c, t = cd + 54;
    expectFields(b, {// local header
                     {0, 4, 0x04034b50}, {4, 2, 20}, {6, 2, 0}, {8, 2, 8}, {14, 4, crc}, {22, 4, size}, {26, 2, 8},
                     {28, 2, 0},
                     // central directory header, with the local header's MS-DOS time and date
                     {cd, 4, 0x02014b50}, {cd + 4, 2, 0x0315}, {cd + 6, 2, 20}, {cd + 8, 2, 0}, {cd + 10, 2, 8},
                     {cd + 12, 4, u32(b, 10)}, {cd + 16, 4, crc}, {cd + 20, 4, c}, {cd + 24, 4, size},
                     {cd + 28, 2, 8}, {cd + 30, 2, 0}, {cd + 32, 2, 0}, {cd + 34, 2, 0}, {cd + 36, 2, 0},
                     {cd + 38, 4, 0}, {cd + 42, 4, 0},
                     // trailer
                     {t, 4, 0x06054b50}, {t + 4, 2, 0}, {t + 6, 2, 0}, {t + 8, 2, 1}, {t + 10, 2, 1}, {t + 12, 4, 54},
                     {t + 16, 4, std::uint32_t(cd)}, {t + 20, 2, 27}});
    EXPECT_EQ(b.mid(30, 8), QByteArray("book.xml"));
    EXPECT_EQ(b.mid(cd + 46, 8), QByteArray("book.xml"));
    EXPECT_EQ(b.mid(t + 22), QByteArray("Archive created with ZipKit"));
    // The time written is the time of the call, to the format's two seconds.
    EXPECT_GE(u32(b, 10), zk::dosDateTime(before).packed());
    EXPECT_LE(u32(b, 10), zk::dosDateTime(after).packed());

    // Python's zipfile inflates raw deflate only; unzip is a second reader.
    quire::test::TempDir dir;
    const QString path = dir.file("a.zip");
    quire::test::writeFile(path, b);
    const QJsonObject info = pythonZipInfo(path);
    EXPECT_EQ(info.value("comment").toString(), QStringLiteral("Archive created with ZipKit"));
    EXPECT_TRUE(info.value("testzip").isNull());
    const QJsonArray entries = info.value("entries").toArray();
    ASSERT_EQ(entries.size(), 1);
    const QJsonObject e = entries[0].toObject();
    EXPECT_EQ(nameOf(e), QByteArray("book.xml"));
    EXPECT_EQ(e.value("method").toInt(), 8);
    EXPECT_EQ(std::uint32_t(e.value("crc").toDouble()), crc);
    EXPECT_EQ(contentOf(e), doc);
    EXPECT_EQ(qsizetype(e.value("csize").toInt()) + 141, b.size());

    EXPECT_EQ(runTool("unzip", {"-tq", path}).exitCode, 0);
    EXPECT_EQ(runTool("unzip", {"-p", path, "book.xml"}).out, doc);
    EXPECT_TRUE(runTool("unzip", {"-v", path}).out.contains("Defl:N"));
}

TEST(ZKArchive, SecondEntryStartsWhereTheFirstDirectoryWas)
{
    quire::test::TempDir dir;
    ZKDataArchive archive;
    const QByteArray first = sampleDocument();
    const QByteArray second = QByteArray("second entry, short");
    ASSERT_EQ(archive.deflateData(first, QStringLiteral("book.xml")), 1);
    const QByteArray before = archive.data();
    const std::uint32_t firstDirectory = u32(before, before.size() - 49 + 16);

    ASSERT_EQ(archive.deflateData(second, QStringLiteral("notes.txt")), 1);
    const QByteArray& b = archive.data();
    EXPECT_EQ(b.left(firstDirectory), before.left(firstDirectory));
    EXPECT_EQ(u32(b, firstDirectory), 0x04034b50u);
    ASSERT_EQ(archive.centralDirectory().size(), 2u);
    EXPECT_EQ(archive.centralDirectory()[1].localHeaderOffset, firstDirectory);
    EXPECT_EQ(archive.cdTrailer().totalNumberOfCentralDirectoryEntries, 2u);
    EXPECT_EQ(archive.cdTrailer().numberOfCentralDirectoryEntriesOnThisDisk, 2u);
    EXPECT_EQ(archive.cdTrailer().sizeOfCentralDirectory, 54u + 55u);

    const QJsonArray entries = pythonEntries(dir, archive);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(nameOf(entries[0]), "book.xml");
    EXPECT_EQ(nameOf(entries[1]), "notes.txt");
    EXPECT_EQ(contentOf(entries[0]), first);
    EXPECT_EQ(contentOf(entries[1]), second);
    EXPECT_EQ(entries[1].toObject().value("offset").toInt(), int(firstDirectory));
}

TEST(ZKArchive, NamesArePrecomposedUtf8AndLengthsCountBytes)
{
    quire::test::TempDir dir;
    ZKDataArchive archive;
    // "Café" written with a combining acute accent (decomposed form).
    ASSERT_EQ(archive.deflateData("x", QStringLiteral("Cafe\u0301.xml")), 1);
    const QByteArray expectedName = QByteArray("Caf\xc3\xa9.xml");
    const QByteArray& b = archive.data();
    EXPECT_EQ(u16(b, 26), std::uint32_t(expectedName.size()));
    EXPECT_EQ(u16(b, 6), 0u); // the UTF-8 flag stays clear
    EXPECT_EQ(b.mid(30, expectedName.size()), expectedName);
    EXPECT_EQ(archive.centralDirectory()[0].length(), 46 + expectedName.size());

    const QJsonArray entries = pythonEntries(dir, archive);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(nameOf(entries[0]), expectedName);
}

TEST(ZKArchive, EmptyOrAbsentNameIsRefusedAndChangesNothing)
{
    ZKDataArchive archive;
    EXPECT_EQ(archive.deflateData("abc", QStringLiteral("")), -1);
    EXPECT_EQ(archive.deflateData("abc", std::nullopt), -1);
    EXPECT_TRUE(archive.data().isEmpty());
    EXPECT_TRUE(archive.centralDirectory().empty());
    EXPECT_EQ(archive.cdTrailer().offsetOfStartOfCentralDirectory, 0u);

    ASSERT_EQ(archive.deflateData("abc", QStringLiteral("a")), 1);
    const QByteArray before = archive.data();
    EXPECT_EQ(archive.deflateData("def", QStringLiteral("")), -1);
    EXPECT_EQ(archive.data(), before);
    EXPECT_EQ(archive.cdTrailer().totalNumberOfCentralDirectoryEntries, 1u);
}

TEST(ZKArchive, EmptyAndIncompressibleEntriesRoundTrip)
{
    quire::test::TempDir dir;
    QByteArray noise(1 << 20, '\0');
    QRandomGenerator(42).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    ZKDataArchive archive;
    ASSERT_EQ(archive.deflateData(QByteArray(), QStringLiteral("empty")), 1);
    ASSERT_EQ(archive.deflateData(noise, QStringLiteral("noise.bin")), 1);

    const QJsonArray entries = pythonEntries(dir, archive);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].toObject().value("size").toInt(), 0);
    EXPECT_EQ(contentOf(entries[1]), noise);
}

TEST(ZKArchive, AttributesGiveTheDateAndPermissions)
{
    quire::test::TempDir dir;
    ZKDataArchive archive;
    ZKFileAttributes attributes;
    attributes.modificationDate = QDateTime(QDate(2021, 6, 7), QTime(8, 9, 10));
    attributes.posixPermissions = 0644;
    ASSERT_EQ(archive.deflateData("abc", QStringLiteral("a"), attributes), 1);
    ASSERT_EQ(archive.deflateData("def", QStringLiteral("b")), 1);
    const QJsonArray entries = pythonEntries(dir, archive);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].toObject().value("date").toArray(), (QJsonArray{2021, 6, 7, 8, 9, 10}));
    EXPECT_EQ(entries[0].toObject().value("external").toInt() >> 16, 0644);
    EXPECT_EQ(entries[1].toObject().value("external").toInt(), 0);
}

TEST(ZKDosTime, EncodesTheMsDosFieldsAndClampsTheYears)
{
    const zk::DosDateTime t = zk::dosDateTime(QDateTime(QDate(2024, 3, 5), QTime(13, 45, 59)));
    EXPECT_EQ(t.time, (13 << 11) | (45 << 5) | 29);
    EXPECT_EQ(t.date, (44 << 9) | (3 << 5) | 5);

    const zk::DosDateTime early = zk::dosDateTime(QDateTime(QDate(1970, 1, 1), QTime(12, 0)));
    EXPECT_EQ(early.date, (0 << 9) | (1 << 5) | 1);
    EXPECT_EQ(early.time, 0);
    const zk::DosDateTime late = zk::dosDateTime(QDateTime(QDate(2200, 1, 1), QTime(0, 0)));
    EXPECT_EQ(late.date, (127 << 9) | (12 << 5) | 31);
}
