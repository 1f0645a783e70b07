#include "TemplateFixture.h"
#include "templates/FlashTemplate.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>

using namespace quire;
using quire::test::definitionXml;
using quire::test::propertyXml;

namespace {

// A (x=1) with child B (y=2), then C (y=3): the lookup order of the tree.
QString treeXml()
{
    return propertyXml("pt_text", "x", "1", propertyXml("pt_text", "y", "2"))
        + propertyXml("pt_text", "y", "3");
}

} // namespace

class TemplateTest : public quire::test::ResourceFixture {};

TEST_F(TemplateTest, CatalogueListsFoldersByNameAndStylesAtEveryDepth)
{
    addTemplate("zeta", definitionXml(""));
    addTemplate("float", definitionXml(""));
    QDir().mkpath(res("AppFiles/Styles/float/Dark/nested"));
    QDir().mkpath(res("AppFiles/Styles/float/Blank"));

    EXPECT_EQ(FlashTemplate::tmplNames(), (QStringList{res("AppFiles/Templates/float"), res("AppFiles/Templates/zeta")}));
    EXPECT_EQ(FlashTemplate::tmplStyleNamesForTmpl("float"),
              (QStringList{res("AppFiles/Styles/float/Blank"), res("AppFiles/Styles/float/Dark"),
                           res("AppFiles/Styles/float/Dark/nested")}));
    EXPECT_TRUE(FlashTemplate::tmplStyleNamesForTmpl("none").isEmpty());
}

TEST_F(TemplateTest, CreationLoadsFloatWithoutStyle)
{
    addTemplate("float", definitionXml(treeXml()));
    FlashTemplate t;
    EXPECT_EQ(t.tmplName(), "float");
    EXPECT_FALSE(t.styleName());
    EXPECT_EQ(t.properties().size(), 2u);
    EXPECT_EQ(QStringList({textOr(t.HTMLFilePath()), textOr(t.SWFFilePath()), textOr(t.defaultSytleName()),
                           textOr(t.mobileTmplFilesPath()), textOr(t.macAppFilesFolder())}),
              QStringList({"index.html", "book.swf", "Blank", "mob", "m"}));
    EXPECT_EQ(t.properties()[0]->parent(), nullptr);
}

TEST_F(TemplateTest, LookupsFollowPreOrder)
{
    addTemplate("float", definitionXml(treeXml() + propertyXml("pt_text", "none", "")));
    FlashTemplate t;
    EXPECT_EQ(t.propertyValueFor("y", "d"), "2");
    EXPECT_EQ(t.propertyValueFor("pageWidth", "600"), "600");
    EXPECT_EQ(t.propertyValueFor("none", "d"), ""); // empty is a value
    EXPECT_EQ(t.propertyValueFor("Y", "d"), "d");   // case-sensitive

    FlashTemplateProperty* a = t.properties()[0].get();
    EXPECT_EQ(t.propertyValueFor(a, "y"), QString("2"));
    EXPECT_EQ(t.propertyValueFor(a, "x"), std::nullopt); // the property itself is not compared
    EXPECT_EQ(t.propertyValueFor(nullptr, "x"), std::nullopt);

    t.properties()[0]->childAt(0)->setValue(std::nullopt);
    EXPECT_EQ(t.propertyValueFor("y", "fallback"), "fallback");
}

TEST_F(TemplateTest, SetsChangeTheFirstMatchOnly)
{
    addTemplate("float", definitionXml(treeXml()));
    FlashTemplate t;
    t.setPropertyValue("y", "new");
    EXPECT_EQ(t.properties()[0]->childAt(0)->value(), QString("new"));
    EXPECT_EQ(t.properties()[1]->value(), QString("3"));
    t.setPropertyValue("unknown", "v"); // changes nothing, no crash

    EXPECT_TRUE(t.setPropertyValueAt(t.properties()[0].get(), "y", "below"));
    EXPECT_EQ(t.properties()[0]->childAt(0)->value(), QString("below"));
    EXPECT_FALSE(t.setPropertyValueAt(t.properties()[1].get(), "y", "x"));
    EXPECT_FALSE(t.setPropertyValueAt(nullptr, "y", "x"));
}

TEST_F(TemplateTest, StyleResourcesResolveOnFileProperties)
{
    addTemplate("float", definitionXml(propertyXml("pt_file", "bg", "")
                                       + propertyXml("pt_text", "label", "")
                                       + propertyXml("pt_text", "group", "",
                                                     propertyXml("pt_file", "nestedFile", ""))));
    FlashTemplate t;
    {
        log::Capture capture(log::Level::Warn);
        t.setPropertyValue("bg", "STYLE_RESOURCE:images/bg.jpg");
        EXPECT_EQ(t.propertyValueFor("bg", ""), "STYLE_RESOURCE:images/bg.jpg"); // no style yet
        EXPECT_TRUE(capture.contains("left unresolved"));
    }
    t.setStyleName(QStringLiteral("Blank"));
    const QString expected = res("AppFiles/Styles/float/Blank/images/bg.jpg");
    t.setPropertyValue("bg", "STYLE_RESOURCE:images/bg.jpg");
    EXPECT_EQ(t.propertyValueFor("bg", ""), expected);
    t.setPropertyValue("bg", "junk before STYLE_RESOURCE:images/bg.jpg");
    EXPECT_EQ(t.propertyValueFor("bg", ""), expected);
    t.setPropertyValue("nestedFile", "STYLE_RESOURCE:images/bg.jpg");
    EXPECT_EQ(t.propertyValueFor("nestedFile", ""), expected);
    t.setPropertyValue("label", "STYLE_RESOURCE:images/bg.jpg");
    EXPECT_EQ(t.propertyValueFor("label", ""), "STYLE_RESOURCE:images/bg.jpg");
    t.setPropertyValue("bg", "/abs/file.png");
    EXPECT_EQ(t.propertyValueFor("bg", ""), "/abs/file.png");
}

TEST_F(TemplateTest, HtmlPageIsFoundInTemplateThenDataFolder)
{
    addTemplate("float", definitionXml("", "html\\index.html"));
    addTemplate("other", definitionXml("", "shared.html"));
    quire::test::writeFile(res("AppFiles/Templates/float/html/index.html"), "t");
    quire::test::writeFile(res("AppFiles/shared.html"), "s");
    FlashTemplate t;
    EXPECT_EQ(t.tmplHTMLFilePath(), res("AppFiles/Templates/float/html/index.html"));
    t.loadTemplate("other");
    EXPECT_EQ(t.tmplHTMLFilePath(), res("AppFiles/shared.html"));
    quire::test::writeFile(res("AppFiles/Templates/other/shared.html"), "t");
    EXPECT_EQ(t.tmplHTMLFilePath(), res("AppFiles/Templates/other/shared.html"));
    t.setHTMLFilePath(QStringLiteral("missing.html"));
    EXPECT_EQ(t.tmplHTMLFilePath(), std::nullopt);
}

TEST_F(TemplateTest, CopyBookSwfReplacesOrRemoves)
{
    addTemplate("float", definitionXml(""));
    FlashTemplate t;
    const QString dest = dir.file("out/book.swf");
    quire::test::writeFile(dest, "old");
    t.copyBookSWFToFile(dest); // no movie in the template: removed, not replaced
    EXPECT_FALSE(QFile::exists(dest));
    quire::test::writeFile(res("AppFiles/Templates/float/book.swf"), "movie");
    quire::test::writeFile(dest, "old");
    t.copyBookSWFToFile(dest);
    EXPECT_EQ(quire::test::readFile(dest), "movie");
}

TEST_F(TemplateTest, UnreadableAndMalformedDefinitions)
{
    addTemplate("float", definitionXml(propertyXml("pt_text", "a", "1")));
    addTemplate("broken", "<flashTemplate><info><htmlPath>x.html</htmlPath></info>"
                          "<properties><property><key>k</key><value>v</value></property>");
    addTemplate("noinfo", "<flashTemplate><properties>" + propertyXml("pt_text", "a", "1")
                              + "</properties></flashTemplate>");
    FlashTemplate t;
    t.setStyleName(QStringLiteral("Kept"));

    log::Capture capture(log::Level::Warn);
    t.loadTemplate("missing");
    EXPECT_EQ(t.tmplName(), "missing");
    EXPECT_TRUE(t.properties().empty());
    EXPECT_EQ(t.HTMLFilePath(), QString("index.html")); // other fields keep their values
    EXPECT_FALSE(capture.messages(log::Level::Error).isEmpty());

    t.loadTemplate("broken"); // recovering parse reads what is there
    ASSERT_EQ(t.properties().size(), 1u);
    EXPECT_EQ(t.properties()[0]->value(), QString("v"));
    EXPECT_EQ(t.HTMLFilePath(), QString("x.html"));
    EXPECT_TRUE(capture.contains("recovering mode"));

    t.loadTemplate("noinfo");
    EXPECT_TRUE(t.properties().empty());
    EXPECT_TRUE(capture.contains("lacks its \"info\" element"));
    EXPECT_EQ(t.styleName(), QString("Kept"));
}
