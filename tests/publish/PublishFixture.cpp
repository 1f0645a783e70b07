#include "PublishFixture.h"

#include "archive/ZipReaders.h"
#include "publish/BookContainer.h"
#include "publish/FlashBookOutput.h"
#include "publish/PublishConstants.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace quire::test {

QByteArray pictureBytes(int n, const QByteArray& tag)
{
    return "\xff\xd8\xff\xe0 picture " + tag + " " + QByteArray::number(n) + QByteArray(64 + n, char('a' + n % 26));
}

QStringList filesBelow(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext())
        out << base.relativeFilePath(it.next());
    out.sort();
    return out;
}

QByteArray decipher(const QByteArray& container)
{
    return publish::rc4(container, QByteArray(publish::kContainerKey)).value_or(QByteArray());
}

QByteArray unzippedConfiguration(const QString& containerPath)
{
    const QString zip = containerPath + ".zip";
    writeFile(zip, decipher(readFile(containerPath)));
    const ToolResult unzip = runTool("unzip", {"-p", zip, "book.xml"});
    EXPECT_EQ(unzip.exitCode, 0) << unzip.err.toStdString();
    QFile::remove(zip);
    return unzip.out;
}

StderrCapture::StderrCapture() : m_path(QDir(testHome()).filePath("stderr-capture.txt"))
{
    std::fflush(stderr);
    m_saved = ::dup(2);
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, 2);
    ::close(fd);
}

StderrCapture::~StderrCapture()
{
    std::fflush(stderr);
    ::dup2(m_saved, 2);
    ::close(m_saved);
    QFile::remove(m_path);
}

QByteArray StderrCapture::text() const
{
    std::fflush(stderr);
    return readFile(m_path);
}

void PublishFixture::SetUp()
{
    ResourceFixture::SetUp();
    folder = dir.file("book");
    QDir().mkpath(folder);
}

void PublishFixture::publish(const std::shared_ptr<FlashTemplate>& tmpl, const std::shared_ptr<FlashPageSource>& pages,
                             const std::shared_ptr<FlashPagesAnnotations>& annotations)
{
    const PublishResult result = tryPublish(tmpl, pages, annotations);
    EXPECT_TRUE(result.ok()) << result.description().toStdString();
}

PublishResult PublishFixture::tryPublish(const std::shared_ptr<FlashTemplate>& tmpl,
                                         const std::shared_ptr<FlashPageSource>& pages,
                                         const std::shared_ptr<FlashPagesAnnotations>& annotations)
{
    FlashBookOutput out(pages, tmpl, folder, std::nullopt);
    out.setFlashPagesAnnotations(annotations);
    return out.ouputTheBook();
}

std::shared_ptr<FlashTemplate> PublishFixture::makeTemplate(const QString& properties, const QByteArray& page,
                                                            const QString& name)
{
    addTemplate(name, definitionXml(properties, "html\\index.html"));
    if (!page.isEmpty())
        writeFile(res("AppFiles/Templates/" + name + "/html/index.html"), page);
    writeFile(res("AppFiles/Templates/" + name + "/book.swf"), kViewer);
    // The default template every FlashTemplate starts with.
    if (!QFile::exists(res("AppFiles/Templates/float/flashTemplate.xml")))
        addTemplate("float", definitionXml(""));
    auto tmpl = std::make_shared<FlashTemplate>();
    tmpl->loadTemplate(name);
    return tmpl;
}

std::shared_ptr<FlashPageSourceImg> PublishFixture::makePages(int n, int first, const QByteArray& tag)
{
    auto source = std::make_shared<FlashPageSourceImg>();
    for (int i = 0; i < n; ++i) {
        const QString path = dir.file("pics/" + QString::fromLatin1(tag) + "/p" + QString::number(i) + ".jpg");
        writeFile(path, pictureBytes(first + i, tag));
        source->addImgPageFromFile(path);
        source->pages().back()->setPageIndex(first + i);
    }
    source->generateNormalPages();
    return source;
}

} // namespace quire::test
