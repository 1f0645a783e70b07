// What a book has besides its pictures: the words of its pages, their
// labels and thumbnails, in the files viewer/BOOKFILES.md describes.
#include "PublishFixture.h"
#include "publish/BookExtras.h"
#include "publish/FlashBookOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <zlib.h>

using namespace quire;
using namespace quire::test;

namespace {

// The words of a group of pages from its script "quireText(GROUP,{...});\n",
// which holds ASCII only, read as the reader reads them: a list with the
// blocks of each page, or null. `form`, when given, is the data's first key:
// "pages" when plain, "deflated" when compressed.
QJsonArray textGroup(const QByteArray& script, int group, const QByteArray& form = {})
{
    const QByteArray start = "quireText(" + QByteArray::number(group) + ",{\"" + form;
    EXPECT_TRUE(script.startsWith(start) && script.endsWith(");\n")) << script.left(80).toStdString();
    EXPECT_TRUE(std::all_of(script.begin(), script.end(), [](char c) { return c > 0 && c < 0x7f; }));
    const QJsonObject data = QJsonDocument::fromJson(script.mid(script.indexOf('{')).chopped(3)).object();
    if (data.contains("pages"))
        return data["pages"].toArray();
    const QByteArray packed = QByteArray::fromBase64(data["deflated"].toString().toLatin1());
    QByteArray json(data["size"].toInt(), '\0');
    z_stream stream{};
    inflateInit2(&stream, -15); // raw deflate
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    stream.avail_in = uInt(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(json.data());
    stream.avail_out = uInt(json.size());
    EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(int(stream.total_out), json.size());
    inflateEnd(&stream);
    return QJsonDocument::fromJson(json).array();
}

QStringList manyWords()
{
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << QString("word%1").arg(i % 20);
    return many;
}

class BookExtras : public PublishFixture {
protected:
    // count pages numbered from 3, with real pictures of 612 x 792 pixels.
    std::shared_ptr<FlashPageSourceImg> pictureBook(int count)
    {
        auto source = std::make_shared<FlashPageSourceImg>();
        for (int n = 3; n < 3 + count; ++n) {
            const QString path = dir.file(QString("real/%1.jpg").arg(n));
            if (!QFileInfo::exists(path))
                writePicture(path, 612, 792);
            source->addImgPageFromFile(path);
            source->pages().back()->setPageIndex(n);
        }
        return source;
    }
    // 18 pages: words on the first and the last, labels on the first three.
    std::shared_ptr<FlashPageSourceImg> bookWithText()
    {
        auto source = pictureBook(18);
        source->pages()[0]->setPageText(wordsOf({"say", "\"na\u00efve\"", "a\\b", "\u65e5\u672c"}));
        source->pages()[17]->setPageText(wordsOf(manyWords()));
        source->pages()[0]->setPageLabel(QString("iii"));
        source->pages()[2]->setPageLabel(QString(""));
        source->generateNormalPages();
        return source;
    }
};

} // namespace

TEST(TextGroups, PlainWhenSmallCompressedWhenThatPaysTheSameWordsEitherWay)
{
    const auto few = wordsOf({"say", "\"na\u00efve\"", "a\\b", "\u65e5\u672c"});
    const auto many = wordsOf(manyWords());
    // Quotes, backslashes and other scripts come back as they were, places
    // in ten thousandths of the page.
    const QByteArray small = publish::textGroupScript(7, {few.get()});
    EXPECT_EQ(QJsonDocument(textGroup(small, 7, "pages")).toJson(QJsonDocument::Compact),
              "[[[[0,\"say\",1000,2500,500,200,\"\\\"na\u00efve\\\"\",1010,2500,500,200,\"a\\\\b\",1020,2500,500,200,"
              "\"\u65e5\u672c\",1030,2500,500,200]]]]");

    const QByteArray large = publish::textGroupScript(2, {many.get(), nullptr});
    EXPECT_LT(large.size(), 300 * 20 * 3 / 4);
    const QJsonArray pages = textGroup(large, 2, "deflated");
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages.at(1).isNull());
    const QJsonArray words = pages.at(0).toArray().at(0).toArray().at(0).toArray();
    ASSERT_EQ(words.size(), 1 + 300 * 5);
    EXPECT_EQ(words.at(1 + 299 * 5).toString(), "word19");
    EXPECT_EQ(words.at(1 + 299 * 5 + 1).toInt(), 3990); // 0.1 + 0.299 of the width
}

TEST_F(BookExtras, WordsLabelsAndThumbnailsAreListedAndWritten)
{
    publish(makeTemplate(""), bookWithText());
    // Positions 1 to 16 share a file, 17 and 18 the next.
    EXPECT_EQ(filesBelow(at("files/text")), QStringList({"0.js", "1.js"}));
    const QJsonArray first = textGroup(readFile(at("files/text/0.js")), 0);
    const QJsonArray second = textGroup(readFile(at("files/text/1.js")), 1);
    EXPECT_EQ(std::tuple(first.size(), first.at(1).isNull(), second.size(), second.at(0).isNull()),
              std::tuple(16, true, 2, true));
    EXPECT_EQ(first.at(0).toArray().at(0).toArray().at(0).toArray().at(1).toString(), "say");
    EXPECT_EQ(second.at(1).toArray().at(0).toArray().at(0).toArray().size(), 1 + 300 * 5);

    EXPECT_EQ(filesBelow(at("files/thumb")).size(), 18);
    for (int n = 3; n <= 20; ++n)
        EXPECT_EQ(QImage(at(QString("files/thumb/%1.jpg").arg(n))).size(), QSize(160, 207)) << n;
    QByteArray thumbs, text;
    for (int i = 0; i < 18; ++i) {
        thumbs += i ? ",[160,207]" : "[160,207]";
        text += i == 0 ? "1" : i == 17 ? ",1" : ",0";
    }
    EXPECT_EQ(readFile(at("files/extras.js")),
              "quireExtras({\"version\":1,\"count\":18,\"pages\":[3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20],"
              "\"labels\":[\"iii\",null,\"\",null,null,null,null,null,null,null,null,null,null,null,null,null,null,null],"
              "\"thumbs\":["
                  + thumbs + "],\"textGroup\":16,\"text\":[" + text + "]});\n");
}

TEST_F(BookExtras, BooksWithoutSomeExtrasListOnlyWhatTheyHave)
{
    const struct {
        const char* name;
        bool realPictures;
        QStringList files; // below files/, besides book.bin, book.js and the pages
        QByteArray list;
    } cases[] = {
        {"pictures the decoder cannot read", false, {}, {}},
        {"pictures without words", true, {"extras.js", "thumb/3.jpg", "thumb/4.jpg", "thumb/5.jpg"},
         "quireExtras({\"version\":1,\"count\":3,\"pages\":[3,4,5],\"thumbs\":[[160,207],[160,207],[160,207]]});\n"},
    };
    const auto tmpl = makeTemplate("");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Over a book with words, whose extras must all go.
        publish(tmpl, bookWithText());
        publish(tmpl, c.realPictures ? [&] {
            auto source = pictureBook(3);
            source->generateNormalPages();
            return source;
        }() : makePages(3, 3));
        QStringList files = filesBelow(at("files"));
        files.removeIf([](const QString& f) { return f.startsWith("book.") || f.startsWith("page/"); });
        EXPECT_EQ(files, c.files);
        if (!c.list.isEmpty()) {
            EXPECT_EQ(readFile(at("files/extras.js")), c.list);
        }
    }
}

TEST_F(BookExtras, AFileThatCannotBeWrittenIsReported)
{
    const auto source = bookWithText();
    const struct {
        const char* blocker; // a folder where a file goes, or a file where a folder goes
        bool folder;
        PublishResult (FlashBookOutput::*step)(const QString&);
        const char* failed;
    } cases[] = {
        {"files/thumb/4.jpg", true, &FlashBookOutput::prepaireThumbPage, "files/thumb/4.jpg"},
        {"files/text", false, &FlashBookOutput::prepaireBookExtras, "files/text"},
        {"files/text/1.js", true, &FlashBookOutput::prepaireBookExtras, "files/text/1.js"},
        {"files/extras.js/x", false, &FlashBookOutput::prepaireBookExtras, "files/extras.js"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blocker);
        const QString staged = dir.file(QString("staged-%1").arg(&c - cases));
        if (c.folder)
            QDir().mkpath(staged + "/" + c.blocker);
        else
            writeFile(staged + "/" + c.blocker, "x");
        FlashBookOutput out(source, makeTemplate(""), folder, std::nullopt);
        const PublishResult result = (out.*c.step)(staged);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure()->file, staged + "/" + c.failed);
    }
}
