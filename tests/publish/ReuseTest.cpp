// Republishing with a file reuse: unchanged page files (pictures,
// thumbnails, words) are linked from the book in place, anything changed on
// either side is written afresh, and the book is the same as a full
// publish's either way.
#include "PublishFixture.h"
#include "publish/FlashBookOutput.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <sys/stat.h>
#include <utime.h>

using namespace quire;
using namespace quire::test;

namespace {

ino_t inodeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

void setModified(const QString& path, time_t when)
{
    const utimbuf times{when, when};
    ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &times), 0);
}

class Reuse : public PublishFixture {
protected:
    void SetUp() override
    {
        PublishFixture::SetUp();
        tmpl = makeTemplate("");
        pages = makeBook();
    }
    // Four pages, words on the first and third.
    std::shared_ptr<FlashPageSourceImg> makeBook()
    {
        auto book = makePages(4);
        for (int i = 0; i < 4; ++i)
            writePicture(source(i), 64, 80, static_cast<unsigned char>(40 * i));
        book->normalPages()[0]->setPageText(wordsOf({"first"}));
        book->normalPages()[2]->setPageText(wordsOf({"third"}));
        return book;
    }
    PublishResult publishWith(const QString& into)
    {
        FlashBookOutput out(pages, tmpl, into, std::nullopt);
        out.setFileReuse(reuse);
        return out.ouputTheBook();
    }
    QString page(int n) const { return at(QStringLiteral("files/page/%1.jpg").arg(n)); }
    QString source(int position) const { return dir.file(QStringLiteral("pics/a/p%1.jpg").arg(position)); }

    std::shared_ptr<FlashTemplate> tmpl;
    std::shared_ptr<FlashPageSourceImg> pages;
    std::shared_ptr<PublishReuse> reuse = std::make_shared<PublishReuse>();
};

} // namespace

TEST_F(Reuse, UnchangedPagesAreLinkedAndChangedOnesWrittenAfresh)
{
    struct Case {
        const char* name;
        std::function<void()> change; // between the first publish and the second
        int reused;
    };
    const Case cases[] = {
        // Linked when nothing changed: 4 pictures, 4 thumbnails, 1 file of words.
        {"nothing changed", [] {}, 9},
        {"a source rewritten", [this] { writePicture(source(1), 64, 80, 250); }, 7},
        {"a source only touched", [this] { setModified(source(2), 1000); }, 7},
        {"the book's copy rewritten", [this] { writeFile(page(3), "damaged"); }, 8},
        {"the book's copy removed", [this] { QFile::remove(page(4)); }, 8},
        {"the book's thumbnail rewritten", [this] { writeFile(at("files/thumb/2.jpg"), "damaged"); }, 8},
        {"a page's words replaced", [this] { pages->normalPages()[2]->setPageText(wordsOf({"other"})); }, 8},
        {"the book folder removed and made again",
         [this] { QDir(folder).removeRecursively(); QDir().mkpath(folder); }, 0},
        {"a failed publish in between",
         [this] {
             const std::shared_ptr<FlashTemplate> kept = tmpl;
             tmpl = makeTemplate("", "", "broken"); // no HTML page: the publish fails
             ASSERT_FALSE(publishWith(folder).ok());
             tmpl = kept;
         },
         9},
        {"a publish into another folder in between",
         [this] { QDir().mkpath(dir.file("other")); ASSERT_TRUE(publishWith(dir.file("other")).ok()); },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        pages = makeBook();
        reuse = std::make_shared<PublishReuse>();
        ASSERT_TRUE(publishWith(folder).ok());
        EXPECT_EQ(reuse->reusedCount(), 0);
        c.change();
        const ino_t firstBefore = inodeOf(page(1)), folderBefore = inodeOf(at("files/page"));

        ASSERT_TRUE(publishWith(folder).ok());
        EXPECT_EQ(reuse->reusedCount(), c.reused);
        const QMap<QString, QByteArray> reused = snapshot(folder);
        if (c.reused == 9) {
            EXPECT_EQ(inodeOf(page(1)), firstBefore);
            EXPECT_EQ(inodeOf(at("files/page")), folderBefore); // kept whole, not made again
        }

        // A full publish of the same book writes the same files.
        const QString full = dir.file("full");
        QDir(full).removeRecursively();
        QDir().mkpath(full);
        FlashBookOutput fresh(pages, tmpl, full, std::nullopt);
        ASSERT_TRUE(fresh.ouputTheBook().ok());
        const QMap<QString, QByteArray> expected = snapshot(full);
        EXPECT_EQ(reused.keys(), expected.keys());
        // The replaced book is gone once the removal has run.
        reuse.reset();
        EXPECT_EQ(QDir(dir.path()).entryList({".book.replaced-*"}, QDir::Dirs | QDir::Hidden), QStringList());
        EXPECT_EQ(QDir(folder).entryList({".quire-publish-*"}, QDir::Dirs | QDir::Hidden), QStringList());
        for (const QString& name : expected.keys()) {
            if (!name.endsWith("book.bin") && !name.endsWith("book.js")) {
                EXPECT_EQ(reused.value(name), expected.value(name)) << name.toStdString();
            }
        }
    }
}
