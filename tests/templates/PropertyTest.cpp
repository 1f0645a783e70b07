#include "templates/FlashTemplateProperty.h"
#include "util/Log.h"
#include "util/Xml.h"

#include <gtest/gtest.h>

using namespace quire;

namespace {

struct Loaded {
    xml::DocPtr doc;
    FlashTemplateProperty property;
};

std::unique_ptr<Loaded> load(const QByteArray& text)
{
    auto out = std::make_unique<Loaded>();
    auto parsed = xml::parseMemory(text);
    EXPECT_TRUE(parsed.doc) << parsed.error.toStdString();
    out->doc = std::move(parsed.doc);
    out->property.loadFromNode(xmlDocGetRootElement(out->doc.get()));
    return out;
}

const QByteArray kFields = "<key>k</key><title>t</title><desc>d</desc><value>v</value>"
                           "<valueSource>s</valueSource><defaultValue>dv</defaultValue>";

} // namespace

TEST(PropertyType, LookupIsExactAndCaseSensitive)
{
    EXPECT_EQ(flashTemplatePropertyTypeFromString(QStringLiteral("pt_color")), pt_color);
    EXPECT_EQ(flashTemplatePropertyTypeFromString(QStringLiteral("pt_form_contactabout")), 9);
    EXPECT_EQ(flashTemplatePropertyTypeFromString(QStringLiteral("pt_bool")), 10);
    for (const Text& other : {Text("PT_COLOR"), Text(""), Text(std::nullopt)})
        EXPECT_EQ(flashTemplatePropertyTypeFromString(other), pt_text) << other.value_or("(absent)").toStdString();
}

TEST(PropertyType, ValueAsBool)
{
    for (const char* yes : {"YES", "yes", "Show", "enable", "TrUe"})
        EXPECT_TRUE(valueAsBool(QString::fromLatin1(yes))) << yes;
    for (const Text& no : {Text("NO"), Text("1"), Text("on"), Text(""), Text("TRUE "), Text(" YES"), Text(std::nullopt)})
        EXPECT_FALSE(valueAsBool(no)) << no.value_or("(absent)").toStdString();
}

TEST(Property, LoadsFieldsVerbatim)
{
    auto l = load("<property type=\"pt_color\"><defaultValue>dv</defaultValue><key>k</key>"
                  "<title>t</title><desc><![CDATA[<b>help</b>]]> &amp; more</desc><value> 12 </value>"
                  "<valueSource>a, b</valueSource><value>second</value></property>");
    const auto& p = l->property;
    EXPECT_EQ(p.propertyType(), pt_color);
    EXPECT_EQ(p.key(), QString("k"));
    EXPECT_EQ(p.value(), QString(" 12 ")); // first occurrence, blanks kept
    EXPECT_EQ(p.desc(), QString("<b>help</b> & more"));
    EXPECT_EQ(p.valueSource(), QString("a, b"));
    EXPECT_EQ(p.defaultValue(), QString("dv"));
    ASSERT_TRUE(p.aTitle());
    EXPECT_EQ(*p.aTitle(), QString(""));
}

TEST(Property, ATypeForcesBool)
{
    auto l = load("<property type=\"pt_text\" aType=\"\">" + kFields + "<aTitle>Tick</aTitle></property>");
    EXPECT_EQ(l->property.propertyType(), pt_bool);
    EXPECT_EQ(l->property.aTitle(), QString("Tick"));
    auto noType = load("<property>" + kFields + "</property>");
    EXPECT_EQ(noType->property.propertyType(), pt_text);
}

TEST(Property, ChildrenComeFromFirstChildPropertiesOnly)
{
    auto l = load("<property>" + kFields
                  + "<childProperties><property><key>c1</key></property>"
                    "<x><property><key>nested-deeper</key></property></x>"
                    "<property><key>c2</key><childProperties><property><key>g</key></property>"
                    "</childProperties></property></childProperties>"
                    "<childProperties><property><key>ignored</key></property></childProperties></property>");
    const auto& p = l->property;
    ASSERT_EQ(p.childCount(), 2);
    EXPECT_EQ(p.childAt(0)->key(), QString("c1"));
    EXPECT_EQ(p.childAt(1)->key(), QString("c2"));
    EXPECT_EQ(p.childAt(0)->parent(), &p);
    ASSERT_EQ(p.childAt(1)->childCount(), 1);
    EXPECT_EQ(p.childAt(1)->childAt(0)->parent(), p.childAt(1));
    EXPECT_EQ(p.childAt(2), nullptr);

    // Loading again replaces the children rather than adding to them.
    l->property.loadFromNode(xmlDocGetRootElement(l->doc.get()));
    EXPECT_EQ(l->property.childCount(), 2);
}

TEST(Property, MissingRequiredElementsGiveEmptyTextAndAWarning)
{
    log::Capture capture(log::Level::Warn);
    auto l = load("<property><key>only</key></property>");
    EXPECT_EQ(l->property.value(), QString(""));
    EXPECT_TRUE(l->property.value().has_value());
    EXPECT_EQ(l->property.title(), QString(""));
    EXPECT_EQ(capture.messages(log::Level::Warn).size(), 5);
    EXPECT_TRUE(capture.contains("\"only\" has no \"value\""));
}

TEST(Property, OtherElementsLeaveItUnchanged)
{
    FlashTemplateProperty p;
    p.setValue(QStringLiteral("kept"));
    auto parsed = xml::parseMemory("<notproperty>" + kFields + "</notproperty>");
    p.loadFromNode(xmlDocGetRootElement(parsed.doc.get()));
    p.loadFromNode(nullptr);
    EXPECT_EQ(p.value(), QString("kept"));
    EXPECT_EQ(p.title(), QString("Empty"));
}
