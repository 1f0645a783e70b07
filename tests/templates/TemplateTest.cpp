// Templates of a private resource folder: the catalogue, the definition,
// lookups and style resources (settings files and styles: SettingsTest).
#include "TemplateFixture.h"
#include "templates/FlashTemplate.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>

using namespace quire;
using quire::test::definitionXml;
using quire::test::propertyXml;
using quire::test::readFile;
using quire::test::writeFile;

namespace {

// x=1 with the child y=2, then y=3: the lookup order of the tree.
const QString kTree = propertyXml("pt_text", "x", "1", propertyXml("pt_text", "y", "2")) + propertyXml("pt_text", "y", "3");

} // namespace

class TemplateTest : public quire::test::ResourceFixture {};

TEST_F(TemplateTest, CatalogueListsFoldersByNameStylesAtEveryDepthAndCreationLoadsFloat)
{
    addTemplate("zeta", definitionXml(""));
    addTemplate("float", definitionXml(kTree));
    QDir().mkpath(res("AppFiles/Styles/float/Dark/nested"));
    QDir().mkpath(res("AppFiles/Styles/float/Blank"));
    EXPECT_EQ(FlashTemplate::tmplNames(), (QStringList{res("AppFiles/Templates/float"), res("AppFiles/Templates/zeta")}));
    EXPECT_EQ(FlashTemplate::tmplStyleNamesForTmpl("float"),
              (QStringList{res("AppFiles/Styles/float/Blank"), res("AppFiles/Styles/float/Dark"),
                           res("AppFiles/Styles/float/Dark/nested")}));
    EXPECT_TRUE(FlashTemplate::tmplStyleNamesForTmpl("none").isEmpty());

    const FlashTemplate t;
    EXPECT_EQ(t.tmplName(), "float");
    EXPECT_FALSE(t.styleName());
    EXPECT_EQ(t.properties().size(), 2u);
    EXPECT_EQ(t.properties()[0]->parent(), nullptr);
    EXPECT_EQ(QStringList({textOr(t.HTMLFilePath()), textOr(t.SWFFilePath()), textOr(t.defaultSytleName()),
                           textOr(t.mobileTmplFilesPath()), textOr(t.macAppFilesFolder())}),
              QStringList({"index.html", "book.swf", "Blank", "mob", "m"}));
}

TEST_F(TemplateTest, LookupsAndSetsFollowPreOrderAndChangeTheFirstMatch)
{
    addTemplate("float", definitionXml(kTree + propertyXml("pt_text", "none", "")));
    FlashTemplate t;
    EXPECT_EQ(t.propertyValueFor("y", "d"), "2");
    EXPECT_EQ(t.propertyValueFor("pageWidth", "600"), "600");
    EXPECT_EQ(t.propertyValueFor("none", "d"), ""); // empty is a value
    EXPECT_EQ(t.propertyValueFor("Y", "d"), "d");   // case-sensitive
    FlashTemplateProperty* x = t.properties()[0].get();
    EXPECT_EQ(t.propertyValueFor(x, "y"), QString("2"));
    EXPECT_EQ(t.propertyValueFor(x, "x"), std::nullopt); // the property itself is not compared
    EXPECT_EQ(t.propertyValueFor(nullptr, "x"), std::nullopt);

    t.setPropertyValue("y", "new");
    EXPECT_EQ(x->childAt(0)->value(), QString("new"));
    EXPECT_EQ(t.properties()[1]->value(), QString("3"));
    t.setPropertyValue("unknown", "v"); // changes nothing
    EXPECT_TRUE(t.setPropertyValueAt(x, "y", "below"));
    EXPECT_EQ(x->childAt(0)->value(), QString("below"));
    EXPECT_FALSE(t.setPropertyValueAt(t.properties()[1].get(), "y", "x"));
    EXPECT_FALSE(t.setPropertyValueAt(nullptr, "y", "x"));
    x->childAt(0)->setValue(std::nullopt);
    EXPECT_EQ(t.propertyValueFor("y", "fallback"), "fallback");
}

TEST_F(TemplateTest, StyleResourcesResolveOnFilePropertiesOnly)
{
    addTemplate("float", definitionXml(propertyXml("pt_file", "bg", "") + propertyXml("pt_text", "label", "") +
                                       propertyXml("pt_text", "group", "", propertyXml("pt_file", "nested", ""))));
    FlashTemplate t;
    {
        log::Capture capture(log::Level::Warn);
        t.setPropertyValue("bg", "STYLE_RESOURCE:images/bg.jpg");
        EXPECT_EQ(t.propertyValueFor("bg", ""), "STYLE_RESOURCE:images/bg.jpg"); // no style yet
        EXPECT_FALSE(capture.messages(log::Level::Warn).isEmpty());
    }
    t.setStyleName(QString("Blank"));
    const QString resolved = res("AppFiles/Styles/float/Blank/images/bg.jpg");
    const std::tuple<const char*, const char*, QString> cases[] = {
        {"bg", "STYLE_RESOURCE:images/bg.jpg", resolved},
        {"bg", "junk before STYLE_RESOURCE:images/bg.jpg", resolved},
        {"nested", "STYLE_RESOURCE:images/bg.jpg", resolved},
        {"label", "STYLE_RESOURCE:images/bg.jpg", "STYLE_RESOURCE:images/bg.jpg"},
        {"bg", "/abs/file.png", "/abs/file.png"},
    };
    for (const auto& [key, value, expected] : cases) {
        t.setPropertyValue(key, value);
        EXPECT_EQ(t.propertyValueFor(key, ""), expected) << value;
    }
}

TEST_F(TemplateTest, PageAndViewerFilesAreFoundInTheTemplateThenTheDataFolder)
{
    addTemplate("float", definitionXml("", "html\\index.html"));
    addTemplate("other", definitionXml("", "shared.html"));
    writeFile(res("AppFiles/Templates/float/html/index.html"), "t");
    writeFile(res("AppFiles/shared.html"), "s");
    FlashTemplate t;
    EXPECT_EQ(t.tmplHTMLFilePath(), res("AppFiles/Templates/float/html/index.html"));
    // No movie in the template: an old one is removed, not replaced.
    const QString swf = dir.file("out/book.swf");
    writeFile(swf, "old");
    t.copyBookSWFToFile(swf);
    EXPECT_FALSE(QFile::exists(swf));
    writeFile(res("AppFiles/Templates/float/book.swf"), "movie");
    writeFile(swf, "old");
    t.copyBookSWFToFile(swf);
    EXPECT_EQ(readFile(swf), "movie");

    t.loadTemplate("other");
    EXPECT_EQ(t.tmplHTMLFilePath(), res("AppFiles/shared.html"));
    writeFile(res("AppFiles/Templates/other/shared.html"), "t");
    EXPECT_EQ(t.tmplHTMLFilePath(), res("AppFiles/Templates/other/shared.html"));
    t.setHTMLFilePath(QString("missing.html"));
    EXPECT_EQ(t.tmplHTMLFilePath(), std::nullopt);
}

TEST_F(TemplateTest, UnreadableAndMalformedDefinitionsAreReadAsFarAsTheyGo)
{
    addTemplate("float", definitionXml(propertyXml("pt_text", "a", "1")));
    addTemplate("broken", "<flashTemplate><info><htmlPath>x.html</htmlPath></info>"
                          "<properties><property><key>k</key><value>v</value></property>");
    addTemplate("noinfo",
                "<flashTemplate><properties>" + propertyXml("pt_text", "a", "1") + "</properties></flashTemplate>");
    FlashTemplate t;
    t.setStyleName(QString("Kept"));
    log::Capture capture(log::Level::Warn);
    t.loadTemplate("missing");
    EXPECT_EQ(t.tmplName(), "missing");
    EXPECT_TRUE(t.properties().empty());
    EXPECT_EQ(t.HTMLFilePath(), QString("index.html")); // other fields keep their values
    EXPECT_FALSE(capture.messages(log::Level::Error).isEmpty());
    t.loadTemplate("broken"); // a recovering parse reads what is there
    ASSERT_EQ(t.properties().size(), 1u);
    EXPECT_EQ(t.properties()[0]->value(), QString("v"));
    EXPECT_EQ(t.HTMLFilePath(), QString("x.html"));
    EXPECT_TRUE(capture.contains("recovering"));
    t.loadTemplate("noinfo");
    EXPECT_TRUE(t.properties().empty());
    EXPECT_TRUE(capture.contains("\"info\""));
    EXPECT_EQ(t.styleName(), QString("Kept"));
}
