#include "util/Format.h"

#include <gtest/gtest.h>

using quire::formatMessage;

TEST(Format, SystemNotation)
{
    EXPECT_EQ(formatMessage("range[%d]=%@", {3, 7}), "range[3]=7");
    EXPECT_EQ(formatMessage("Importing:%d/%d", {3, 10}), "Importing:3/10");
    EXPECT_EQ(formatMessage("%f", {0.075}), "0.075000");
    EXPECT_EQ(formatMessage("%f", {2.0f / 3.0f}), "0.666667");
    EXPECT_EQ(formatMessage("%s and %@", {"text", QStringLiteral("Ünïcödé")}), "text and Ünïcödé");
    EXPECT_EQ(formatMessage("100%% done"), "100% done");
    EXPECT_EQ(formatMessage("./%@/%@/%d.%@", {"files", "page", 12, "jpg"}), "./files/page/12.jpg");
}

TEST(Format, ConversionsAcrossTypes)
{
    // A text argument under %d reads its number; a real under %d truncates.
    EXPECT_EQ(formatMessage("%d", {QStringLiteral("42")}), "42");
    EXPECT_EQ(formatMessage("%d", {3.9}), "3");
    EXPECT_EQ(formatMessage("%@", {12}), "12");
    EXPECT_EQ(formatMessage("%d", {-5}), "-5");
}

TEST(Format, MissingArgumentsAndUnknownSpecifiers)
{
    EXPECT_EQ(formatMessage("a %@ b"), "a (null) b");
    EXPECT_EQ(formatMessage("%d"), "0");
    EXPECT_EQ(formatMessage("%x %"), "%x %");
    EXPECT_EQ(formatMessage("héllo %d", {1}), "héllo 1");
}
