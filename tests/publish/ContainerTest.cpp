// The sealed configuration: RC4 over a ZIP archive that real readers open,
// and its script form for viewers opened from disk.
#include "PublishFixture.h"
#include "archive/ZipReaders.h"

#include <QJsonArray>
#include <fcntl.h>
#include <unistd.h>

using namespace quire;
using namespace quire::test;

namespace {

// What the process writes to standard error while alive.
class StderrCapture {
public:
    StderrCapture() : m_saved(::dup(2)), m_path(QDir(testHome()).filePath("stderr.txt"))
    {
        std::fflush(stderr);
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 2);
        ::close(fd);
    }
    ~StderrCapture()
    {
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
    }
    QByteArray text() const
    {
        std::fflush(stderr);
        return readFile(m_path);
    }

private:
    int m_saved;
    QString m_path;
};

class Container : public PublishFixture {
protected:
    void SetUp() override
    {
        PublishFixture::SetUp();
        tmpl = makeTemplate(propertyXml("pt_text", "bookTitle", "Fleurs &amp; &lt;épines&gt;"));
        out = std::make_unique<FlashBookOutput>(makePages(3), tmpl, folder, std::nullopt);
        ASSERT_TRUE(out->ouputTheBook().ok());
    }
    std::shared_ptr<FlashTemplate> tmpl;
    std::unique_ptr<FlashBookOutput> out;
};

} // namespace

TEST(Rc4, MatchesKnownVectors)
{
    EXPECT_EQ(publish::rc4("hello", "leafcase-key-01").value_or("").toHex(' '), "83 b2 65 3f 59");
    // The published test vector for the key "Key" (a length other than 16).
    EXPECT_EQ(publish::rc4("Plaintext", "Key").value_or("").toHex(), "bbf316e8d940af0ad3");
}

TEST_F(Container, OpensInRealZipReadersAndHoldsTheConfiguration)
{
    const QByteArray container = readFile(at("files/book.bin"));
    const QByteArray archive = decipher(container);
    ASSERT_TRUE(archive.startsWith("PK\x03\x04"));
    writeFile(dir.file("plain.zip"), archive);
    const QByteArray expected = xml::serialize(out->bookXML().get(), true);
    EXPECT_TRUE(expected.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<flipbook"));
    EXPECT_TRUE(
        expected.contains("\n  <extConfig>\n    <item name=\"bookTitle\">Fleurs &amp; &lt;\xc3\xa9pines&gt;</item>"));

    const QJsonObject info = pythonZipInfo(dir.file("plain.zip"));
    EXPECT_EQ(info["comment"].toString(), "Archive created with ZipKit");
    EXPECT_TRUE(info["testzip"].isNull());
    const QJsonArray entries = info["entries"].toArray();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(QByteArray::fromHex(entries[0]["name"].toString().toLatin1()), "book.xml");
    EXPECT_EQ(entries[0]["method"].toInt(), 8);
    EXPECT_EQ(QByteArray::fromBase64(entries[0]["content"].toString().toLatin1()), expected);
    EXPECT_EQ(container.size(), 141 + entries[0]["csize"].toInt());
    EXPECT_EQ(runTool("unzip", {"-tq", dir.file("plain.zip")}).status, 0);
    EXPECT_EQ(runTool("unzip", {"-p", dir.file("plain.zip"), "book.xml"}).out.toUtf8(), expected);
}

TEST_F(Container, RepublishingReplacesTheContainerAndItsScriptAndAFailedWriteIsReported)
{
    tmpl->setPropertyValue("bookTitle", "Second edition");
    out->setFlashPageSource(makePages(1, 1, "b"));
    ASSERT_TRUE(out->ouputTheBook().ok());
    const QByteArray xmlBytes = unzippedConfiguration(at("files/book.bin"));
    EXPECT_TRUE(xmlBytes.contains("Second edition") && xmlBytes.contains("count=\"1\""));
    EXPECT_FALSE(xmlBytes.contains("Fleurs"));
    EXPECT_EQ(readFile(at("files/book.js")),
              "window.quireBookContainer = \"" + readFile(at("files/book.bin")).toBase64() + "\";\n");
    // No temporary files are left behind by the replacements.
    EXPECT_EQ(filesBelow(folder), QStringList({"book.swf", "files/book.bin", "files/book.js", "files/page/1.jpg",
                                               "index.html"}));

    // A folder in the container's place cannot be replaced by a file.
    const QString bin = dir.file("other/book.bin");
    writeFile(bin + "/blocker", "x");
    StderrCapture capture;
    const PublishResult result = out->ouputBookXML(bin);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.failure()->file, bin);
    EXPECT_TRUE(capture.text().contains("Could not write document out...\n"));
    EXPECT_FALSE(QFile::exists(dir.file("other/book.js")));
}
