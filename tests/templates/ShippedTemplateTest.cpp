// The default template "float" as shipped in the resource folder. Every
// template's keys, styles and files are checked in tests/styles.
#include "support/TestEnv.h"
#include "templates/FlashTemplate.h"
#include "util/Resources.h"

#include <functional>
#include <gtest/gtest.h>
#include <set>

using namespace quire;

namespace {

void walk(const FlashTemplate::PropertyList& list, const std::function<void(const FlashTemplateProperty&)>& visit)
{
    for (const auto& p : list) {
        visit(*p);
        walk(p->childProperties(), visit);
    }
}

} // namespace

TEST(ShippedTemplates, FloatLoadsWholeAndUsesEveryType)
{
    FlashTemplate t;
    ASSERT_FALSE(t.properties().empty()) << resourceFolder().toStdString();
    std::set<int> types;
    bool nested = false;
    walk(t.properties(), [&](const FlashTemplateProperty& p) {
        types.insert(p.propertyType());
        EXPECT_TRUE(p.key() && !p.key()->isEmpty());
        EXPECT_TRUE(p.value().has_value()) << p.key().value_or("").toStdString();
        nested = nested || p.parent() != nullptr;
    });
    for (int code = 0; code <= 10; ++code)
        EXPECT_TRUE(types.count(code)) << "no property of type " << code;
    EXPECT_TRUE(nested);
}

TEST(ShippedTemplates, FloatSettingsRoundTripUnchanged)
{
    FlashTemplate t;
    t.loadStyleByStyleName(textOr(t.defaultSytleName()));
    quire::test::TempDir dir;
    const QString path = dir.file("float.txt");
    ASSERT_TRUE(t.exportPropertiesSettingsTo(path));
    // Read back into a template that has not had the style applied.
    FlashTemplate fresh;
    fresh.importPropertiesSettingsFrom(path);
    EXPECT_EQ(fresh.exportPropertiesSettings(), t.exportPropertiesSettings());
}
