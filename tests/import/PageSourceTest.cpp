#include "import/FlashPageSource.h"

#include <gtest/gtest.h>

using namespace quire;

TEST(PageSource, ImagePagesAreNumberedInOrderAndNormalPagesFollow)
{
    FlashPageSourceImg source;
    EXPECT_FALSE(source.sourceFile().isNull()); // empty, not absent
    for (const char* path : {"/a.jpg", "/b.jpg", "/c.jpg"})
        source.addImgPageFromFile(path);
    EXPECT_EQ(*source.pages()[1]->pageFilePath(), "/b.jpg");
    source.generateNormalPages();
    source.generateNormalPages(); // a second call adds nothing
    ASSERT_EQ(source.pages().size(), 3u);
    ASSERT_EQ(source.normalPages().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const FlashPage* page = source.pages()[i].get();
        const FlashPage* normal = source.normalPages()[i].get();
        EXPECT_EQ(page->pageIndex(), int(i) + 1);
        EXPECT_EQ(normal->pageIndex(), int(i) + 1);
        EXPECT_EQ(normal->pageFilePath(), page->pageFilePath());
        EXPECT_NE(normal, page); // a copy, not the same record
        EXPECT_NE(dynamic_cast<const FlashPageImage*>(page), nullptr);
        EXPECT_NE(dynamic_cast<const FlashPageImage*>(normal), nullptr);
    }
}

TEST(PageSource, LookupsAnswerNoPageOutsideTheirLists)
{
    FlashPageSourceImg source;
    source.addImgPageFromFile("/a.jpg");
    source.addImgPageFromFile("/b.jpg");
    source.generateNormalPages();
    EXPECT_EQ(source.getPageAtIndex(1), source.pages()[1].get());
    EXPECT_EQ(source.getPageAtIndex(2), nullptr);
    EXPECT_EQ(source.getPageAtIndex(-1), nullptr);
    EXPECT_EQ(source.getNormalPageAtIndex(2), source.normalPages()[1].get());
    EXPECT_EQ(source.getNormalPageAtIndex(0), nullptr);
    for (int n : {-1, 0, 1, 2, 99}) {
        EXPECT_EQ(source.getZoomedPageAtIndex(n), nullptr);
        EXPECT_EQ(source.getThumbPageAtIndex(n), nullptr);
    }
}

TEST(PageSource, GapsInPageNumbersAppendNormalPagesInOrder)
{
    FlashPageSourceImg source;
    source.pages().push_back(std::make_unique<FlashPageImage>(QString("/x.jpg"), 5));
    source.pages().push_back(std::make_unique<FlashPageImage>(QString("/y.jpg"), 9));
    source.generateNormalPages();
    ASSERT_EQ(source.normalPages().size(), 2u);
    EXPECT_EQ(source.normalPages()[0]->pageIndex(), 5);
    EXPECT_EQ(source.normalPages()[1]->pageIndex(), 9);
}

TEST(PageSource, CopyKeepsTheClassAndClearEmptiesAllLists)
{
    auto copy = FlashPage(QString("/p.jpg"), 7).copyPage(100, 100);
    EXPECT_EQ(dynamic_cast<FlashPageImage*>(copy.get()), nullptr);
    EXPECT_EQ(copy->pageIndex(), 7);
    EXPECT_EQ(*copy->pageFilePath(), "/p.jpg");

    FlashPageSourceImg source;
    source.addImgPageFromFile("/a.jpg");
    source.generateNormalPages();
    source.zoomedPages().push_back(std::make_unique<FlashPage>());
    source.thumbPages().push_back(std::make_unique<FlashPage>());
    source.clearPages();
    for (const auto* list : {&source.pages(), &source.normalPages(), &source.zoomedPages(), &source.thumbPages()})
        EXPECT_TRUE(list->empty());
}
