// The templates and styles shipped in the resource folder.
#include "support/TestEnv.h"
#include "templates/FlashTemplate.h"
#include "util/Resources.h"

#include <QFileInfo>
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

TEST(ShippedTemplates, FloatIsCompleteAndUsesEveryType)
{
    FlashTemplate t;
    ASSERT_FALSE(t.properties().empty()) << resourceFolder().toStdString();
    std::set<int> types;
    std::set<QString> keys;
    bool nested = false;
    walk(t.properties(), [&](const FlashTemplateProperty& p) {
        types.insert(p.propertyType());
        ASSERT_TRUE(p.key() && !p.key()->isEmpty());
        EXPECT_TRUE(keys.insert(*p.key()).second) << "duplicate key " << p.key()->toStdString();
        EXPECT_TRUE(p.value().has_value());
        nested = nested || p.parent() != nullptr;
    });
    for (int code = 0; code <= 10; ++code)
        EXPECT_TRUE(types.count(code)) << "no property of type " << code;
    EXPECT_TRUE(nested);
    for (const char* key : {"pageWidth", "pageHeight", "isHardCover", "languageSetting"})
        EXPECT_TRUE(keys.count(QString::fromLatin1(key))) << key;
    EXPECT_EQ(t.defaultSytleName(), QString("Blank"));
}

TEST(ShippedTemplates, EveryTemplateHasItsDefaultStyle)
{
    for (const QString& folder : FlashTemplate::tmplNames()) {
        const QString name = QFileInfo(folder).fileName();
        FlashTemplate t;
        t.loadTemplate(name);
        EXPECT_FALSE(t.properties().empty()) << name.toStdString();
        const QString style = FlashTemplate::stylePathFor(name, textOr(t.defaultSytleName()));
        EXPECT_TRUE(QFileInfo(style + "/tmplSetting.txt").isFile()) << style.toStdString();
        EXPECT_TRUE(QFileInfo(style + "/shot.jpg").isFile()) << style.toStdString();
    }
}

TEST(ShippedTemplates, FloatSettingsRoundTripUnchanged)
{
    FlashTemplate t;
    t.loadStyleByStyleName(textOr(t.defaultSytleName()));
    // The Blank style names at least one of its own files, and that file exists.
    bool styleFile = false;
    walk(t.properties(), [&](const FlashTemplateProperty& p) {
        if (p.propertyType() == pt_file && p.value() && p.value()->startsWith(FlashTemplate::stylePathFor("float", "Blank"))) {
            styleFile = true;
            EXPECT_TRUE(QFileInfo(*p.value()).isFile()) << p.value()->toStdString();
        }
    });
    EXPECT_TRUE(styleFile);

    quire::test::TempDir dir;
    const QString path = dir.file("float.txt");
    const QByteArray before = t.exportPropertiesSettings();
    ASSERT_TRUE(t.exportPropertiesSettingsTo(path));
    t.importPropertiesSettingsFrom(path);
    EXPECT_EQ(t.exportPropertiesSettings(), before);
}
