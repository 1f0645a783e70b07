// Runs the built quire-convert and reads what it wrote with independent tools.
#include "support/TestEnv.h"
#include "tools/ToolRun.h"
#include "util/Xml.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <cstdio>
#include <dirent.h>
#include <map>
#include <set>
#include <sys/stat.h>

using namespace quire;
using quire::test::TempDir;
using quire::test::ToolRun;
using quire::test::writeFile;

namespace {

// Runs quire-convert with its temporary files apart from other tests'.
ToolRun convert(const QStringList& args, const QString& tmp)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmp);
    return test::runTool(QStringLiteral(QUIRE_CONVERT), args, env);
}

QString fixture(const char* name)
{
    return QStringLiteral(QUIRE_PDF_FIXTURES "/") + QString::fromLatin1(name);
}

// The published container, deciphered here and unzipped by the unzip tool.
QByteArray bookXml(const QString& folder)
{
    QByteArray data = test::readFile(folder + "/files/book.bin");
    const QByteArray key = "leafcase-key-01";
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<unsigned char>(key[i % key.size()])) & 255;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < data.size(); ++n) {
        i = (i + 1) & 255;
        j = (j + s[i]) & 255;
        std::swap(s[i], s[j]);
        data[n] = char(data[n] ^ s[(s[i] + s[j]) & 255]);
    }
    TempDir dir;
    writeFile(dir.file("book.zip"), data);
    const ToolRun unzip = test::runTool("unzip", {"-p", dir.file("book.zip"), "book.xml"});
    EXPECT_EQ(unzip.status, 0) << unzip.err.toStdString();
    return unzip.out.toUtf8();
}

struct Book {
    xml::DocPtr doc;
    bool wellFormed = false;
    const xmlNode* root = nullptr;
    int count = -1;
    std::map<QString, QString> config;
    QStringList pageUrls;
};

Book readBook(const QString& folder)
{
    Book book;
    auto parsed = xml::parseMemory(bookXml(folder));
    EXPECT_TRUE(parsed.doc) << parsed.error.toStdString();
    if (!parsed.doc)
        return book;
    book.wellFormed = !parsed.recovered;
    book.doc = std::move(parsed.doc);
    book.root = xmlDocGetRootElement(book.doc.get());
    book.count = xml::attribute(book.root, "count").value_or("-1").toInt();
    for (const xmlNode* item : xml::children(xml::firstChild(book.root, "extConfig"), "item"))
        book.config.emplace(xml::attribute(item, "name").value_or(""), xml::text(item));
    for (const xmlNode* page : xml::children(xml::firstChild(book.root, "pages"), "page"))
        book.pageUrls << xml::text(xml::firstChild(page, "normalUrl"));
    return book;
}

// The names in a folder as bytes; Qt skips those that are not UTF-8.
std::set<QByteArray> rawEntries(const QByteArray& folder)
{
    std::set<QByteArray> names;
    if (DIR* listing = ::opendir(folder.constData())) {
        while (const dirent* entry = ::readdir(listing))
            if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0)
                names.insert(entry->d_name);
        ::closedir(listing);
    }
    return names;
}

void expectPagesOnDisk(const QString& folder, const Book& book)
{
    for (const QString& url : book.pageUrls) {
        ASSERT_TRUE(url.startsWith("./files/page/")) << url.toStdString();
        EXPECT_GT(QFileInfo(folder + "/" + url.mid(2)).size(), 0) << url.toStdString();
    }
}

} // namespace

TEST(ConvertEndToEnd, TextBecomesABookOfLandscapePages)
{
    TempDir dir;
    QString text;
    for (int i = 1; i <= 120; ++i)
        text += QStringLiteral("Line %1 of a plain text with ünïcödé, Ελληνικά and кириллица.\n").arg(i);
    writeFile(dir.file("notes.txt"), text.toUtf8());

    const ToolRun run = convert({dir.file("notes.txt"), "-o", dir.file("web"), "--quiet"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    const Book book = readBook(dir.file("web"));
    EXPECT_GE(book.count, 2);
    EXPECT_EQ(book.pageUrls.size(), book.count);
    EXPECT_EQ(book.config.at("pageWidth"), "648");
    EXPECT_EQ(book.config.at("pageHeight"), "468");
    expectPagesOnDisk(dir.file("web"), book);
    const QByteArray page = test::readFile(dir.file("web/index.html"));
    EXPECT_TRUE(page.contains("<title>notes</title>")) << "the title defaults to the source's base name";
    EXPECT_TRUE(QFileInfo(dir.file("web/files/book.js")).size() > 0);
}

TEST(ConvertEndToEnd, RtfWithTitleAndNamedPage)
{
    TempDir dir;
    writeFile(dir.file("Letter.RTF"),
              "{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\f0\\fs28 {\\b Dear reader,}\\par "
              "this is {\\i formatted} text \\'e9t\\'e9.\\par}");
    const ToolRun run = convert({dir.file("Letter.RTF"), "-o", dir.file("web"), "--name", "letter", "--title",
                          "A & B <letter>", "--quiet"},
                         dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const Book book = readBook(dir.file("web"));
    EXPECT_EQ(book.count, 1);
    expectPagesOnDisk(dir.file("web"), book);
    EXPECT_TRUE(test::readFile(dir.file("web/letter.html")).contains("<title>A &amp; B &lt;letter&gt;</title>"));
}

TEST(ConvertEndToEnd, PdfBookmarksAndLinks)
{
    TempDir dir;
    const ToolRun run = convert({fixture("outline.pdf"), "-o", dir.file("o"), "--bookmarks", "--links", "--quiet"},
                         dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const Book book = readBook(dir.file("o"));
    EXPECT_EQ(book.count, 10);
    EXPECT_EQ(book.config.at("pageWidth"), "612");
    const xmlNode* ols = xml::firstChild(book.root, "ols");
    ASSERT_NE(ols, nullptr);
    const auto top = xml::children(ols, "o");
    ASSERT_GE(top.size(), 2u);
    EXPECT_EQ(xml::text(xml::firstChild(top[0], "c")), "Chapter 1");
    EXPECT_EQ(xml::text(xml::firstChild(top[0], "p")), "1");
    const auto sections = xml::children(xml::firstChild(top[0], "ci"), "o");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(xml::text(xml::firstChild(sections[0], "c")), "Section 1.1");
    EXPECT_EQ(xml::text(xml::firstChild(sections[0], "p")), "2");
    EXPECT_EQ(xml::text(xml::firstChild(top[1], "p")), "7");

    const ToolRun links = convert({fixture("links.pdf"), "-o", dir.file("l"), "--links", "--range", "1-6", "--quiet"},
                           dir.path());
    ASSERT_EQ(links.status, 0) << links.err.toStdString();
    const Book linked = readBook(dir.file("l"));
    EXPECT_EQ(linked.count, 6);
    const xmlNode* annos = xml::firstChild(linked.root, "pagesAnnos");
    ASSERT_NE(annos, nullptr);
    std::vector<size_t> perPage;
    for (const xmlNode* page : xml::children(annos, "pageAnnos"))
        perPage.push_back(xml::children(page, "anno").size());
    // Page 1 has a web link and three go-to-page links; page 5 one; page 6 one.
    EXPECT_EQ(perPage, (std::vector<size_t>{3, 0, 0, 0, 1, 1}));
    EXPECT_EQ(xml::firstChild(linked.root, "ols"), nullptr);
}

TEST(ConvertEndToEnd, DesktopBundleAndRange)
{
    TempDir dir;
    const ToolRun run = convert({fixture("plain.pdf"), "-o", dir.file("apps"), "--app", "--name", "mybook", "--range",
                          "3-5", "--quality", "4"},
                         dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.trimmed().endsWith("mybook.app")) << run.out.toStdString();
    const QString resources = dir.file("apps/mybook.app/Contents/Resources");
    EXPECT_TRUE(QFileInfo(resources + "/index.html").isFile());
    const Book book = readBook(resources);
    EXPECT_EQ(book.pageUrls, (QStringList{"./files/page/3.jpg", "./files/page/4.jpg", "./files/page/5.jpg"}));
    expectPagesOnDisk(resources, book);
}

TEST(ConvertEndToEnd, SettingsExportedAndAppliedAfterTheStyle)
{
    TempDir dir;
    const QString settings = dir.file("float.txt");
    ToolRun run = convert({"--export-settings", settings}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QByteArray text = test::readFile(settings);
    ASSERT_TRUE(text.startsWith("\n\r"));
    ASSERT_TRUE(text.contains("\n\rbookTitle="));
    // Shipped files are named so that the file works wherever the program is.
    EXPECT_TRUE(text.contains("\n\rbackgroundImage=STYLE_RESOURCE:../../float/Blank/")) << text.toStdString();
    EXPECT_FALSE(text.contains("AppFiles/Styles/float/Blank")) << text.toStdString();
    text.replace("\n\rbookTitle=", "\n\rbookTitle=From settings");
    writeFile(settings, text + "\n\rlogoImage=/etc/passwd");

    run = convert({fixture("plain.pdf"), "-o", dir.file("o"), "--settings", settings, "--range", "1", "--quiet"},
                  dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(readBook(dir.file("o")).config.at("bookTitle"), "From settings");
    EXPECT_TRUE(run.err.contains("quire-convert: warning: " + settings
                                 + ": logoImage: \"/etc/passwd\" was not taken: only .png, .jpg, .jpeg files"))
        << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.file("o/files/extfiles/passwd")));
}

TEST(ConvertEndToEnd, BadInputGivesItsStatusAndNamesTheFile)
{
    TempDir dir;
    writeFile(dir.file("notes.odt"), "x");
    writeFile(dir.file("fake.rtf"), "this is not rtf at all");
    writeFile(dir.file("latin1.txt"), "\n\rbookTitle=caf\xe9");
    QDir().mkpath(dir.file("folder"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("fifo")).constData(), 0600), 0);
    writeFile(dir.file("shelf"), "a file where a folder should be");
    const struct {
        QStringList args;
        int status;
        QString words;
    } cases[] = {
        {{dir.file("missing.pdf"), "-o", dir.file("o")}, 3, dir.file("missing.pdf") + ": no such file"},
        {{dir.file("notes.odt"), "-o", dir.file("o")}, 3, "unknown kind of document"},
        {{dir.file("fake.rtf"), "-o", dir.file("o")}, 3, "“fake.rtf” is not an RTF document"},
        {{fixture("plain.pdf"), "-o", dir.file("o"), "--template", "nope"}, 2, "unknown template \"nope\""},
        {{fixture("plain.pdf"), "-o", dir.file("o"), "--style", "Nope"}, 2, "has no style \"Nope\""},
        {{fixture("plain.pdf"), "-o", dir.file("o"), "--range", "two"}, 2, "bad page range"},
        {{fixture("plain.pdf"), "-o", dir.file("o"), "--range", "200"}, 4, "Page 200 is not in the document (10 pages)"},
        {{fixture("plain.pdf"), "-o", dir.file("o"), "--range", "1-2000000000"}, 4, "a range may name at most 1000000"},
        {{fixture("truncated.pdf"), "-o", dir.file("o")}, 4, fixture("truncated.pdf")},
        {{fixture("hugepage.pdf"), "-o", dir.file("o")}, 4, "Page 2 is too large to draw"},
        {{fixture("encrypted.pdf"), "-o", dir.file("o")}, 4, "password"},
        {{fixture("plain.pdf"), "-o", dir.file("o"), "--style", "../../Templates/float"}, 2, "has no style"},
        {{fixture("plain.pdf"), "-o", dir.file("o"), "--settings", dir.file("none.txt")}, 2, dir.file("none.txt")},
        {{fixture("plain.pdf"), "-o", dir.file("o"), "--settings", dir.file("folder")}, 2, "is a folder"},
        {{fixture("plain.pdf"), "-o", dir.file("o"), "--settings", "/dev/zero"}, 2, "is not a regular file"},
        {{fixture("plain.pdf"), "-o", dir.file("o"), "--settings", dir.file("fifo")}, 2, "is not a regular file"},
        {{fixture("plain.pdf"), "-o", dir.file("o"), "--settings", dir.file("latin1.txt")}, 2, "is not UTF-8 text"},
        {{fixture("plain.pdf")}, 2, "no output folder"},
        {{fixture("plain.pdf"), "-o", dir.file("shelf/o"), "--range", "1"}, 5,
         dir.file("shelf/o") + ": cannot be created: " + dir.file("shelf") + " is not a folder"},
    };
    for (const auto& c : cases) {
        const ToolRun run = convert(c.args, dir.path());
        EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString() << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.words)) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("quire-convert: ")) << run.err.toStdString();
    }
    // Nothing was published by the failed runs.
    EXPECT_FALSE(QFileInfo(dir.file("o/files/book.bin")).exists());
}

TEST(ConvertEndToEnd, OddBookmarksLinksAndATurnedFirstPageGiveAReadableBook)
{
    TempDir dir;
    const ToolRun run = convert({fixture("oddities.pdf"), "-o", dir.file("o"), "--bookmarks", "--links"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const Book book = readBook(dir.file("o"));
    ASSERT_TRUE(book.root);
    EXPECT_TRUE(book.wellFormed);
    QStringList captions;
    for (const xmlNode* o : xml::children(xml::firstChild(book.root, "ols"), "o"))
        captions << xml::text(xml::firstChild(o, "c"));
    EXPECT_EQ(captions, (QStringList{"Introduction", QString::fromUtf8("AB\uFFFDC")}));
    // Links to another PDF, a program, a script and a relative name are left
    // out (the annotation tests check which), and the user hears of each.
    EXPECT_EQ(run.err.count("quire-convert: warning: The link to"), 4) << run.err.toStdString();
    // The page size is the first page's as rendered: cropped to 600 x 780, turned.
    EXPECT_EQ(book.config.at("pageWidth"), "780");
    EXPECT_EQ(book.config.at("pageHeight"), "600");
}

TEST(ConvertEndToEnd, WarningsReachTheTerminalUnlessQuietAndDiagnosticsTheLogFile)
{
    TempDir dir;
    writeFile(dir.file("picture.rtf"), "{\\rtf1\\ansi {\\pict\\wmetafile8 0102}\\par Text.\\par}");
    const struct {
        QStringList args;
        QString words;
    } cases[] = {
        {{dir.file("picture.rtf")}, "a picture was left out"},
        {{fixture("cyclic.pdf"), "--bookmarks"}, "Cannot read the bookmarks"},
    };
    for (const auto& c : cases) {
        ToolRun run = convert(c.args + QStringList{"-o", dir.file("o")}, dir.path());
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("quire-convert: warning: ")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.words)) << run.err.toStdString();
        run = convert(c.args + QStringList{"-o", dir.file("o"), "--quiet"}, dir.path());
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
    }
    // What the program says on the console (applying the style) is kept in the log file.
    const QString log = test::testHome() + "/.local/share/Inkwright/Quire`/Quire for Mac.log";
    EXPECT_TRUE(test::readFile(log).contains("console: key 3[")) << log.toStdString();
}

TEST(ConvertEndToEnd, RunsSideBySidePrintIntoFilesOfTheirOwn)
{
    TempDir dir;
    TempDir tmp;
    writeFile(tmp.file("Quire"), "a file where the application's folder would be");
    writeFile(dir.file("short.txt"), "One page.");
    writeFile(dir.file("long.txt"), QByteArray("A line of a longer text.\n").repeated(300));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmp.path());
    QProcess runs[2];
    const char* names[] = {"short", "long"};
    for (int i = 0; i < 2; ++i) {
        runs[i].setProcessEnvironment(env);
        runs[i].start(QStringLiteral(QUIRE_CONVERT),
                      {dir.file(QString(names[i]) + ".txt"), "-o", dir.file(names[i]), "--quiet"});
    }
    for (QProcess& run : runs) {
        ASSERT_TRUE(run.waitForFinished(120000));
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    }
    EXPECT_EQ(readBook(dir.file("short")).count, 1);
    EXPECT_GT(readBook(dir.file("long")).count, 3);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"Quire"});
}

TEST(ConvertEndToEnd, NamesThatAreNotUtf8AreUsedAsTheyAre)
{
    TempDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray source = folder + "/notes\xff.txt";
    const QByteArray output = folder + "/book\xfe";
    QFile file;
    ASSERT_TRUE(file.open(::fopen(source.constData(), "w"), QIODevice::WriteOnly, QFile::AutoCloseHandle));
    file.write("A text with a name that is not UTF-8.");
    file.close();
    for (const char* locale : {"C.UTF-8", "C"}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LANG", locale);
        env.insert("LC_ALL", locale);
        env.insert("TMPDIR", dir.path());
        // The shell hands the program the bytes, which QProcess cannot.
        const ToolRun run = test::runTool(
            "/bin/sh", {"-c", "exec \"$0\" \"$1/notes$(printf '\\377').txt\" -o \"$1/book$(printf '\\376')\"",
                        QStringLiteral(QUIRE_CONVERT), dir.path()},
            env);
        ASSERT_EQ(run.status, 0) << locale << ": " << run.err.toStdString();
        struct stat info {};
        EXPECT_EQ(::stat((output + "/index.html").constData(), &info), 0) << locale;
        EXPECT_GT(::stat((output + "/files/book.bin").constData(), &info) == 0 ? info.st_size : 0, 0) << locale;
        // Nothing else was made: no folder under a mended name, no link left behind.
        EXPECT_EQ(rawEntries(folder), (std::set<QByteArray>{"book\xfe", "notes\xff.txt"})) << locale;
    }
    // Qt cannot name these files to remove them.
    test::runTool("/bin/sh", {"-c", "rm -rf -- \"$0\"/*", dir.path()});
}

// Over a book on a small disk: no room for the new book, no room for a
// settings file, a read-only folder. Each fails with status 5 naming the file
// and leaves what was there.
TEST(ConvertEndToEnd, FailedWritesGiveFiveAndKeepTheOldBook)
{
    TempDir dir;
    test::SmallDisk disk(512 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    const QString web = disk.file("web");
    ToolRun run = convert({fixture("plain.pdf"), "-o", web, "--range", "1", "--quality", "4", "--quiet"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const auto before = test::snapshot(web);

    run = convert({fixture("plain.pdf"), "-o", web, "--quality", "0", "--quiet"}, dir.path());
    EXPECT_EQ(run.status, 5) << run.err.toStdString();
    EXPECT_TRUE(run.err.startsWith("quire-convert: " + web + "/")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.toStdString();
    EXPECT_TRUE(test::snapshot(web) == before);

    disk.fill();
    run = convert({"--export-settings", disk.file("float.txt")}, dir.path());
    EXPECT_EQ(run.status, 5) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(disk.file("float.txt"))) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(disk.file("float.txt")));

    QFile::remove(disk.file("filler"));
    ASSERT_TRUE(disk.makeReadOnly());
    run = convert({fixture("plain.pdf"), "-o", web, "--range", "2", "--quiet"}, dir.path());
    EXPECT_EQ(run.status, 5) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(web + ": cannot write into the folder: Read-only file system")) << run.err.toStdString();
    EXPECT_TRUE(test::snapshot(web) == before);
}
