// quire-convert: its command line, and the built program run on text, RTF
// and PDF documents, its books read with independent tools.
#include "../import/PdfFixtures.h"
#include "cli/CliOptions.h"
#include "publish/PublishFixture.h"
#include "util/Xml.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <map>

using namespace quire;
using namespace quire::test;

namespace {

// A published book read back, its configuration unzipped by the unzip tool;
// each page it lists is a file of the book.
struct Book {
    explicit Book(const QString& folder)
    {
        auto parsed = xml::parseMemory(unzippedConfiguration(folder + "/files/book.bin"));
        wellFormed = parsed.doc && !parsed.recovered;
        doc = std::move(parsed.doc);
        root = xmlDocGetRootElement(doc.get());
        EXPECT_TRUE(root) << "no configuration in " << folder.toStdString();
        if (!root)
            return;
        count = xml::attribute(root, "count").value_or("-1").toInt();
        for (const xmlNode* item : xml::children(xml::firstChild(root, "extConfig"), "item"))
            config.emplace(xml::attribute(item, "name").value_or(""), xml::text(item));
        const auto pages = xml::children(xml::firstChild(root, "pages"), "page");
        EXPECT_EQ(int(pages.size()), count);
        for (const xmlNode* page : pages) {
            const QString url = xml::text(xml::firstChild(page, "normalUrl"));
            EXPECT_GT(QFileInfo(folder + "/" + url.mid(2)).size(), 0) << url.toStdString();
        }
    }
    xml::DocPtr doc;
    bool wellFormed = false;
    const xmlNode* root = nullptr;
    int count = -1;
    std::map<QString, QString> config;
};

// Runs quire-convert with its temporary files apart from other tests'.
ToolRun convert(const QStringList& args, const TempDir& dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", dir.path());
    return runTool(QUIRE_CONVERT, args, env);
}

} // namespace

TEST(CliOptions, EveryOptionBadUsageAndRanges)
{
    auto all = cli::parseArguments({"--name", "b", "--title", "", "--template", "t", "--style", "s", "--settings", "f",
                                    "--range", "1-3, 7", "--quality", "4", "--bookmarks", "--links", "--app", "--quiet",
                                    "x.txt", "--output", "o"});
    ASSERT_TRUE(all.options) << all.error.toStdString();
    const cli::Options& o = *all.options;
    EXPECT_EQ(QStringList({o.source, o.name, o.templateName, o.range, o.outputFolder}),
              QStringList({"x.txt", "b", "t", "1-3, 7", "o"}));
    // An empty title is a title.
    EXPECT_EQ(std::tuple(o.title, o.styleName, o.settingsFile, o.qualityLevel),
              std::tuple(Text(""), Text("s"), Text("f"), 4));
    EXPECT_TRUE(o.bookmarks && o.links && o.app && o.quiet);

    const std::pair<QStringList, const char*> bad[] = {
        {{"a.pdf"}, "no output folder"}, {{"-o", "x"}, "no source document"},
        {{"a.pdf", "b.pdf", "-o", "x"}, "one source document"},
        {{"a.pdf", "-o", "x", "--quality", "5"}, "from 0 to 4"}, {{"a.pdf", "-o", "x", "--quality", "high"}, "from 0 to 4"},
        {{"a.pdf", "-o", "x", "--range", "1-x"}, "bad page range"}, {{"a.pdf", "-o", "x", "--range", ""}, "bad page range"},
        {{"a.pdf", "-o", "x", "--bogus"}, "unknown option --bogus"}, {{"a.pdf", "-o"}, "needs a value"},
        {{"a.pdf", "-o", "x", "--name", "a/b"}, "plain file name"}, {{"--list-templates", "extra"}, "unexpected argument"},
        {{"--list-templates", "--export-settings", "f"}, "cannot be combined"},
    };
    for (const auto& [args, words] : bad) {
        const auto parsed = cli::parseArguments(args);
        EXPECT_FALSE(parsed.options) << args.join(' ').toStdString();
        EXPECT_TRUE(parsed.error.contains(words)) << parsed.error.toStdString();
    }
    for (const char* good : {"all", "ALL", "1", "1-5,8", " 2 , 4 ", "10-12"})
        EXPECT_TRUE(cli::isRangeSyntax(good)) << good;
    for (const char* range : {" ALL", "1,,2", "-3", "4-", "x", "1-2-3", "3a"})
        EXPECT_FALSE(cli::isRangeSyntax(range)) << range;
}

// (A web folder with bookmarks: the viewer's browser tests convert their manual so,
// and ImportDialog imports outline.pdf with them through the same import.)
TEST(ConvertEndToEnd, PdfLinksRangeTitleAndBundle)
{
    TempDir dir;
    const ToolRun run = convert({pdfFixture("links.pdf"), "-o", dir.file("apps"), "--links", "--app", "--name",
                                 "mybook", "--range", "1-6", "--quality", "4", "--title", "A & B <c>"},
                                dir);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.trimmed().endsWith("mybook.app")) << run.out.toStdString();
    EXPECT_TRUE(readFile(dir.file("apps/mybook.app/Contents/Resources/index.html"))
                    .contains("<title>A &amp; B &lt;c&gt;</title>"));
    const Book linked(dir.file("apps/mybook.app/Contents/Resources"));
    EXPECT_EQ(linked.count, 6);
    EXPECT_EQ(xml::firstChild(linked.root, "ols"), nullptr);
    std::vector<size_t> perPage; // page 1 has a web link and two go-to-page links; pages 5 and 6 one each
    for (const xmlNode* page : xml::children(xml::firstChild(linked.root, "pagesAnnos"), "pageAnnos"))
        perPage.push_back(xml::children(page, "anno").size());
    EXPECT_EQ(perPage, (std::vector<size_t>{3, 0, 0, 0, 1, 1}));
}

TEST(ConvertEndToEnd, SettingsAreExportedAndAppliedAfterTheStyle)
{
    TempDir dir;
    const QString settings = dir.file("float.txt");
    ToolRun run = convert({"--export-settings", settings}, dir);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QByteArray text = readFile(settings);
    ASSERT_TRUE(text.startsWith("\n\r") && text.contains("\n\rbookTitle="));
    // Shipped files are named so that the file works wherever the program is.
    EXPECT_TRUE(text.contains("\n\rbackgroundImage=STYLE_RESOURCE:../../float/Blank/")) << text.toStdString();
    EXPECT_FALSE(text.contains("AppFiles/Styles/float/Blank")) << text.toStdString();
    writeFile(settings, text.replace("\n\rbookTitle=", "\n\rbookTitle=From settings") + "\n\rlogoImage=/etc/passwd");
    const QString plain = pdfFixture("plain.pdf");
    run = convert({plain, "-o", dir.file("o"), "--settings", settings, "--range", "1", "--quiet"}, dir);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Book(dir.file("o")).config.at("bookTitle"), "From settings");
    EXPECT_TRUE(readFile(dir.file("o/index.html")).contains("<title>plain</title>")); // the source's base name
    EXPECT_TRUE(run.err.contains("quire-convert: warning: " + settings +
                                 ": logoImage: \"/etc/passwd\" was not taken: only .png, .jpg, .jpeg files"))
        << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.file("o/files/extfiles/passwd")));
}

TEST(ConvertEndToEnd, BadInputGivesItsStatusAndNamesTheFile)
{
    TempDir dir;
    writeFile(dir.file("notes.odt"), "x");
    writeFile(dir.file("fake.rtf"), "this is not rtf at all");
    writeFile(dir.file("shelf"), "a file where a folder should be");
    const QString out = dir.file("o"), plain = pdfFixture("plain.pdf");
    const std::tuple<QStringList, int, QString> cases[] = {
        {{dir.file("missing.pdf"), "-o", out}, 3, dir.file("missing.pdf") + ": no such file"},
        {{dir.file("notes.odt"), "-o", out}, 3, "unknown kind of document"},
        {{dir.file("fake.rtf"), "-o", out}, 3, "“fake.rtf” is not an RTF document"},
        {{plain, "-o", out, "--template", "nope"}, 2, "unknown template \"nope\""},
        {{plain, "-o", out, "--style", "Nope"}, 2, "has no style \"Nope\""},
        // (Other documents the import refuses, and why: ImportOperation's failure table.)
        {{plain, "-o", out, "--range", "200"}, 4, "Page 200 is not in the document (10 pages)"},
        {{plain, "-o", out, "--style", "../../Templates/float"}, 2, "has no style"},
        {{plain, "-o", out, "--settings", dir.file("none.txt")}, 2, dir.file("none.txt")},
        {{plain}, 2, "no output folder"},
        {{plain, "-o", dir.file("shelf/o"), "--range", "1"}, 5,
         dir.file("shelf/o") + ": cannot be created: " + dir.file("shelf") + " is not a folder"},
    };
    for (const auto& [args, status, words] : cases) {
        const ToolRun run = convert(args, dir);
        EXPECT_EQ(run.status, status) << args.join(' ').toStdString() << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("quire-convert: ") && run.err.contains(words)) << run.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out + "/files/book.bin")); // nothing was published by the failed runs
}

TEST(ConvertEndToEnd, OddBookmarksLinksAndATurnedFirstPageGiveAReadableBookWithWarningsUnlessQuiet)
{
    TempDir dir;
    ToolRun run = convert({pdfFixture("oddities.pdf"), "-o", dir.file("o"), "--bookmarks", "--links"}, dir);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const Book book(dir.file("o"));
    ASSERT_TRUE(book.root);
    EXPECT_TRUE(book.wellFormed);
    QStringList captions;
    for (const xmlNode* o : xml::children(xml::firstChild(book.root, "ols"), "o"))
        captions << xml::text(xml::firstChild(o, "c"));
    EXPECT_EQ(captions, (QStringList{"Introduction", "AB\uFFFDC"}));
    // Links to another PDF, a program, a script and a relative name are left
    // out (the annotation tests check which), and the user hears of each.
    EXPECT_EQ(run.err.count("quire-convert: warning: The link to"), 4) << run.err.toStdString();
    // The page size is the first page's as rendered: cropped to 600 x 780, turned.
    EXPECT_EQ(book.config.at("pageWidth") + " x " + book.config.at("pageHeight"), "780 x 600");

    writeFile(dir.file("picture.rtf"), "{\\rtf1\\ansi {\\pict\\wmetafile8 0102}\\par Text.\\par}");
    for (const auto& [args, words] :
         {std::pair{QStringList{dir.file("picture.rtf")}, "a picture was left out"},
          std::pair{QStringList{pdfFixture("cyclic.pdf"), "--bookmarks"}, "Cannot read the bookmarks"}}) {
        run = convert(args + QStringList{"-o", dir.file("o")}, dir);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("quire-convert: warning: ") && run.err.contains(words)) << run.err.toStdString();
        run = convert(args + QStringList{"-o", dir.file("o"), "--quiet"}, dir);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
    }
    // What the program says on the console (applying the style) is kept in the log file.
    const QString log = testHome() + "/.local/share/Inkwright/Quire`/Quire for Mac.log";
    EXPECT_TRUE(readFile(log).contains("console: key 3[")) << log.toStdString();
}

// The shell hands the program names in bytes that are not UTF-8, which
// QProcess cannot; it finds the book, and nothing else beside it: no folder
// under a mended name, no link left behind.
TEST(ConvertEndToEnd, NamesThatAreNotUtf8AreUsedAsTheyAre)
{
    TempDir dir;
    const QString script = "n=\"$1/notes$(printf '\\377').txt\" b=\"$1/book$(printf '\\376')\"; printf text > \"$n\" && "
                           "\"$0\" \"$n\" -o \"$b\" >/dev/null && test -f \"$b/index.html\" -a -s \"$b/files/book.bin\" && "
                           "ls -A \"$1\" | wc -l";
    for (const char* locale : {"C.UTF-8", "C"}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LANG", locale);
        env.insert("LC_ALL", locale);
        env.insert("TMPDIR", dir.path());
        const ToolRun run = runTool("/bin/sh", {"-c", script, QUIRE_CONVERT, dir.path()}, env);
        EXPECT_EQ(run.status, 0) << locale << ": " << run.err.toStdString();
        EXPECT_EQ(run.out.trimmed(), "2") << locale;
    }
    runTool("/bin/sh", {"-c", "rm -rf -- \"$0\"/*", dir.path()}); // Qt cannot name these files to remove them
}

// Over a book on a small disk: no room for the new book, no room for a
// settings file, a read-only folder. Each fails with status 5 naming the file
// and leaves what was there.
TEST(ConvertEndToEnd, FailedWritesGiveFiveAndKeepTheOldBook)
{
    TempDir dir;
    SmallDisk disk(512 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    const QString web = disk.file("web");
    ToolRun run = convert({pdfFixture("plain.pdf"), "-o", web, "--range", "1", "--quality", "4", "--quiet"}, dir);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const auto before = snapshot(web);
    run = convert({pdfFixture("plain.pdf"), "-o", web, "--quality", "0", "--quiet"}, dir);
    EXPECT_EQ(run.status, 5) << run.err.toStdString();
    EXPECT_TRUE(run.err.startsWith("quire-convert: " + web + "/") && run.err.contains("No space left on device"))
        << run.err.toStdString();
    EXPECT_TRUE(snapshot(web) == before);

    disk.fill();
    run = convert({"--export-settings", disk.file("float.txt")}, dir);
    EXPECT_EQ(run.status, 5) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(disk.file("float.txt") + ": cannot be written: ")
                && run.err.contains("No space left on device"))
        << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(disk.file("float.txt")));

    QFile::remove(disk.file("filler"));
    ASSERT_TRUE(disk.makeReadOnly());
    run = convert({pdfFixture("plain.pdf"), "-o", web, "--range", "2", "--quiet"}, dir);
    EXPECT_EQ(run.status, 5) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(web + ": cannot write into the folder: Read-only file system")) << run.err.toStdString();
    EXPECT_TRUE(snapshot(web) == before);
}
