#include "import/FlashPageSource.h"
#include "util/Log.h"

#include <gtest/gtest.h>

using quire::FlashPageSource;
using Pages = std::vector<int>;

TEST(PageRange, FollowsTheTable)
{
    struct Case {
        const char* range;
        int total;
        Pages pages;
    };
    const Case cases[] = {
        {"all", 4, {1, 2, 3, 4}}, {"All", 4, {1, 2, 3, 4}}, {"ALL", 4, {1, 2, 3, 4}}, {"ALL", 0, {}}, {"ALL", -3, {}},
        {" ALL", 4, {0}}, // white space is not trimmed: a number, not the keyword
        {"1,3,5-7", 10, {1, 3, 5, 6, 7}}, {"5,3,3,1-2", 10, {1, 2, 3, 5}}, {"2-4,3-6", 10, {2, 3, 4, 5, 6}},
        {" 2 , 4 ", 10, {2, 4}}, {"7-5", 10, {}}, {"4-", 10, {}}, {"-3", 10, {0, 1, 2, 3}}, {"2-3-9", 10, {2, 3}},
        {"", 10, {0}}, {"1,,2", 10, {0, 1, 2}}, {"x", 10, {0}}, {"3a", 10, {3}}, {"+4", 10, {4}},
        {"10-12", 5, {10, 11, 12}},
        {"99999999999", 10, {2147483647}}, // saturates instead of wrapping negative
    };
    for (const Case& c : cases)
        EXPECT_EQ(FlashPageSource::parsePageRange(c.range, c.total), c.pages) << '"' << c.range << "\" of " << c.total;
}

TEST(PageRange, RunawaySpanIsCappedInsteadOfExhaustingMemory)
{
    const Pages pages = FlashPageSource::parsePageRange("1-2000000000", 10);
    ASSERT_EQ(pages.size(), 1'000'001u);
    EXPECT_EQ(pages.front(), 1);
    EXPECT_EQ(pages.back(), 1'000'001);
}

TEST(PageRange, LogsEachEntryAtDebugButNotForAll)
{
    quire::log::Capture capture(quire::log::Level::Debug);
    FlashPageSource::parsePageRange("3,1", 10);
    EXPECT_EQ(capture.messages(), (QStringList{"range[0]=1", "range[1]=3"}));
    FlashPageSource::parsePageRange("ALL", 3);
    EXPECT_EQ(capture.messages().size(), 2);
}
