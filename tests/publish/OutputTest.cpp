#include "PublishFixture.h"
#include "publish/FlashBookOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

using namespace quire;
using namespace quire::test;

namespace {

class Output : public PublishFixture {
protected:
    QString picture(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.file("assets/" + name);
        writeFile(path, bytes);
        return path;
    }
};

} // namespace

TEST_F(Output, WritesTheWholeLayout)
{
    const QString bg = picture("bg.JPG", "background");
    const auto tmpl = makeTemplate(propertyXml("pt_file", "bgImage", bg) + propertyXml("pt_text", "t", QString("x")));
    auto config = std::make_shared<HTMLConfigInfo>();
    config->setHTMLTitle("My book");
    FlashBookOutput out(makePages(3), tmpl, folder, QString("mybook.html"));
    out.setHTMLConfig(config);
    const PublishResult result = out.ouputTheBook();
    ASSERT_TRUE(result.ok()) << result.description().toStdString();

    EXPECT_EQ(filesBelow(folder), QStringList({"book.swf", "files/book.bin", "files/book.js", "files/extfiles/bgImage.JPG",
                                               "files/page/1.jpg", "files/page/2.jpg", "files/page/3.jpg", "mybook.html"}));
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(readFile(at("files/page/" + QString::number(n) + ".jpg")), pictureBytes(n));
    EXPECT_EQ(readFile(at("files/extfiles/bgImage.JPG")), "background");
    EXPECT_EQ(readFile(at("book.swf")), QByteArray(kViewer));
    EXPECT_TRUE(readFile(at("mybook.html")).startsWith("<html><head><title>My book</title>"));
    EXPECT_FALSE(QFileInfo::exists(at("files/pageConfig")));
    EXPECT_EQ(out.outputHTMLFileName(), at("mybook.html"));

    // Every path in the configuration names a file of the folder.
    const auto doc = xml::parseMemory(unzippedConfiguration(at("files/book.bin")));
    ASSERT_TRUE(doc.doc);
    int checked = 0;
    for (xmlNode* page : xml::children(xml::firstChild(xmlDocGetRootElement(doc.doc.get()), "pages"), "page"))
        for (xmlNode* url : xml::children(page)) {
            EXPECT_TRUE(QFileInfo(at(xml::text(url))).isFile()) << xml::text(url).toStdString();
            ++checked;
        }
    EXPECT_EQ(checked, 9);
}

TEST_F(Output, AMissingFolderGetsNothingAndSaysSo)
{
    folder = dir.file("nowhere");
    const PublishResult result = tryPublish(makeTemplate(""), makePages(2));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.failure()->file, folder);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(Output, DefaultsCopyThePageExactlyAndNamePagesByDocumentNumber)
{
    const QByteArray page = "\xef\xbb\xbf<title>${index.title}</title>\r\n\xe9";
    publish(makeTemplate("", page), makePages(3, 3));
    EXPECT_EQ(readFile(at("index.html")), page); // without HTML settings, an exact copy
    EXPECT_EQ(filesBelow(at("files/page")), QStringList({"3.jpg", "4.jpg", "5.jpg"}));
    EXPECT_EQ(readFile(at("files/page/4.jpg")), pictureBytes(4));
    EXPECT_TRUE(QFileInfo(at("files/extfiles")).isDir()); // even with no file to copy
}

TEST_F(Output, RepublishingLeavesTheNewBookAndWhatIsNotTheBooks)
{
    const auto tmpl = makeTemplate("");
    publish(tmpl, makePages(10, 1, "old"));
    writeFile(at("notes.txt"), "mine");
    writeFile(at("files/own/style.css"), "mine too");
    writeFile(at("files/readme.txt"), "and this");
    publish(tmpl, makePages(5, 1, "new"));
    EXPECT_EQ(filesBelow(at("files/page")), QStringList({"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg"}));
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(readFile(at("files/page/" + QString::number(n) + ".jpg")), pictureBytes(n, "new"));
    EXPECT_EQ(readFile(at("notes.txt")), "mine");
    EXPECT_EQ(readFile(at("files/own/style.css")), "mine too");
    EXPECT_EQ(readFile(at("files/readme.txt")), "and this");
    // Nothing of the staging is left.
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"book.swf", "files", "index.html", "notes.txt"}));
}

TEST_F(Output, FilePropertiesAreCopiedByKeyAndExtension)
{
    const QString a = picture("a.png", "first");
    const QString b = picture("b.png", "second");
    const QString deep = picture("deep.gif", "deep");
    writeFile(at("files/extfiles/gone.jpg"), "stale");
    writeFile(at("files/extfiles/blank."), "stale too");
    const QString tree = propertyXml("pt_file", "dup", a)
        + propertyXml("pt_text", "group", QString(""), propertyXml("pt_text", "sub", QString(""), propertyXml("pt_file", "deep", deep)))
        + propertyXml("pt_file", "dup", b)
        + propertyXml("pt_file", "blank", QString(""))
        + propertyXml("pt_file", "gone", dir.file("assets/missing.jpg"))
        + propertyXml("pt_file", "folder", dir.file("assets"))
        + propertyXml("pt_text", "text", a);
    publish(makeTemplate(tree), makePages(1));
    EXPECT_EQ(filesBelow(at("files/extfiles")), QStringList({"deep.gif", "dup.png"}));
    EXPECT_EQ(readFile(at("files/extfiles/dup.png")), "second");
    EXPECT_EQ(readFile(at("files/extfiles/deep.gif")), "deep");
}

TEST_F(Output, PageConfigOnlyWithAnnotationsAndNeverOverwritten)
{
    auto annotations = std::make_shared<FlashPagesAnnotations>();
    annotations->setNeedFiles({picture("one.xml", "new one"), picture("two.png", "two"), dir.file("assets/none.png")});
    writeFile(at("files/pageConfig/one.xml"), "kept");
    publish(makeTemplate(""), makePages(1), annotations);
    EXPECT_EQ(filesBelow(at("files/pageConfig")), QStringList({"one.xml", "two.png"}));
    EXPECT_EQ(readFile(at("files/pageConfig/one.xml")), "kept");
    EXPECT_EQ(readFile(at("files/pageConfig/two.png")), "two");

    annotations->setNeedFiles({});
    QDir(at("files/pageConfig")).removeRecursively();
    publish(makeTemplate(""), makePages(1), annotations);
    EXPECT_TRUE(QFileInfo(at("files/pageConfig")).isDir());
}

TEST_F(Output, APageAlreadyInPlaceSurvivesRepublishing)
{
    // A book whose pictures were taken from the folder it is published into.
    publish(makeTemplate(""), makePages(2));
    auto again = std::make_shared<FlashPageSourceImg>();
    again->addImgPageFromFile(at("files/page/1.jpg"));
    again->addImgPageFromFile(at("files/page/2.jpg"));
    again->generateNormalPages();
    const QString bg = at("files/extfiles/bg.jpg");
    writeFile(bg, "bg in place");
    publish(makeTemplate(propertyXml("pt_file", "bg", bg)), again);
    EXPECT_EQ(readFile(at("files/page/1.jpg")), pictureBytes(1));
    EXPECT_EQ(readFile(at("files/page/2.jpg")), pictureBytes(2));
    EXPECT_EQ(readFile(bg), "bg in place");
}

TEST_F(Output, TheHtmlPageIsReplacedByANewFile)
{
    const auto tmpl = makeTemplate("");
    publish(tmpl, makePages(1));
    const QString held = dir.file("held.html");
    ASSERT_EQ(::link(QFile::encodeName(at("index.html")).constData(), QFile::encodeName(held).constData()), 0);
    writeFile(res("AppFiles/Templates/t/html/index.html"), "second page");
    publish(tmpl, makePages(1));
    EXPECT_EQ(readFile(at("index.html")), "second page");
    EXPECT_EQ(readFile(held), QByteArray(kPage));
}
