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

QByteArray sampleDocument()
{
    QByteArray doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<flipbook count=\"3\">\n";
    for (int i = 0; i < 200; ++i)
        doc += "  <item name=\"k" + QByteArray::number(i) + "\">value " + QByteArray::number(i * 7) + "</item>\n";
    return doc + "</flipbook>\n";
}

QString writeArchive(const quire::test::TempDir& dir, const ZKDataArchive& archive)
{
    const QString path = dir.file("a.zip");
    quire::test::writeFile(path, archive.data());
    return path;
}

} // namespace

TEST(ZKArchive, NewArchiveIsEmptyAndItsTrailerAloneIs49Bytes)
{
    ZKDataArchive archive;
    EXPECT_TRUE(archive.data().isEmpty());
    EXPECT_TRUE(archive.centralDirectory().empty());
    const QByteArray trailer = archive.cdTrailer().data();
    ASSERT_EQ(trailer.size(), 49);
    EXPECT_EQ(u32(trailer, 0), 0x06054b50u);
    EXPECT_EQ(u16(trailer, 20), 27u);
    EXPECT_EQ(trailer.mid(22), QByteArray("Archive created with ZipKit"));
    EXPECT_EQ(archive.cdTrailer().commentLength, 27u);
}

TEST(ZKArchive, OneEntryHasTheDocumentedLayout)
{
    const QByteArray doc = sampleDocument();
    ZKDataArchive archive;
    const QDateTime before = QDateTime::currentDateTime();
    ASSERT_EQ(archive.deflateData(doc, QStringLiteral("book.xml")), 1);
    const QDateTime after = QDateTime::currentDateTime();
    const QByteArray& b = archive.data();

    const std::uint32_t c = u32(b, 18);
    ASSERT_LT(c, std::uint32_t(doc.size())); // the text compresses
    ASSERT_EQ(b.size(), qsizetype(141 + c));

    // Local header.
    EXPECT_EQ(u32(b, 0), 0x04034b50u);
    EXPECT_EQ(u16(b, 4), 20u);
    EXPECT_EQ(u16(b, 6), 0u);
    EXPECT_EQ(u16(b, 8), 8u);
    EXPECT_EQ(u32(b, 14), zlibCrc(doc));
    EXPECT_EQ(u32(b, 22), std::uint32_t(doc.size()));
    EXPECT_EQ(u16(b, 26), 8u);
    EXPECT_EQ(u16(b, 28), 0u);
    EXPECT_EQ(b.mid(30, 8), QByteArray("book.xml"));

    // The stored stream is raw deflate: zlib inflates it with negative window bits.
    z_stream z{};
    ASSERT_EQ(inflateInit2(&z, -15), Z_OK);
    QByteArray inflated(doc.size() + 16, '\0');
    QByteArray stream = b.mid(38, c);
    z.next_in = reinterpret_cast<Bytef*>(stream.data());
    z.avail_in = uInt(stream.size());
    z.next_out = reinterpret_cast<Bytef*>(inflated.data());
    z.avail_out = uInt(inflated.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    inflated.resize(qsizetype(z.total_out));
    inflateEnd(&z);
    EXPECT_EQ(inflated, doc);

    // Central directory header.
    const qsizetype cd = 38 + c;
    EXPECT_EQ(u32(b, cd), 0x02014b50u);
    EXPECT_EQ(u16(b, cd + 4), 0x0315u);
    EXPECT_EQ(u16(b, cd + 6), 20u);
    EXPECT_EQ(u16(b, cd + 8), 0u);
    EXPECT_EQ(u16(b, cd + 10), 8u);
    EXPECT_EQ(u32(b, cd + 12), u32(b, 10)); // same MS-DOS time and date
    EXPECT_EQ(u32(b, cd + 16), zlibCrc(doc));
    EXPECT_EQ(u32(b, cd + 20), c);
    EXPECT_EQ(u32(b, cd + 24), std::uint32_t(doc.size()));
    EXPECT_EQ(u16(b, cd + 28), 8u);
    EXPECT_EQ(u16(b, cd + 30), 0u);
    EXPECT_EQ(u16(b, cd + 32), 0u);
    EXPECT_EQ(u32(b, cd + 38), 0u);
    EXPECT_EQ(u32(b, cd + 42), 0u);
    EXPECT_EQ(b.mid(cd + 46, 8), QByteArray("book.xml"));

    // Trailer.
    const qsizetype t = cd + 54;
    EXPECT_EQ(u32(b, t), 0x06054b50u);
    EXPECT_EQ(u16(b, t + 8), 1u);
    EXPECT_EQ(u16(b, t + 10), 1u);
    EXPECT_EQ(u32(b, t + 12), 54u);
    EXPECT_EQ(u32(b, t + 16), 38u + c);
    EXPECT_EQ(b.mid(t + 22), QByteArray("Archive created with ZipKit"));

    // The time written is the time of the call, to the format's two seconds.
    EXPECT_GE(u32(b, 10), zk::dosDateTime(before).packed());
    EXPECT_LE(u32(b, 10), zk::dosDateTime(after).packed());
}

TEST(ZKArchive, OneEntryOpensInPythonAndUnzip)
{
    quire::test::TempDir dir;
    const QByteArray doc = sampleDocument();
    ZKDataArchive archive;
    ASSERT_EQ(archive.deflateData(doc, QStringLiteral("book.xml")), 1);
    const QString path = writeArchive(dir, archive);

    const QJsonObject info = pythonZipInfo(path);
    EXPECT_EQ(info.value("comment").toString(), QStringLiteral("Archive created with ZipKit"));
    EXPECT_TRUE(info.value("testzip").isNull());
    const QJsonArray entries = info.value("entries").toArray();
    ASSERT_EQ(entries.size(), 1);
    const QJsonObject e = entries[0].toObject();
    EXPECT_EQ(QByteArray::fromHex(e.value("name").toString().toLatin1()), QByteArray("book.xml"));
    EXPECT_EQ(e.value("method").toInt(), 8);
    EXPECT_EQ(std::uint32_t(e.value("crc").toDouble()), zlibCrc(doc));
    EXPECT_EQ(e.value("crcOfContent").toDouble(), e.value("crc").toDouble());
    EXPECT_EQ(QByteArray::fromBase64(e.value("content").toString().toLatin1()), doc);
    EXPECT_EQ(qsizetype(e.value("csize").toInt()) + 141, archive.data().size());

    EXPECT_EQ(runTool("unzip", {"-tq", path}).exitCode, 0);
    EXPECT_EQ(runTool("unzip", {"-p", path, "book.xml"}).out, doc);
    const QByteArray listing = runTool("unzip", {"-v", path}).out;
    EXPECT_TRUE(listing.contains("Defl:N")) << listing.toStdString();
    EXPECT_TRUE(listing.contains(QByteArray::number(zlibCrc(doc), 16).rightJustified(8, '0')));
    EXPECT_TRUE(runTool("unzip", {"-z", path}).out.contains("Archive created with ZipKit"));
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
    EXPECT_EQ(archive.centralDirectory()[0].localHeaderOffset, 0u);
    EXPECT_EQ(archive.centralDirectory()[1].localHeaderOffset, firstDirectory);
    EXPECT_EQ(archive.cdTrailer().totalNumberOfCentralDirectoryEntries, 2u);
    EXPECT_EQ(archive.cdTrailer().numberOfCentralDirectoryEntriesOnThisDisk, 2u);
    EXPECT_EQ(archive.cdTrailer().sizeOfCentralDirectory, 54u + 55u);

    const QJsonArray entries = pythonZipInfo(writeArchive(dir, archive)).value("entries").toArray();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(QByteArray::fromHex(entries[0].toObject().value("name").toString().toLatin1()), "book.xml");
    EXPECT_EQ(QByteArray::fromHex(entries[1].toObject().value("name").toString().toLatin1()), "notes.txt");
    EXPECT_EQ(QByteArray::fromBase64(entries[0].toObject().value("content").toString().toLatin1()), first);
    EXPECT_EQ(QByteArray::fromBase64(entries[1].toObject().value("content").toString().toLatin1()), second);
    EXPECT_EQ(entries[1].toObject().value("offset").toInt(), int(firstDirectory));
}

TEST(ZKArchive, NamesArePrecomposedUtf8AndLengthsCountBytes)
{
    quire::test::TempDir dir;
    ZKDataArchive archive;
    // "Café" written with a combining acute accent (decomposed form).
    const QString decomposed = QStringLiteral("Cafe\u0301.xml");
    ASSERT_EQ(archive.deflateData("x", decomposed), 1);
    const QByteArray expectedName = QByteArray("Caf\xc3\xa9.xml");
    const QByteArray& b = archive.data();
    EXPECT_EQ(u16(b, 26), std::uint32_t(expectedName.size()));
    EXPECT_EQ(u16(b, 6), 0u); // the UTF-8 flag stays clear
    EXPECT_EQ(b.mid(30, expectedName.size()), expectedName);
    EXPECT_EQ(archive.centralDirectory()[0].length(), 46 + expectedName.size());

    const QJsonArray entries = pythonZipInfo(writeArchive(dir, archive)).value("entries").toArray();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(QByteArray::fromHex(entries[0].toObject().value("name").toString().toLatin1()), expectedName);
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
    QRandomGenerator rng(42);
    rng.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    ZKDataArchive archive;
    ASSERT_EQ(archive.deflateData(QByteArray(), QStringLiteral("empty")), 1);
    ASSERT_EQ(archive.deflateData(noise, QStringLiteral("noise.bin")), 1);

    const QJsonObject info = pythonZipInfo(writeArchive(dir, archive));
    EXPECT_TRUE(info.value("testzip").isNull());
    const QJsonArray entries = info.value("entries").toArray();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].toObject().value("size").toInt(), 0);
    EXPECT_EQ(QByteArray::fromBase64(entries[1].toObject().value("content").toString().toLatin1()), noise);
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
    const QJsonArray entries = pythonZipInfo(writeArchive(dir, archive)).value("entries").toArray();
    ASSERT_EQ(entries.size(), 2);
    const QJsonArray date = entries[0].toObject().value("date").toArray();
    EXPECT_EQ(date, (QJsonArray{2021, 6, 7, 8, 9, 10}));
    EXPECT_EQ(entries[0].toObject().value("external").toInt() >> 16, 0644);
    EXPECT_EQ(entries[1].toObject().value("external").toInt(), 0);
}

TEST(ZKDosTime, EncodesTheMsDosFieldsAndClampsTheYears)
{
    const zk::DosDateTime t = zk::dosDateTime(QDateTime(QDate(2024, 3, 5), QTime(13, 45, 59)));
    EXPECT_EQ(t.time, (13 << 11) | (45 << 5) | 29);
    EXPECT_EQ(t.date, (44 << 9) | (3 << 5) | 5);
    EXPECT_EQ(t.packed(), std::uint32_t(t.time) | (std::uint32_t(t.date) << 16));

    const zk::DosDateTime early = zk::dosDateTime(QDateTime(QDate(1970, 1, 1), QTime(12, 0)));
    EXPECT_EQ(early.date, (0 << 9) | (1 << 5) | 1);
    EXPECT_EQ(early.time, 0);
    const zk::DosDateTime late = zk::dosDateTime(QDateTime(QDate(2200, 1, 1), QTime(0, 0)));
    EXPECT_EQ(late.date, (127 << 9) | (12 << 5) | 31);
}
