#pragma once
// A template written by the test into a private resource folder, page
// sources over picture files, a book folder, and the book's configuration
// read back by the unzip tool.
#include "import/FlashPageSource.h"
#include "import/JpegWriter.h"
#include "publish/BookContainer.h"
#include "publish/FlashBookOutput.h"
#include "publish/PublishConstants.h"
#include "publish/PublishResult.h"
#include "support/ToolRun.h"
#include "templates/FlashTemplate.h"
#include "templates/TemplateFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quire::test {

// The bytes of the page picture numbered n (distinct per n and tag).
inline QByteArray pictureBytes(int n, const QByteArray& tag = "a")
{
    return "\xff\xd8\xff\xe0 picture " + tag + " " + QByteArray::number(n) + QByteArray(64 + n, char('a' + n % 26));
}

// A real JPEG picture in one shade, so that a publish makes its thumbnail.
inline void writePicture(const QString& path, int width, int height, unsigned char shade = 200)
{
    QDir().mkpath(QFileInfo(path).path());
    JpegWriter().write(pdf::Bitmap{width, height, width * 3, std::vector<unsigned char>(size_t(width * height * 3), shade)},
                       80, path);
}

// A page's words on one line.
inline std::shared_ptr<const PageText> wordsOf(const QStringList& words)
{
    auto text = std::make_shared<PageText>();
    TextLine line;
    for (qsizetype i = 0; i < words.size(); ++i)
        line.words.push_back({words[i], {0.1f + 0.001f * float(i), 0.25f, 0.05f, 0.02f}});
    text->blocks.push_back({{line}});
    return text;
}

// Every file below folder, relative, sorted.
inline QStringList filesBelow(const QString& folder)
{
    return snapshot(folder).keys();
}

// The archive a container holds.
inline QByteArray decipher(const QByteArray& container)
{
    return publish::rc4(container, publish::kContainerKey).value_or(QByteArray());
}

// The configuration a container file holds, deciphered and unzipped.
inline QByteArray unzippedConfiguration(const QString& container)
{
    const QString zip = container + ".zip";
    writeFile(zip, decipher(readFile(container)));
    const ToolRun unzip = runTool("unzip", {"-p", zip, "book.xml"});
    EXPECT_EQ(unzip.status, 0) << unzip.err.toStdString();
    QFile::remove(zip);
    return unzip.out.toUtf8();
}

class PublishFixture : public ResourceFixture {
protected:
    static constexpr const char* kPage =
        "<html><head><title>${index.title}</title><meta name=\"keywords\" content=\"${meta.keywords}\">"
        "<meta name=\"description\" content=\"${meta.description}\"></head><body>viewer</body></html>\n";
    static constexpr const char* kViewer = "FWS-viewer-movie";

    void SetUp() override
    {
        ResourceFixture::SetUp();
        QDir().mkpath(folder);
    }
    // A file of the book folder.
    QString at(const QString& relative) const { return folder + "/" + relative; }
    PublishResult tryPublish(const std::shared_ptr<FlashTemplate>& tmpl, const std::shared_ptr<FlashPageSource>& pages,
                             const std::shared_ptr<FlashPagesAnnotations>& annotations = nullptr)
    {
        FlashBookOutput out(pages, tmpl, folder, std::nullopt);
        out.setFlashPagesAnnotations(annotations);
        return out.ouputTheBook();
    }
    // Publishes into the book folder and expects it to succeed.
    void publish(const std::shared_ptr<FlashTemplate>& tmpl, const std::shared_ptr<FlashPageSource>& pages,
                 const std::shared_ptr<FlashPagesAnnotations>& annotations = nullptr)
    {
        const PublishResult result = tryPublish(tmpl, pages, annotations);
        EXPECT_TRUE(result.ok()) << result.description().toStdString();
    }
    // Writes the template `name` (definition, page, viewer) and loads it; an
    // empty page leaves the template without one.
    std::shared_ptr<FlashTemplate> makeTemplate(const QString& properties, const QByteArray& page = kPage,
                                                const QString& name = "t")
    {
        addTemplate(name, definitionXml(properties, "html\\index.html"));
        if (!page.isEmpty())
            writeFile(res("AppFiles/Templates/" + name + "/html/index.html"), page);
        writeFile(res("AppFiles/Templates/" + name + "/book.swf"), kViewer);
        if (!QFile::exists(res("AppFiles/Templates/float/flashTemplate.xml"))) // every template starts as "float"
            addTemplate("float", definitionXml(""));
        auto tmpl = std::make_shared<FlashTemplate>();
        tmpl->loadTemplate(name);
        return tmpl;
    }
    // n picture pages numbered first, first + 1, ... with files in pics/<tag>.
    std::shared_ptr<FlashPageSourceImg> makePages(int n, int first = 1, const QByteArray& tag = "a")
    {
        auto source = std::make_shared<FlashPageSourceImg>();
        for (int i = 0; i < n; ++i) {
            const QString path = dir.file("pics/" + tag + "/p" + QString::number(i) + ".jpg");
            writeFile(path, pictureBytes(first + i, tag));
            source->addImgPageFromFile(path);
            source->pages().back()->setPageIndex(first + i);
        }
        source->generateNormalPages();
        return source;
    }
    // A file of the test's assets.
    QString asset(const QString& name, const QByteArray& bytes)
    {
        writeFile(dir.file("assets/" + name), bytes);
        return dir.file("assets/" + name);
    }

    QString folder = dir.file("book");
};

} // namespace quire::test
