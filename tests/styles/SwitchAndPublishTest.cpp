// Switching between any two shipped templates and styles, and publishing a
// book in each style.
#include "ShippedStyles.h"
#include "import/FlashPageSource.h"
#include "publish/FlashBookOutput.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

namespace {

const QString kMarker = QStringLiteral("STYLE_RESOURCE:");

// Every "pt_file" property's value: empty, or a file in the given style folder.
void expectFilesInStyle(const FlashTemplate& t, const ShippedStyle& style)
{
    walkProperties(t.properties(), [&](const FlashTemplateProperty& p) {
        if (p.propertyType() != pt_file)
            return;
        const QString value = p.value().value_or(QString());
        if (value.isEmpty())
            return;
        EXPECT_TRUE(QFileInfo(value).isFile()) << p.key()->toStdString() << "=" << value.toStdString();
        EXPECT_TRUE(value.startsWith(style.folder() + "/")) << p.key()->toStdString() << "=" << value.toStdString();
    });
}

std::shared_ptr<FlashPageSourceImg> pictures(const TempDir& dir, int count)
{
    auto source = std::make_shared<FlashPageSourceImg>();
    for (int n = 1; n <= count; ++n) {
        QImage page(60, 80, QImage::Format_RGB32);
        page.fill(QColor::fromHsv(n * 40 % 360, 120, 230));
        const QString path = dir.file("pictures/" + QString::number(n) + ".jpg");
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(page.save(path, "JPEG"));
        source->addImgPageFromFile(path);
    }
    source->generateNormalPages();
    return source;
}

} // namespace

TEST(SwitchStyles, BetweenAnyTwoStylesKeepsPageSizeAndLanguageAndSetsTheNewValues)
{
    const QList<ShippedStyle> styles = shippedStyles();
    ASSERT_GE(styles.size(), 9);
    for (const ShippedStyle& from : styles) {
        for (const ShippedStyle& to : styles) {
            SCOPED_TRACE(from.label() + " -> " + to.label());
            const auto toRecords = strictSettingsRecords(readFile(to.folder() + "/tmplSetting.txt"), to.label());
            FlashTemplate t;
            t.changeTmplTo(from.tmpl, from.folder());
            ASSERT_EQ(t.styleName(), from.style);
            t.setPropertyValue("pageWidth", "1234");
            t.setPropertyValue("pageHeight", "987");
            t.setPropertyValue("languageSetting", "fr");

            t.changeTmplTo(to.tmpl, to.folder());
            EXPECT_EQ(t.tmplName(), to.tmpl);
            EXPECT_EQ(t.styleName(), to.style);
            EXPECT_EQ(t.propertyValueFor("pageWidth", ""), "1234");
            EXPECT_EQ(t.propertyValueFor("pageHeight", ""), "987");
            EXPECT_EQ(t.propertyValueFor("languageSetting", ""), "fr");
            expectFilesInStyle(t, to);
            // Every other value the new style sets is in place.
            for (const auto& [key, value] : toRecords) {
                if (key == "languageSetting")
                    continue;
                const QString expected = value.startsWith(kMarker) ? to.folder() + "/" + value.mid(kMarker.size()) : value;
                EXPECT_EQ(t.propertyValueFor(key, "(none)"), expected) << key.toStdString();
            }
        }
    }
}

TEST(SwitchStyles, EveryStylesSettingsRoundTripIntoAFreshTemplate)
{
    TempDir dir;
    for (const ShippedStyle& s : shippedStyles()) {
        SCOPED_TRACE(s.label());
        FlashTemplate t;
        t.loadTemplate(s.tmpl);
        t.loadStyleByStylePath(s.folder());
        ASSERT_TRUE(t.exportPropertiesSettingsTo(dir.file("settings.txt")));
        // A template without the style: importing into the same one could not fail.
        FlashTemplate fresh;
        fresh.loadTemplate(s.tmpl);
        fresh.importPropertiesSettingsFrom(dir.file("settings.txt"));
        EXPECT_EQ(fresh.exportPropertiesSettings(), t.exportPropertiesSettings());
    }
}

TEST(PublishStyles, EveryStyleGivesABookWithItsPageAndFiles)
{
    TempDir dir;
    const auto pages = pictures(dir, 3);
    for (const ShippedStyle& s : shippedStyles()) {
        SCOPED_TRACE(s.label());
        auto t = std::make_shared<FlashTemplate>();
        t->changeTmplTo(s.tmpl, s.folder());
        const QString folder = dir.file("books/" + s.tmpl + "-" + s.style);
        ASSERT_TRUE(QDir().mkpath(folder));
        FlashBookOutput out(pages, t, folder, std::nullopt);
        const PublishResult result = out.ouputTheBook();
        EXPECT_TRUE(result.ok()) << result.description().toStdString();

        EXPECT_TRUE(readFile(folder + "/index.html").contains("qv-theme-" + s.tmpl.toUtf8()));
        EXPECT_GT(QFileInfo(folder + "/files/book.bin").size(), 0);
        for (int n = 1; n <= 3; ++n)
            EXPECT_TRUE(QFileInfo(folder + "/files/page/" + QString::number(n) + ".jpg").isFile()) << n;

        // Each file the style names is in the book's extfiles, whole.
        QStringList expected;
        walkProperties(t->properties(), [&](const FlashTemplateProperty& p) {
            const QString value = p.value().value_or(QString());
            if (p.propertyType() != pt_file || value.isEmpty())
                return;
            const QString name = *p.key() + "." + QFileInfo(value).suffix();
            expected << name;
            EXPECT_EQ(readFile(folder + "/files/extfiles/" + name), readFile(value)) << name.toStdString();
        });
        EXPECT_FALSE(expected.isEmpty()) << "a style names at least its sound";
        QStringList found = QDir(folder + "/files/extfiles").entryList(QDir::Files);
        expected.sort();
        found.sort();
        EXPECT_EQ(found, expected);
    }
}
