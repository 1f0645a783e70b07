#include "PublishFixture.h"
#include "archive/ZipReaders.h"
#include "publish/BookContainer.h"
#include "publish/FlashBookOutput.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <zlib.h>

using namespace quire;
using namespace quire::test;

namespace {

class Container : public PublishFixture {
protected:
    std::shared_ptr<FlashTemplate> tmpl;
    std::unique_ptr<FlashBookOutput> out;

    void SetUp() override
    {
        PublishFixture::SetUp();
        tmpl = makeTemplate(propertyXml("pt_text", "bookTitle", QString("Fleurs &amp; &lt;épines&gt;"))
                            + propertyXml("pt_number", "pageWidth", QString("600")));
        out = std::make_unique<FlashBookOutput>(makePages(3), tmpl, folder, std::nullopt);
    }
    QString bin() const { return at("files/book.bin"); }
    QString js() const { return at("files/book.js"); }
};

} // namespace

TEST(Rc4, MatchesKnownVectors)
{
    EXPECT_EQ(publish::rc4("hello", "leafcase-key-01").value_or(QByteArray()).toHex(' '),
              QByteArray("83 b2 65 3f 59"));
    // The published test vector for the key "Key" (a length other than 16).
    EXPECT_EQ(publish::rc4("Plaintext", "Key").value_or(QByteArray()).toHex(), QByteArray("bbf316e8d940af0ad3"));
}

TEST_F(Container, OpensInRealZipReadersAndHoldsTheConfiguration)
{
    ASSERT_TRUE(out->ouputTheBook().ok());
    const QByteArray container = readFile(bin());
    const QByteArray archive = decipher(container);
    ASSERT_EQ(archive.size(), container.size());
    ASSERT_TRUE(archive.startsWith(QByteArray("PK\x03\x04")));
    const QString zipPath = dir.file("plain.zip");
    writeFile(zipPath, archive);

    const QByteArray expected = xml::serialize(out->bookXML().get(), true);
    ASSERT_TRUE(expected.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<flipbook"));
    EXPECT_TRUE(expected.contains("\n  <extConfig>\n    <item name=\"bookTitle\">Fleurs &amp; &lt;\xc3\xa9pines&gt;</item>"));

    const QJsonObject info = pythonZipInfo(zipPath);
    EXPECT_EQ(info.value("comment").toString(), "Archive created with ZipKit");
    EXPECT_TRUE(info.value("testzip").isNull());
    const QJsonArray entries = info.value("entries").toArray();
    ASSERT_EQ(entries.size(), 1);
    const QJsonObject e = entries[0].toObject();
    EXPECT_EQ(QByteArray::fromHex(e.value("name").toString().toLatin1()), "book.xml");
    EXPECT_EQ(e.value("method").toInt(), 8);
    EXPECT_EQ(QByteArray::fromBase64(e.value("content").toString().toLatin1()), expected);
    EXPECT_EQ(std::uint32_t(e.value("crc").toDouble()),
              std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(expected.constData()), uInt(expected.size()))));
    EXPECT_EQ(container.size(), 141 + e.value("csize").toInt());

    EXPECT_EQ(runTool("unzip", {"-tq", zipPath}).exitCode, 0);
    EXPECT_EQ(runTool("unzip", {"-p", zipPath, "book.xml"}).out, expected);
    EXPECT_TRUE(runTool("unzip", {"-v", zipPath}).out.contains("Defl:N"));
}

TEST_F(Container, RepublishingReplacesTheContainerAndItsScript)
{
    ASSERT_TRUE(out->ouputTheBook().ok());
    tmpl->setPropertyValue("bookTitle", "Second edition");
    out->setFlashPageSource(makePages(1, 1, "b"));
    ASSERT_TRUE(out->ouputTheBook().ok());
    const QByteArray xmlBytes = unzippedConfiguration(bin());
    EXPECT_TRUE(xmlBytes.contains("Second edition"));
    EXPECT_FALSE(xmlBytes.contains("Fleurs"));
    EXPECT_TRUE(xmlBytes.contains("count=\"1\""));
    EXPECT_EQ(readFile(js()), "window.quireBookContainer = \"" + readFile(bin()).toBase64() + "\";\n");
    // No temporary files are left behind by the replacements.
    EXPECT_EQ(filesBelow(folder), QStringList({"book.swf", "files/book.bin", "files/book.js", "files/page/1.jpg",
                                               "index.html"}));
}

TEST_F(Container, AFailedWriteIsReported)
{
    // A folder in the container's place cannot be replaced by a file.
    writeFile(bin() + "/blocker", "x");
    StderrCapture capture;
    const PublishResult result = out->ouputBookXML(bin());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.failure()->file, bin());
    EXPECT_TRUE(capture.text().contains("Could not write document out...\n"));
    EXPECT_FALSE(QFile::exists(js()));
}
