#include "PublishFixture.h"
#include "archive/ZipReaders.h"
#include "publish/BookContainer.h"
#include "publish/FlashBookOutput.h"

#include <QFile>
#include <QRegularExpression>
#include <QJsonArray>
#include <QJsonObject>
#include <zlib.h>

using namespace quire;
using namespace quire::test;

namespace {

std::uint32_t u32(const QByteArray& b, qsizetype at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | std::uint8_t(b[at + i]);
    return v;
}

class Container : public PublishFixture {
protected:
    std::shared_ptr<FlashTemplate> tmpl;
    std::unique_ptr<FlashBookOutput> out;
    QString folder;

    void SetUp() override
    {
        PublishFixture::SetUp();
        tmpl = makeTemplate(propertyXml("pt_text", "bookTitle", QString("Fleurs &amp; &lt;épines&gt;"))
                            + propertyXml("pt_number", "pageWidth", QString("600")));
        folder = dir.file("book");
        QDir().mkpath(folder);
        out = std::make_unique<FlashBookOutput>(makePages(3), tmpl, folder, std::nullopt);
    }
    QString bin() const { return folder + "/files/book.bin"; }
    QString js() const { return folder + "/files/book.js"; }
};

} // namespace

TEST(Rc4, MatchesKnownVectors)
{
    EXPECT_EQ(publish::rc4("hello", "leafcase-key-01").value_or(QByteArray()).toHex(' '),
              QByteArray("83 b2 65 3f 59"));
    // The published test vector for the key "Key" (a length other than 16).
    EXPECT_EQ(publish::rc4("Plaintext", "Key").value_or(QByteArray()).toHex(), QByteArray("bbf316e8d940af0ad3"));
    const QByteArray text = QByteArray(100000, 'x') + "end";
    EXPECT_EQ(publish::rc4(publish::rc4(text, "leafcase-key-01").value(), "leafcase-key-01"), text);
}

TEST_F(Container, OpensInRealZipReadersAndHoldsTheConfiguration)
{
    out->ouputTheBook();
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

TEST_F(Container, ScriptCarriesTheSameBytes)
{
    out->ouputTheBook();
    const QByteArray container = readFile(bin());
    ASSERT_FALSE(container.isEmpty());
    const QByteArray script = readFile(js());
    EXPECT_EQ(script, "window.quireBookContainer = \"" + container.toBase64() + "\";\n");
    EXPECT_EQ(script.count('\n'), 1);
}

TEST_F(Container, RepublishingReplacesTheContainerCompletely)
{
    out->ouputTheBook();
    tmpl->setPropertyValue("bookTitle", "Second edition");
    out->setFlashPageSource(makePages(1, 1, "b"));
    out->ouputTheBook();
    const QByteArray xmlBytes = runTool("unzip", {"-p", [&] {
                                              const QString p = dir.file("again.zip");
                                              writeFile(p, decipher(readFile(bin())));
                                              return p;
                                          }(), "book.xml"}).out;
    EXPECT_TRUE(xmlBytes.contains("Second edition"));
    EXPECT_FALSE(xmlBytes.contains("Fleurs"));
    EXPECT_TRUE(xmlBytes.contains("count=\"1\""));
    EXPECT_EQ(readFile(js()), publish::containerScript(readFile(bin())));
    EXPECT_EQ(filesBelow(folder + "/files").filter("book."), QStringList({"book.bin", "book.js"}));
}

TEST_F(Container, SealsOfOneDocumentDifferOnlyInTheirTimeFields)
{
    const QByteArray doc = xml::serialize(out->bookXML().get(), true);
    const QByteArray a = decipher(publish::sealBookDocument(doc).value());
    const QByteArray b = decipher(publish::sealBookDocument(doc).value());
    ASSERT_EQ(a.size(), b.size());
    const qsizetype cd = 38 + qsizetype(u32(a, 18));
    QList<qsizetype> differing;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            differing << i;
    for (qsizetype i : differing)
        EXPECT_TRUE((i >= 10 && i < 14) || (i >= cd + 12 && i < cd + 16)) << "byte " << i;
}

TEST_F(Container, AFailedWriteIsReportedAndRemovesTheScript)
{
    out->ouputTheBook();
    ASSERT_TRUE(QFile::exists(js()));
    // A folder in the container's place cannot be deleted or replaced.
    QFile::remove(bin());
    writeFile(bin() + "/blocker", "x");
    QFile::remove(folder + "/book.swf");
    {
        StderrCapture capture;
        out->ouputTheBook();
        EXPECT_TRUE(capture.text().contains("Could not write document out...\n"));
    }
    EXPECT_FALSE(QFile::exists(js()));
    EXPECT_EQ(readFile(folder + "/book.swf"), QByteArray(kViewer)); // the publish went on
}

TEST_F(Container, NoTemporaryFilesAreLeftBehind)
{
    out->ouputTheBook();
    out->ouputTheBook();
    const QStringList files = filesBelow(folder);
    EXPECT_EQ(files.filter(QRegularExpression("^files/[^/]+$")), QStringList({"files/book.bin", "files/book.js"}));
    EXPECT_EQ(files.filter(QRegularExpression("^[^/]+$")), QStringList({"book.swf", "index.html"}));
}
