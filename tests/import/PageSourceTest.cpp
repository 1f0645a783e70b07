// Page ranges, and page sources over picture files.
#include "import/FlashPageSource.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

using namespace quire;
using Pages = std::vector<int>;

TEST(PageRange, FollowsTheTableAndRefusesRangesNamingTooManyPages)
{
    const std::tuple<const char*, int, Pages> cases[] = {
        {"all", 4, {1, 2, 3, 4}}, {"All", 4, {1, 2, 3, 4}}, {"ALL", 4, {1, 2, 3, 4}}, {"ALL", 0, {}}, {"ALL", -3, {}},
        {" ALL", 4, {0}}, // white space is not trimmed: a number, not the keyword
        {"1,3,5-7", 10, {1, 3, 5, 6, 7}}, {"5,3,3,1-2", 10, {1, 2, 3, 5}}, {"2-4,3-6", 10, {2, 3, 4, 5, 6}},
        {" 2 , 4 ", 10, {2, 4}}, {"7-5", 10, {}}, {"4-", 10, {}}, {"-3", 10, {0, 1, 2, 3}}, {"2-3-9", 10, {2, 3}},
        {"", 10, {0}}, {"1,,2", 10, {0, 1, 2}}, {"x", 10, {0}}, {"3a", 10, {3}}, {"+4", 10, {4}},
        {"10-12", 5, {10, 11, 12}},
        {"99999999999", 10, {2147483647}}, // saturates instead of wrapping negative
    };
    for (const auto& [range, total, pages] : cases)
        EXPECT_EQ(FlashPageSource::parsePageRange(range, total), pages) << '"' << range << "\" of " << total;
    // Ranges naming too many pages are refused before they are listed;
    // overlapping spans count each page once.
    QString spans;
    for (int i = 0; i < 600; ++i)
        spans += QString("%1%2-2147483647").arg(i ? "," : "").arg(i + 1);
    for (const QString& range : {QString("1-2000000000"), QString("0-1000000"), spans})
        EXPECT_TRUE(test::errorOf([&] { FlashPageSource::parsePageRange(range, 10); }).contains("at most 1000000"));
    const Pages most = FlashPageSource::parsePageRange("1-1000000,1-1000000,500-20", 10);
    ASSERT_EQ(most.size(), 1'000'000u);
    EXPECT_EQ(most.back(), 1'000'000);
}

TEST(PageSource, PicturePagesAreNumberedInOrderAndCopiedOnceAsNormalPages)
{
    FlashPageSourceImg source;
    EXPECT_FALSE(source.sourceFile().isNull()); // empty, not absent
    for (const char* path : {"/a.jpg", "/b.jpg", "/c.jpg"})
        source.addImgPageFromFile(path);
    source.generateNormalPages();
    source.generateNormalPages(); // a second call adds nothing
    ASSERT_EQ(source.normalPages().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const FlashPage* page = source.pages()[size_t(i)].get();
        const FlashPage* normal = source.normalPages()[size_t(i)].get();
        EXPECT_EQ(page->pageIndex(), i + 1);
        EXPECT_EQ(normal->pageIndex(), i + 1);
        EXPECT_EQ(normal->pageFilePath(), page->pageFilePath());
        EXPECT_NE(normal, page); // a copy, not the same record
        EXPECT_TRUE(dynamic_cast<const FlashPageImage*>(page) && dynamic_cast<const FlashPageImage*>(normal));
        EXPECT_EQ(source.getPageAtIndex(i), page);
        EXPECT_EQ(source.getNormalPageAtIndex(i + 1), normal);
    }
    EXPECT_EQ(*source.pages()[1]->pageFilePath(), "/b.jpg");
    for (int n : {-1, 0, 3, 4}) {
        EXPECT_EQ(source.getPageAtIndex(n), n == 0 ? source.pages()[0].get() : nullptr);
        EXPECT_EQ(source.getNormalPageAtIndex(n), n == 3 ? source.normalPages()[2].get() : nullptr);
        EXPECT_EQ(source.getZoomedPageAtIndex(n), nullptr);
        EXPECT_EQ(source.getThumbPageAtIndex(n), nullptr);
    }
    source.zoomedPages().push_back(std::make_unique<FlashPage>());
    source.thumbPages().push_back(std::make_unique<FlashPage>());
    source.clearPages();
    for (const auto* list : {&source.pages(), &source.normalPages(), &source.zoomedPages(), &source.thumbPages()})
        EXPECT_TRUE(list->empty());

    // Gaps in the numbers are kept; a plain page's copy stays a plain page.
    source.pages().push_back(std::make_unique<FlashPageImage>(QString("/x.jpg"), 5));
    source.pages().push_back(std::make_unique<FlashPageImage>(QString("/y.jpg"), 9));
    source.generateNormalPages();
    ASSERT_EQ(source.normalPages().size(), 2u);
    EXPECT_EQ(source.normalPages()[0]->pageIndex(), 5);
    EXPECT_EQ(source.normalPages()[1]->pageIndex(), 9);
    auto copy = FlashPage(QString("/p.jpg"), 7).copyPage(100, 100);
    EXPECT_EQ(dynamic_cast<FlashPageImage*>(copy.get()), nullptr);
    EXPECT_EQ(copy->pageIndex(), 7);
    EXPECT_EQ(*copy->pageFilePath(), "/p.jpg");
}
