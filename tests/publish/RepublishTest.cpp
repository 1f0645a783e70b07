// Publishing over an earlier book: a publish that fails or is interrupted
// leaves the whole old book or the whole new one, never a mix.
#include "PublishFixture.h"
#include "publish/FlashBookOutputApp.h"
#include "util/FileUtil.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

using namespace quire;
using namespace quire::test;

namespace {

using Book = QMap<QString, QByteArray>;

// The container with the time fields of its two ZIP headers cleared, so
// books written at different moments compare equal.
QByteArray timeless(const QByteArray& container)
{
    QByteArray zip = decipher(container);
    zip.replace(10, 4, QByteArray(4, '\0'));
    const qsizetype central = zip.lastIndexOf(QByteArray("PK\x01\x02"));
    if (central >= 0)
        zip.replace(central + 12, 4, QByteArray(4, '\0'));
    return zip;
}

// Every file of the folder with its bytes, staging folders left out.
Book bookIn(const QString& folder)
{
    Book book;
    const Book files = snapshot(folder);
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (it.key().startsWith(".quire-publish-"))
            continue;
        QByteArray bytes = it.value();
        if (it.key().endsWith("files/book.bin"))
            bytes = timeless(bytes);
        else if (it.key().endsWith("files/book.js"))
            bytes = timeless(QByteArray::fromBase64(bytes.mid(bytes.indexOf('"') + 1).chopped(3)));
        book.insert(it.key(), bytes);
    }
    return book;
}

int g_stopAt = -1;
int g_moments = 0;

// Counts the moments of a publish; ends the process, as a kill would, at
// the one numbered g_stopAt.
void stopper(const char*)
{
    if (g_moments++ == g_stopAt)
        ::_exit(0);
}

class Republish : public PublishFixture {
protected:
    void SetUp() override
    {
        PublishFixture::SetUp();
        makeBooks();
    }
    void TearDown() override { publish::setMomentHook(nullptr); }

    // The old book and the new one differ in every entry of the folder.
    void makeBooks()
    {
        writeFile(res("AppFiles/TmplData/mac.app/Contents/Info.plist"), "plist");
        writeFile(dir.file("assets/bg.png"), "background");
        oldTemplate = makeTemplate(propertyXml("pt_file", "bg", dir.file("assets/bg.png")), "<old>${index.title}",
                                   "old");
        newTemplate = makeTemplate("", "<new>${index.title}", "new");
        QFile::remove(res("AppFiles/Templates/new/book.swf")); // the new book has no viewer movie
        oldPages = makePages(4, 1, "old");
        newPages = makePages(2, 1, "new");
        annotations = std::make_shared<FlashPagesAnnotations>();
        writeFile(dir.file("assets/links.xml"), "links");
        annotations->setNeedFiles({dir.file("assets/links.xml")});
    }
    bool stagingLeft() const
    {
        return !QDir(folder).entryList({".quire-publish-*"}, QDir::Dirs | QDir::Hidden).isEmpty();
    }

    std::unique_ptr<FlashBookOutput> publisher(bool app, bool next) const
    {
        const auto& tmpl = next ? newTemplate : oldTemplate;
        const auto& pages = next ? newPages : oldPages;
        std::unique_ptr<FlashBookOutput> out;
        if (app)
            out = std::make_unique<FlashBookOutputApp>(pages, tmpl, folder, QString("mybook.html"));
        else
            out = std::make_unique<FlashBookOutput>(pages, tmpl, folder, std::nullopt);
        auto html = std::make_shared<HTMLConfigInfo>();
        html->setHTMLTitle(next ? "New" : "Old");
        out->setHTMLConfig(html);
        if (next)
            out->setFlashPagesAnnotations(annotations);
        return out;
    }

    std::shared_ptr<FlashTemplate> oldTemplate, newTemplate;
    std::shared_ptr<FlashPageSourceImg> oldPages, newPages;
    std::shared_ptr<FlashPagesAnnotations> annotations;
};

} // namespace

TEST_F(Republish, AnInterruptedPublishLeavesAWholeBookAndTheNextOneClearsUp)
{
    for (const bool app : {false, true}) {
        SCOPED_TRACE(app ? "bundle" : "web folder");
        folder = dir.file(app ? "apps" : "web");
        QDir().mkpath(folder);
        ASSERT_TRUE(publisher(app, false)->ouputTheBook().ok());
        const Book oldBook = bookIn(folder);
        publish::setMomentHook(stopper);
        g_moments = 0;
        ASSERT_TRUE(publisher(app, true)->ouputTheBook().ok());
        const Book newBook = bookIn(folder);
        const int moments = g_moments;
        ASSERT_NE(oldBook, newBook);
        ASSERT_GT(moments, 8);

        QList<bool> wasNew;
        for (int stop = 0; stop < moments; ++stop) {
            g_stopAt = -1;
            const PublishResult again = publisher(app, false)->ouputTheBook();
            ASSERT_TRUE(again.ok()) << again.description().toStdString();
            ASSERT_EQ(bookIn(folder), oldBook);
            EXPECT_FALSE(stagingLeft()) << "after moment " << stop - 1;

            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                g_stopAt = stop;
                g_moments = 0;
                (void)publisher(app, true)->ouputTheBook();
                ::_exit(3); // never stopped
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "moment " << stop;
            const Book left = bookIn(folder);
            EXPECT_TRUE(left == oldBook || left == newBook) << "a mixed book after moment " << stop;
            wasNew << (left == newBook);
        }
        // Stopped before the swap the old book stays, after it the new one.
        EXPECT_TRUE(!wasNew.first() && wasNew.last() && std::is_sorted(wasNew.begin(), wasNew.end()));
        publish::setMomentHook(nullptr);
    }
}

// (A full disk and a read-only folder under an earlier book: the converter's
// FailedWritesGiveFiveAndKeepTheOldBook, through the same publish; a template
// without its page: PublishDialog's failures and the bundle's missing skeleton.)
TEST_F(Republish, AFailedPublishNamesTheFileAndKeepsTheOldBook)
{
    const std::tuple<const char*, std::function<void()>, QString, QString> cases[] = { // name, spoil, file, reason
        {"a page that cannot be copied", [&] { QFile::remove(textOr(newPages->normalPages()[1]->pageFilePath())); },
         "files/page/2.jpg", "cannot read"},
    };
    for (const auto& [name, spoil, file, words] : cases) {
        SCOPED_TRACE(name);
        makeBooks();
        ASSERT_TRUE(publisher(false, false)->ouputTheBook().ok());
        const Book before = snapshot(folder);
        spoil();
        const PublishResult result = publisher(false, true)->ouputTheBook();
        ASSERT_FALSE(result.ok());
        EXPECT_TRUE(result.failure()->file.startsWith(fs::join(folder, file))) << result.description().toStdString();
        EXPECT_TRUE(result.failure()->reason.contains(words)) << result.description().toStdString();
        EXPECT_TRUE(snapshot(folder) == before);
    }
}
