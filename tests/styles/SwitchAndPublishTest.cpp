// Switching from one shipped style to the next, across templates, and
// publishing a book in each style.
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
        const QString value = p.value().value_or("");
        if (p.propertyType() == pt_file && !value.isEmpty()) {
            EXPECT_TRUE(QFileInfo(value).isFile() && value.startsWith(style.folder() + "/")) << value.toStdString();
        }
    });
}

} // namespace

TEST(PublishStyles, EachStyleInTurnKeepsPageSizeAndLanguageRoundTripsItsSettingsAndGivesABookWithItsFiles)
{
    TempDir dir;
    auto pages = std::make_shared<FlashPageSourceImg>();
    for (int n = 1; n <= 3; ++n) {
        QImage page(60, 80, QImage::Format_RGB32);
        page.fill(QColor::fromHsv(n * 40, 120, 230));
        ASSERT_TRUE(page.save(dir.file(QString("%1.jpg").arg(n)), "JPEG"));
        pages->addImgPageFromFile(dir.file(QString("%1.jpg").arg(n)));
    }
    pages->generateNormalPages();
    const QList<ShippedStyle> styles = shippedStyles();
    ASSERT_GE(styles.size(), 9);
    auto t = std::make_shared<FlashTemplate>();
    for (const ShippedStyle& s : styles) {
        SCOPED_TRACE(s.label());
        t->setPropertyValue("pageWidth", "1234");
        t->setPropertyValue("languageSetting", "fr");
        t->changeTmplTo(s.tmpl, s.folder());
        EXPECT_EQ(t->tmplName(), s.tmpl);
        EXPECT_EQ(t->styleName(), s.style);
        EXPECT_EQ(t->propertyValueFor("pageWidth", "") + " " + t->propertyValueFor("languageSetting", ""), "1234 fr");
        expectFilesInStyle(*t, s);
        // Every other value the style sets is in place.
        for (const auto& [key, value] : strictSettingsRecords(readFile(s.folder() + "/tmplSetting.txt"), s.label()))
            if (key != "languageSetting") {
                EXPECT_EQ(t->propertyValueFor(key, "(none)"),
                          value.startsWith(kMarker) ? s.folder() + "/" + value.mid(kMarker.size()) : value)
                    << key.toStdString();
            }
        // Exported and imported into a template without the style (importing
        // into the same one could not fail), which keeps its own page size.
        ASSERT_TRUE(t->exportPropertiesSettingsTo(dir.file("settings.txt")));
        FlashTemplate fresh;
        fresh.loadTemplate(s.tmpl);
        fresh.setPropertyValue("pageWidth", "1234");
        fresh.importPropertiesSettingsFrom(dir.file("settings.txt"));
        EXPECT_EQ(fresh.exportPropertiesSettings(), t->exportPropertiesSettings());

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
            const QString value = p.value().value_or(""), name = p.key().value_or("") + "." + QFileInfo(value).suffix();
            if (p.propertyType() != pt_file || value.isEmpty())
                return;
            expected << name;
            EXPECT_EQ(readFile(folder + "/files/extfiles/" + name), readFile(value)) << name.toStdString();
        });
        expected.sort();
        EXPECT_FALSE(expected.isEmpty()) << "a style names at least its sound";
        EXPECT_EQ(QDir(folder + "/files/extfiles").entryList(QDir::Files, QDir::Name), expected);
    }
}
