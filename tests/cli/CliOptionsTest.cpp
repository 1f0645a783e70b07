#include "cli/CliOptions.h"

#include <gtest/gtest.h>

using namespace quire::cli;

TEST(CliOptions, ConversionDefaultsAndEveryOption)
{
    auto plain = parseArguments({"book.pdf", "-o", "out"});
    ASSERT_TRUE(plain.options) << plain.error.toStdString();
    EXPECT_EQ(plain.options->source, "book.pdf");
    EXPECT_EQ(plain.options->name, "index");
    EXPECT_EQ(plain.options->templateName, "float");
    EXPECT_EQ(plain.options->range, "ALL");
    EXPECT_EQ(plain.options->qualityLevel, 1);
    EXPECT_FALSE(plain.options->title);
    EXPECT_FALSE(plain.options->bookmarks || plain.options->links || plain.options->app);

    auto all = parseArguments({"--name", "b", "--title", "", "--template", "t", "--style", "s", "--settings", "f",
                               "--range", "1-3, 7", "--quality", "4", "--bookmarks", "--links", "--app", "--quiet",
                               "x.txt", "--output", "o"});
    ASSERT_TRUE(all.options) << all.error.toStdString();
    const Options& o = *all.options;
    EXPECT_EQ(o.title, QString("")); // an empty title is a title
    EXPECT_EQ(o.styleName, QString("s"));
    EXPECT_EQ(o.settingsFile, QString("f"));
    EXPECT_EQ(o.range, "1-3, 7");
    EXPECT_EQ(o.qualityLevel, 4);
    EXPECT_TRUE(o.bookmarks && o.links && o.app && o.quiet);
    EXPECT_EQ(o.outputFolder, "o");
}

TEST(CliOptions, BadUsageIsExplained)
{
    const struct {
        QStringList args;
        const char* words;
    } cases[] = {
        {{"a.pdf"}, "no output folder"},
        {{"-o", "x"}, "no source document"},
        {{"a.pdf", "b.pdf", "-o", "x"}, "one source document"},
        {{"a.pdf", "-o", "x", "--quality", "5"}, "from 0 to 4"},
        {{"a.pdf", "-o", "x", "--quality", "high"}, "from 0 to 4"},
        {{"a.pdf", "-o", "x", "--range", "1-x"}, "bad page range"},
        {{"a.pdf", "-o", "x", "--range", ""}, "bad page range"},
        {{"a.pdf", "-o", "x", "--bogus"}, "unknown option --bogus"},
        {{"a.pdf", "-o"}, "needs a value"},
        {{"a.pdf", "-o", "x", "--name", "a/b"}, "plain file name"},
        {{"--list-templates", "extra"}, "unexpected argument"},
        {{"--list-templates", "--export-settings", "f"}, "cannot be combined"},
    };
    for (const auto& c : cases) {
        auto parsed = parseArguments(c.args);
        EXPECT_FALSE(parsed.options) << c.args.join(' ').toStdString();
        EXPECT_TRUE(parsed.error.contains(QLatin1String(c.words))) << parsed.error.toStdString();
    }
}

TEST(CliOptions, Ranges)
{
    for (const char* good : {"all", "ALL", "1", "1-5,8", " 2 , 4 ", "10-12"})
        EXPECT_TRUE(isRangeSyntax(QString::fromLatin1(good))) << good;
    for (const char* bad : {" ALL", "1,,2", "-3", "4-", "x", "1-2-3", "3a"})
        EXPECT_FALSE(isRangeSyntax(QString::fromLatin1(bad))) << bad;
}
