#include "TemplateFixture.h"
#include "templates/FlashTemplate.h"

using namespace quire;
using quire::test::definitionXml;
using quire::test::propertyXml;
using quire::test::readFile;
using quire::test::writeFile;

class SettingsTest : public quire::test::ResourceFixture {
protected:
    void SetUp() override
    {
        ResourceFixture::SetUp();
        addTemplate("float", definitionXml(propertyXml("pt_text", "a", "1", propertyXml("pt_text", "b", "x=y"))
                                           + propertyXml("pt_number", "pageWidth", "1024")
                                           + propertyXml("pt_number", "pageHeight", "700")
                                           + propertyXml("pt_file", "bg", "")));
        addTemplate("other", definitionXml(propertyXml("pt_number", "pageWidth", "300")
                                           + propertyXml("pt_number", "pageHeight", "400")
                                           + propertyXml("pt_list", "languageSetting", "fr")
                                           + propertyXml("pt_file", "bg", "")
                                           + propertyXml("pt_text", "a", "other")));
    }
};

TEST_F(SettingsTest, ExportFormatByteForByte)
{
    FlashTemplate t;
    EXPECT_EQ(t.exportPropertiesSettings(), QByteArray("\n\ra=1\n\rb=x=y\n\rpageWidth=1024\n\rpageHeight=700\n\rbg="));
    const QString path = dir.file("out.txt");
    ASSERT_TRUE(t.exportPropertiesSettingsTo(path));
    EXPECT_EQ(readFile(path), t.exportPropertiesSettings());

    QStringList records;
    t.exportPropertiesSettingsToArray(records, t.properties()[0].get());
    EXPECT_EQ(records, (QStringList{"a=1", "b=x=y"}));

    t.properties()[0]->setKey(QStringLiteral("multi\n\rline"));
    t.properties()[0]->setValue(QStringLiteral("v\nw"));
    records.clear();
    t.exportPropertiesSettingsToArray(records, t.properties()[0].get());
    EXPECT_EQ(records.first(), "multi|||line=v\nw");

    addTemplate("empty", definitionXml(""));
    t.loadTemplate("empty");
    EXPECT_TRUE(t.exportPropertiesSettings().isEmpty());
}

TEST_F(SettingsTest, ImportIsLenientAndKeepsPageSize)
{
    FlashTemplate t;
    const QString path = dir.file("in.txt");
    writeFile(path, "a=one\r\nb=p=q\nno equals sign\npageWidth=5\n\rpageHeight=6\nunknown=1\na=last\n");
    t.importPropertiesSettingsFrom(path);
    EXPECT_EQ(t.propertyValueFor("a", ""), "last");
    EXPECT_EQ(t.propertyValueFor("b", ""), "p=q");
    EXPECT_EQ(t.propertyValueFor("pageWidth", ""), "1024");
    EXPECT_EQ(t.propertyValueFor("pageHeight", ""), "700");

    t.importPropertiesSettingsFrom(dir.file("missing.txt")); // nothing changes
    EXPECT_EQ(t.propertyValueFor("a", ""), "last");
}

TEST_F(SettingsTest, StylesResolveIntoTheirOwnFolder)
{
    addStyle("float", "Blank", "\n\rbg=STYLE_RESOURCE:bg.jpg\n\ra=styled\n\rpageWidth=1");
    FlashTemplate t;
    t.loadStyleByStyleName("Blank");
    EXPECT_EQ(t.styleName(), QString("Blank"));
    const QString bg = res("AppFiles/Styles/float/Blank/bg.jpg");
    EXPECT_EQ(t.propertyValueFor("bg", ""), bg);
    EXPECT_EQ(t.propertyValueFor("a", ""), "styled");
    EXPECT_EQ(t.propertyValueFor("pageWidth", ""), "1024");

    QDir().mkpath(res("AppFiles/Styles/float/NoSettings"));
    t.loadStyleByStylePath(res("AppFiles/Styles/float/NoSettings"));
    EXPECT_EQ(t.styleName(), QString("NoSettings"));
    EXPECT_EQ(t.propertyValueFor("a", ""), "styled");
}

TEST_F(SettingsTest, SwitchingTemplateKeepsPageSizeAndLanguage)
{
    addStyle("other", "Dark", "\n\rpageWidth=9\n\rbg=STYLE_RESOURCE:dark.png\n\rlanguageSetting=de");
    FlashTemplate t;
    t.changeTmplTo("other", res("AppFiles/Styles/other/Dark"));
    EXPECT_EQ(t.tmplName(), "other");
    EXPECT_EQ(t.styleName(), QString("Dark"));
    EXPECT_EQ(t.propertyValueFor("pageWidth", ""), "1024");
    EXPECT_EQ(t.propertyValueFor("pageHeight", ""), "700");
    // "float" has no languageSetting: the new template gets the empty text.
    EXPECT_EQ(t.propertyValueFor("languageSetting", "absent"), "");
    EXPECT_EQ(t.propertyValueFor("bg", ""), res("AppFiles/Styles/other/Dark/dark.png"));
    EXPECT_EQ(t.propertyValueFor("a", ""), "other");
    // A language the old template has is kept: see the shipped styles' tests.
}
