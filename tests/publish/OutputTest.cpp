// Publishing a book folder, or a desktop bundle around one: the files written,
// replaced, skipped and left alone; the HTML page written from a template's page.
#include "PublishFixture.h"
#include "publish/FlashBookOutputApp.h"
#include "publish/HTMLConfigInfo.h"
#include "publish/TextTemplate.h"
#include "util/Log.h"

#include <QFileInfo>
#include <QStringEncoder>
#include <unistd.h>

using namespace quire;
using namespace quire::test;

using Output = PublishFixture;

TEST_F(Output, WritesTheWholeLayoutAndNothingIntoAMissingFolder)
{
    const auto tmpl = makeTemplate(propertyXml("pt_file", "bgImage", asset("bg.JPG", "background")));
    auto config = std::make_shared<HTMLConfigInfo>();
    config->setHTMLTitle("My book");
    FlashBookOutput out(makePages(3), tmpl, folder, QString("mybook.html"));
    out.setHTMLConfig(config);
    const PublishResult result = out.ouputTheBook();
    ASSERT_TRUE(result.ok()) << result.description().toStdString();
    EXPECT_EQ(filesBelow(folder), QStringList({"book.swf", "files/book.bin", "files/book.js", "files/extfiles/bgImage.JPG",
                                               "files/page/1.jpg", "files/page/2.jpg", "files/page/3.jpg", "mybook.html"}));
    // (The pages' bytes: the republish below.)
    EXPECT_EQ(readFile(at("files/extfiles/bgImage.JPG")), "background");
    EXPECT_EQ(readFile(at("book.swf")), kViewer);
    EXPECT_TRUE(readFile(at("mybook.html")).startsWith("<html><head><title>My book</title>"));
    // (That the configuration's page paths name these files: the converter's tests.)

    // A folder that does not exist gets nothing, and the publish says so.
    folder = dir.file("nowhere");
    const PublishResult nowhere = tryPublish(tmpl, makePages(2));
    ASSERT_FALSE(nowhere.ok());
    EXPECT_EQ(nowhere.failure()->file, folder);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(Output, DefaultsCopyThePageExactlyAndRepublishingLeavesTheNewBookAndWhatIsNotTheBooks)
{
    const QByteArray page = "\xef\xbb\xbf<title>${index.title}</title>\r\n\xe9";
    const auto tmpl = makeTemplate("", page);
    publish(tmpl, makePages(10, 1, "old"));
    EXPECT_EQ(readFile(at("index.html")), page); // without HTML settings, an exact copy
    EXPECT_TRUE(QFileInfo(at("files/extfiles")).isDir()); // even with no file to copy
    EXPECT_FALSE(QFileInfo::exists(at("files/pageConfig")));
    for (const char* mine : {"notes.txt", "files/own/style.css", "files/readme.txt"})
        writeFile(at(mine), mine);
    // The page is replaced by a new file, not rewritten in place.
    ASSERT_EQ(::link(QFile::encodeName(at("index.html")).constData(), QFile::encodeName(dir.file("held")).constData()), 0);
    writeFile(res("AppFiles/Templates/t/html/index.html"), "second page");
    publish(tmpl, makePages(5, 3, "new")); // named by document number
    EXPECT_EQ(filesBelow(at("files/page")), QStringList({"3.jpg", "4.jpg", "5.jpg", "6.jpg", "7.jpg"}));
    for (int n = 3; n <= 7; ++n)
        EXPECT_EQ(readFile(at("files/page/" + QString::number(n) + ".jpg")), pictureBytes(n, "new"));
    for (const char* mine : {"notes.txt", "files/own/style.css", "files/readme.txt"})
        EXPECT_EQ(readFile(at(mine)), mine);
    EXPECT_EQ(readFile(at("index.html")), "second page");
    EXPECT_EQ(readFile(dir.file("held")), page);
    // Nothing of the staging is left.
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"book.swf", "files", "index.html", "notes.txt"}));

    // Pictures taken from the folder the book is published into survive.
    auto again = std::make_shared<FlashPageSourceImg>();
    for (const char* name : {"files/page/3.jpg", "files/page/4.jpg"})
        again->addImgPageFromFile(at(name));
    again->generateNormalPages();
    writeFile(at("files/extfiles/bg.jpg"), "bg in place");
    publish(makeTemplate(propertyXml("pt_file", "bg", at("files/extfiles/bg.jpg"))), again);
    EXPECT_EQ(readFile(at("files/page/1.jpg")), pictureBytes(3, "new"));
    EXPECT_EQ(readFile(at("files/page/2.jpg")), pictureBytes(4, "new"));
    EXPECT_EQ(readFile(at("files/extfiles/bg.jpg")), "bg in place");
}

TEST_F(Output, FilePropertiesAreCopiedByKeyAndExtensionAndAnnotationFilesNeverOverwritten)
{
    writeFile(at("files/extfiles/gone.jpg"), "stale");
    writeFile(at("files/extfiles/blank."), "stale too");
    const QString deep = propertyXml("pt_file", "deep", asset("d.gif", "deep"));
    const QString tree = propertyXml("pt_file", "dup", asset("a.png", "first")) +
                         propertyXml("pt_text", "group", "", propertyXml("pt_text", "sub", "", deep)) +
                         propertyXml("pt_file", "dup", asset("b.png", "second")) + propertyXml("pt_file", "blank", "") +
                         propertyXml("pt_file", "gone", dir.file("assets/missing.jpg")) +
                         propertyXml("pt_file", "folder", dir.file("assets")) +
                         propertyXml("pt_text", "text", dir.file("assets/a.png"));
    auto annotations = std::make_shared<FlashPagesAnnotations>();
    annotations->setNeedFiles({asset("one.xml", "new one"), asset("two.png", "two"), dir.file("assets/none.png")});
    writeFile(at("files/pageConfig/one.xml"), "kept");
    publish(makeTemplate(tree), makePages(1), annotations);
    using Files = QMap<QString, QByteArray>;
    EXPECT_EQ(snapshot(at("files/extfiles")), (Files{{"deep.gif", "deep"}, {"dup.png", "second"}}));
    EXPECT_EQ(snapshot(at("files/pageConfig")), (Files{{"one.xml", "kept"}, {"two.png", "two"}}));
}

TEST_F(Output, TheBundleIsMadeAfreshAroundTheBookAndNotWithoutItsSkeleton)
{
    writeFile(res("AppFiles/TmplData/mac.app/Contents/Info.plist"), "plist");
    writeFile(res("AppFiles/TmplData/mac.app/Contents/MacOS/player"), "#!/bin/sh\n");
    QFile::setPermissions(res("AppFiles/TmplData/mac.app/Contents/MacOS/player"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString chosen = dir.file("out/deeper"), bundle = chosen + "/mybook.app/Contents/"; // made with the bundle
    auto publisher = [&](const QString& name) {
        return std::make_unique<FlashBookOutputApp>(makePages(2), makeTemplate(""), chosen, name);
    };
    auto out = publisher("mybook.html");
    EXPECT_EQ(out->outputFileName(), chosen + "/mybook.app");
    EXPECT_EQ(out->outputHTMLFileName(), bundle + "Resources/index.html");
    ASSERT_TRUE(out->ouputTheBook().ok());
    EXPECT_EQ(filesBelow(chosen), QStringList({"mybook.app/Contents/Info.plist", "mybook.app/Contents/MacOS/player",
                                               "mybook.app/Contents/Resources/book.swf",
                                               "mybook.app/Contents/Resources/files/book.bin",
                                               "mybook.app/Contents/Resources/files/book.js",
                                               "mybook.app/Contents/Resources/files/page/1.jpg",
                                               "mybook.app/Contents/Resources/files/page/2.jpg",
                                               "mybook.app/Contents/Resources/index.html"}));
    EXPECT_TRUE(QFileInfo(bundle + "MacOS/player").isExecutable());
    EXPECT_EQ(readFile(bundle + "Resources/index.html"), kPage);

    // Republishing replaces the whole bundle and nothing beside it.
    writeFile(bundle + "Resources/added-by-hand.txt", "x");
    writeFile(chosen + "/beside.txt", "stays");
    ASSERT_TRUE(publisher("mybook.html")->ouputTheBook().ok());
    EXPECT_FALSE(QFileInfo::exists(bundle + "Resources/added-by-hand.txt"));
    EXPECT_TRUE(QFileInfo(bundle + "Resources/files/book.bin").isFile());
    EXPECT_EQ(readFile(chosen + "/beside.txt"), "stays");

    // A missing skeleton is logged as an error and fails the publish,
    // leaving the earlier bundle untouched.
    const auto before = snapshot(chosen);
    QDir(res("AppFiles/TmplData")).removeRecursively();
    log::Capture capture;
    const PublishResult result = publisher("mybook.html")->ouputTheBook();
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.failure()->file, bundle.chopped(1));
    EXPECT_EQ(capture.messages(log::Level::Error).size(), 1);
    EXPECT_TRUE(snapshot(chosen) == before);
}

TEST(TextTemplate, SubstitutesUniformly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"<t>${index.title}</t>", "<t>Book</t>"}, {"a${missing}b", "ab"}, {"a${Index.Title}b", "ab"}, // case counts
        {"${a}${b} ${a}\n\t${b}", "12 1\n\t2"}, {"  ${a} tail", "  1 tail"}, {"x ${a", "x ${a"},
        {"${a}} and ${ b}", "1} and spaced"}, {"[${}]", "[empty key]"},
        {"${v}", "${a}"}, // values are not scanned again
    };
    for (const auto& [text, expected] : cases) {
        TextTemplate t(QString::fromUtf8(text));
        for (const auto& [key, value] : {std::pair{"index.title", "Book"}, {"a", "0"}, {"b", "2"}, {" b", "spaced"},
                                         {"", "empty key"}, {"v", "${a}"}, {"a", "1"}}) // the last value counts
            t.setItem(key, value);
        EXPECT_EQ(t.parse(), QString::fromUtf8(expected)) << text;
    }
}

TEST(HTMLConfigInfo, ThePageIsDecodedByItsMarkAndWrittenWithItsValuesEscapedAsUtf8)
{
    const QString text = "<p>été ${index.title}</p>";
    for (auto encoding : {QStringEncoder::Utf16LE, QStringEncoder::Utf16BE})
        EXPECT_EQ(decodeTemplatePage(QStringEncoder(encoding, QStringEncoder::Flag::WriteBom).encode(text)), text);
    EXPECT_EQ(QStringList({decodeTemplatePage("\xef\xbb\xbf" + text.toUtf8()), decodeTemplatePage(text.toUtf8()),
                           decodeTemplatePage("<p>\xe9t\xe9</p>")}), QStringList({text, text, "<p>été</p>"}));

    TempDir dir;
    const QString page = dir.file("tmpl.html"), out = dir.file("out/index.html");
    QDir().mkpath(dir.file("out"));
    writeFile(page, QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom)
                        .encode("<title>${index.title}</title><meta content=\"${meta.keywords}\">"
                                "<meta content='${meta.description}'><p>é</p>${other}"));
    HTMLConfigInfo info;
    info.setHTMLTitle("Tom & Jerry <3 </title><script>x()</script>");
    info.setHTMLKeywords("a\"b");
    info.setHTMLDescription("it's");
    ASSERT_TRUE(info.generateHTMLFrom(page, out).ok());
    EXPECT_EQ(readFile(out), "<title>Tom &amp; Jerry &lt;3 &lt;/title&gt;&lt;script&gt;x()&lt;/script&gt;</title>"
                             "<meta content=\"a&quot;b\"><meta content='it&#39;s'><p>\xc3\xa9</p>");
    // (Written again, the page is a new file: Output's republish, through the same writer.)

    // A page that cannot be read or written is a failure naming the page to write.
    const std::tuple<QString, QString, QString> failures[] = {
        {dir.file("missing.html"), dir.file("index.html"), "missing.html"},
        {page, dir.file("no/folder/index.html"), "No such file"},
    };
    for (const auto& [from, to, words] : failures) {
        const PublishResult result = HTMLConfigInfo().generateHTMLFrom(from, to);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure()->file, to);
        EXPECT_TRUE(result.failure()->reason.contains(words)) << result.description().toStdString();
        EXPECT_FALSE(QFile::exists(to));
    }
}
