// Template properties read from their XML elements, and templates of a
// private resource folder: the catalogue, the definition, lookups and style
// resources (settings files and styles: SettingsTest).
#include "TemplateFixture.h"
#include "templates/FlashTemplate.h"
#include "util/Log.h"
#include "util/Xml.h"

#include <QDir>

using namespace quire;
using namespace quire::test;

namespace {

// x=1 with the child y=2, then y=3: the lookup order of the tree.
const QString kTree = propertyXml("pt_text", "x", "1", propertyXml("pt_text", "y", "2")) + propertyXml("pt_text", "y", "3");

// The property an element gives, with the document that holds the element.
struct Loaded {
    explicit Loaded(const QByteArray& text) : doc(xml::parseMemory(text).doc)
    {
        property.loadFromNode(xmlDocGetRootElement(doc.get()));
    }
    xml::DocPtr doc;
    FlashTemplateProperty property;
};

const QByteArray kFields = "<key>k</key><title>t</title><desc>d</desc><value>v</value>"
                           "<valueSource>s</valueSource><defaultValue>dv</defaultValue>";

} // namespace

TEST(PropertyType, NamesAreExactAndTrueIsOneOfFourWords)
{
    EXPECT_EQ(flashTemplatePropertyTypeFromString(QString("pt_color")), pt_color);
    for (const Text& other : {Text("PT_COLOR"), Text(""), Text(std::nullopt)})
        EXPECT_EQ(flashTemplatePropertyTypeFromString(other), pt_text) << other.value_or("(absent)").toStdString();
    for (const char* yes : {"YES", "yes", "Show", "enable", "TrUe"})
        EXPECT_TRUE(valueAsBool(QString(yes))) << yes;
    for (const Text& no :
         {Text("NO"), Text("1"), Text("on"), Text(""), Text("TRUE "), Text(" YES"), Text(std::nullopt)})
        EXPECT_FALSE(valueAsBool(no)) << no.value_or("(absent)").toStdString();
}

TEST(Property, LoadsItsFieldsVerbatimAndChildrenFromTheFirstChildPropertiesOnly)
{
    log::Capture capture(log::Level::Warn);
    Loaded l("<property type=\"pt_color\"><defaultValue>dv</defaultValue><key>k</key><title>t</title>"
             "<desc><![CDATA[<b>help</b>]]> &amp; more</desc><value> 12 </value><valueSource>a, b</valueSource>"
             "<value>second</value><childProperties><property><key>c1</key></property><x><property><key>nested"
             "</key></property></x><property><key>c2</key><childProperties><property><key>g</key></property>"
             "</childProperties></property></childProperties><childProperties><property><key>ignored</key>"
             "</property></childProperties></property>");
    const FlashTemplateProperty& p = l.property;
    EXPECT_EQ(p.propertyType(), pt_color);
    // The first value, blanks kept; a missing aTitle empty, not absent.
    EXPECT_EQ((std::vector<Text>{p.key(), p.value(), p.desc(), p.valueSource(), p.defaultValue(), p.aTitle()}),
              (std::vector<Text>{QString("k"), QString(" 12 "), QString("<b>help</b> & more"), QString("a, b"),
                                 QString("dv"), QString("")}));
    ASSERT_EQ(p.childCount(), 2);
    // So is a missing required element, with a warning naming the property.
    EXPECT_EQ(p.childAt(0)->value(), QString(""));
    EXPECT_TRUE(capture.contains("\"c1\"") && !capture.contains("\"k\""));
    EXPECT_EQ(textOr(p.childAt(0)->key()) + textOr(p.childAt(1)->key()), "c1c2");
    ASSERT_EQ(p.childAt(1)->childCount(), 1);
    EXPECT_EQ(std::tuple(p.childAt(0)->parent(), p.childAt(1)->childAt(0)->parent(), p.childAt(2)),
              std::tuple(&p, p.childAt(1), nullptr));
    l.property.loadFromNode(xmlDocGetRootElement(l.doc.get())); // reloading replaces the children
    EXPECT_EQ(l.property.childCount(), 2);

    EXPECT_EQ(Loaded("<property type=\"pt_text\" aType=\"\">" + kFields + "<aTitle>Tick</aTitle></property>")
                  .property.propertyType(), pt_bool);
    EXPECT_EQ(Loaded("<property>" + kFields + "</property>").property.propertyType(), pt_text);
    // Other elements, or none, change nothing.
    FlashTemplateProperty other;
    other.setValue(QString("kept"));
    auto notProperty = xml::parseMemory("<notproperty>" + kFields + "</notproperty>");
    other.loadFromNode(xmlDocGetRootElement(notProperty.doc.get()));
    other.loadFromNode(nullptr);
    EXPECT_EQ(other.value(), QString("kept"));
}

using TemplateTest = ResourceFixture;

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

TEST_F(TemplateTest, ThePageIsFoundInTheTemplateThenTheDataFolder)
{
    addTemplate("float", definitionXml("", "html\\index.html"));
    addTemplate("other", definitionXml("", "shared.html"));
    writeFile(res("AppFiles/Templates/float/html/index.html"), "t");
    writeFile(res("AppFiles/shared.html"), "s");
    FlashTemplate t;
    EXPECT_EQ(t.tmplHTMLFilePath(), res("AppFiles/Templates/float/html/index.html"));
    // (The viewer movie copied, or left out when the template has none: the publish tests.)
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
    t.loadTemplate("noinfo");
    EXPECT_TRUE(t.properties().empty());
    EXPECT_EQ(t.styleName(), QString("Kept"));
}
