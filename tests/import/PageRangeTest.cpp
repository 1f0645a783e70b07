#include "import/FlashPageSource.h"
#include "util/Log.h"

#include <gtest/gtest.h>

using quire::FlashPageSource;
using Pages = std::vector<int>;

namespace {

Pages parse(const QString& range, int total = 10)
{
    return FlashPageSource::parsePageRange(range, total);
}

} // namespace

TEST(PageRange, KeywordAllInAnyCaseListsEveryPage)
{
    EXPECT_EQ(parse("all", 4), (Pages{1, 2, 3, 4}));
    EXPECT_EQ(parse("All", 4), (Pages{1, 2, 3, 4}));
    EXPECT_EQ(parse("ALL", 4), (Pages{1, 2, 3, 4}));
    EXPECT_EQ(parse("ALL", 0), Pages{});
    EXPECT_EQ(parse("ALL", -3), Pages{});
    // White space is not trimmed: " ALL" is not the keyword but a number.
    EXPECT_EQ(parse(" ALL", 4), Pages{0});
}

TEST(PageRange, ListsAndSpansAreSortedWithoutDuplicates)
{
    EXPECT_EQ(parse("1,3,5-7"), (Pages{1, 3, 5, 6, 7}));
    EXPECT_EQ(parse("5,3,3,1-2"), (Pages{1, 2, 3, 5}));
    EXPECT_EQ(parse("2-4,3-6"), (Pages{2, 3, 4, 5, 6}));
    EXPECT_EQ(parse(" 2 , 4 "), (Pages{2, 4}));
}

TEST(PageRange, OddSpansFollowTheTable)
{
    EXPECT_EQ(parse("7-5"), Pages{});
    EXPECT_EQ(parse("4-"), Pages{});           // 4 to 0
    EXPECT_EQ(parse("-3"), (Pages{0, 1, 2, 3})); // 0 to 3
    EXPECT_EQ(parse("2-3-9"), (Pages{2, 3}));  // parts after the second ignored
}

TEST(PageRange, NonNumbersBecomeZeroAndNumbersPastTheEndStay)
{
    EXPECT_EQ(parse(""), Pages{0});
    EXPECT_EQ(parse("1,,2"), (Pages{0, 1, 2}));
    EXPECT_EQ(parse("x"), Pages{0});
    EXPECT_EQ(parse("3a"), Pages{3});
    EXPECT_EQ(parse("10-12", 5), (Pages{10, 11, 12}));
    EXPECT_EQ(parse("+4"), Pages{4});
}

TEST(PageRange, RunawaySpanIsCappedInsteadOfExhaustingMemory)
{
    const Pages pages = parse("1-2000000000");
    ASSERT_EQ(pages.size(), 1'000'001u);
    EXPECT_EQ(pages.front(), 1);
    EXPECT_EQ(pages.back(), 1'000'001);
    // Numbers too large for 32 bits saturate instead of wrapping negative.
    EXPECT_EQ(parse("99999999999"), Pages{2147483647});
}

TEST(PageRange, LogsEachEntryAtDebugButNotForAll)
{
    quire::log::Capture capture(quire::log::Level::Debug);
    parse("3,1");
    EXPECT_TRUE(capture.contains("range[0]=1"));
    EXPECT_TRUE(capture.contains("range[1]=3"));
    const int before = capture.messages().size();
    parse("ALL", 3);
    EXPECT_EQ(capture.messages().size(), before);
}
