// A template property read from its XML element.
#include "support/TestEnv.h"
#include "templates/FlashTemplateProperty.h"
#include "util/Log.h"
#include "util/Xml.h"

#include <gtest/gtest.h>

using namespace quire;

namespace {

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
    for (const Text& no : {Text("NO"), Text("1"), Text("on"), Text(""), Text("TRUE "), Text(" YES"), Text(std::nullopt)})
        EXPECT_FALSE(valueAsBool(no)) << no.value_or("(absent)").toStdString();
}

TEST(Property, LoadsItsFieldsVerbatimAndATypeMakesItABool)
{
    Loaded l("<property type=\"pt_color\"><defaultValue>dv</defaultValue><key>k</key><title>t</title>"
             "<desc><![CDATA[<b>help</b>]]> &amp; more</desc><value> 12 </value><valueSource>a, b</valueSource>"
             "<value>second</value></property>");
    const FlashTemplateProperty& p = l.property;
    EXPECT_EQ(p.propertyType(), pt_color);
    EXPECT_EQ(p.key(), QString("k"));
    EXPECT_EQ(p.value(), QString(" 12 ")); // the first, blanks kept
    EXPECT_EQ(p.desc(), QString("<b>help</b> & more"));
    EXPECT_EQ(p.valueSource(), QString("a, b"));
    EXPECT_EQ(p.defaultValue(), QString("dv"));
    EXPECT_EQ(p.aTitle(), QString("")); // empty, not absent

    EXPECT_EQ(Loaded("<property type=\"pt_text\" aType=\"\">" + kFields + "<aTitle>Tick</aTitle></property>")
                  .property.propertyType(), pt_bool);
    EXPECT_EQ(Loaded("<property>" + kFields + "</property>").property.propertyType(), pt_text);
}

TEST(Property, ChildrenComeFromTheFirstChildPropertiesOnlyAndReloadingReplacesThem)
{
    Loaded l("<property>" + kFields +
             "<childProperties><property><key>c1</key></property><x><property><key>nested-deeper</key></property></x>"
             "<property><key>c2</key><childProperties><property><key>g</key></property></childProperties></property>"
             "</childProperties><childProperties><property><key>ignored</key></property></childProperties></property>");
    const FlashTemplateProperty& p = l.property;
    ASSERT_EQ(p.childCount(), 2);
    EXPECT_EQ(p.childAt(0)->key(), QString("c1"));
    EXPECT_EQ(p.childAt(1)->key(), QString("c2"));
    EXPECT_EQ(p.childAt(0)->parent(), &p);
    ASSERT_EQ(p.childAt(1)->childCount(), 1);
    EXPECT_EQ(p.childAt(1)->childAt(0)->parent(), p.childAt(1));
    EXPECT_EQ(p.childAt(2), nullptr);
    l.property.loadFromNode(xmlDocGetRootElement(l.doc.get()));
    EXPECT_EQ(l.property.childCount(), 2);
}

TEST(Property, MissingElementsGiveEmptyTextWithAWarningAndOtherElementsChangeNothing)
{
    log::Capture capture(log::Level::Warn);
    Loaded l("<property><key>only</key></property>");
    EXPECT_EQ(l.property.value(), QString("")); // empty, not absent
    EXPECT_EQ(l.property.title(), QString(""));
    EXPECT_TRUE(capture.contains("\"only\""));

    FlashTemplateProperty p;
    p.setValue(QString("kept"));
    auto other = xml::parseMemory("<notproperty>" + kFields + "</notproperty>");
    p.loadFromNode(xmlDocGetRootElement(other.doc.get()));
    p.loadFromNode(nullptr);
    EXPECT_EQ(p.value(), QString("kept"));
}
