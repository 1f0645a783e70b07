#include "import/FlashPageSource.h"
#include "util/Error.h"
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

TEST(PageRange, RangesNamingTooManyPagesAreRefusedBeforeListingThem)
{
    QString spans;
    for (int i = 0; i < 600; ++i)
        spans += QStringLiteral("%1%2-2147483647").arg(i ? "," : "").arg(i + 1);
    for (const QString& range : {QStringLiteral("1-2000000000"), QStringLiteral("0-1000000"), spans}) {
        try {
            FlashPageSource::parsePageRange(range, 10);
            ADD_FAILURE() << range.left(40).toStdString() << " was listed";
        } catch (const quire::Error& e) {
            EXPECT_TRUE(e.reason().contains("at most 1000000")) << e.reason().toStdString();
        }
    }
    // Overlapping spans count each page once.
    const Pages most = FlashPageSource::parsePageRange("1-1000000,1-1000000,500-20", 10);
    ASSERT_EQ(most.size(), 1'000'000u);
    EXPECT_EQ(most.back(), 1'000'000);
}

TEST(PageRange, LogsEachEntryAtDebugButNotForAll)
{
    quire::log::Capture capture(quire::log::Level::Debug);
    FlashPageSource::parsePageRange("3,1", 10);
    EXPECT_EQ(capture.messages(), (QStringList{"range[0]=1", "range[1]=3"}));
    FlashPageSource::parsePageRange("ALL", 3);
    EXPECT_EQ(capture.messages().size(), 2);
}
