// What the template chooser reads: every template's definition and page,
// every style's settings, resources and shot (the icons are checked with the
// other art, in tests/player).
#include "ShippedStyles.h"
#include "support/TestEnv.h"
#include "util/Resources.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace quire;
using namespace quire::test;

namespace {

// Key and type of every property of a template, each key once.
std::map<QString, int> propertyTypes(const QString& tmpl)
{
    FlashTemplate t;
    t.loadTemplate(tmpl);
    std::map<QString, int> types;
    walkProperties(t.properties(), [&](const FlashTemplateProperty& p) {
        EXPECT_TRUE(types.emplace(p.key().value_or(""), p.propertyType()).second) << tmpl.toStdString() << ": key "
                                                                                  << p.key().value_or("").toStdString();
    });
    return types;
}

// Whether a style's value is one the viewer and the editor accept for the
// property's type; files only as references into the style's own folder (a
// full path would name a file on the machine that made the style), of a kind
// the property's chooser filter ("Pictures|*.jpg;*.png") takes.
bool validValue(const FlashTemplateProperty& p, const QString& value, const ShippedStyle& s, std::set<QString>& used)
{
    const QString marker = "STYLE_RESOURCE:", source = p.valueSource().value_or("");
    switch (p.propertyType()) {
    case pt_color: return QRegularExpression("^0x[0-9a-f]{6}$").match(value).hasMatch();
    case pt_number: return QRegularExpression("^[0-9]+$").match(value).hasMatch();
    case pt_bool: return value == "YES" || value == "NO";
    case pt_list:
    case pt_list_fromFunction: return source.split(',').contains(value);
    case pt_file: {
        const QString name = value.mid(marker.size());
        used.insert(name);
        bool fits = false;
        for (const QString& pattern : source.section('|', 1).split(';', Qt::SkipEmptyParts))
            fits = fits || QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive).match(name).hasMatch();
        return value.isEmpty() || (value.startsWith(marker) && !name.contains('/') && fits &&
                                   QFileInfo(s.folder() + "/" + name).isFile());
    }
    default: return !value.contains(marker);
    }
}

} // namespace

TEST(ChooserData, TheCatalogueListsTheTemplatesAndTheirStylesOnly)
{
    const QStringList templates = shippedTemplates();
    for (const char* name : {"float", "classic", "slate"})
        EXPECT_TRUE(templates.contains(name)) << name;
    // The catalogue lists folders at every depth: a folder inside a template
    // or a style would show up as a template or style of its own.
    for (const QString& folder : FlashTemplate::tmplNames())
        EXPECT_EQ(QFileInfo(folder).absolutePath(), QDir::cleanPath(resourcePath("AppFiles/Templates")));
    for (const QString& tmpl : templates) {
        QStringList names;
        for (const QString& folder : FlashTemplate::tmplStyleNamesForTmpl(tmpl)) {
            EXPECT_EQ(QFileInfo(folder).absolutePath(), QDir::cleanPath(resourcePath("AppFiles/Styles/" + tmpl)));
            names << QFileInfo(folder).fileName();
        }
        EXPECT_TRUE(names.contains("Blank") && names.size() >= 3) << tmpl.toStdString();
    }
}

TEST(ChooserData, EveryTemplateHasItsDefinitionAndPageInTheViewersVocabulary)
{
    // "float", the default template, offers every type and nesting: the
    // viewer's whole vocabulary.
    const std::map<QString, int> vocabulary = propertyTypes("float");
    std::set<int> types;
    for (const auto& [key, type] : vocabulary)
        types.insert(type);
    EXPECT_EQ(types.size(), 11u);
    const FlashTemplate fresh;
    EXPECT_TRUE(std::any_of(fresh.properties().begin(), fresh.properties().end(),
                            [](const auto& p) { return p->childCount() > 0; }));

    for (const QString& tmpl : shippedTemplates()) {
        SCOPED_TRACE(tmpl.toStdString());
        FlashTemplate t;
        t.loadTemplate(tmpl);
        EXPECT_EQ(t.defaultSytleName(), QString("Blank"));
        const std::map<QString, int> keys = propertyTypes(tmpl);
        for (const char* key : {"pageWidth", "pageHeight", "isHardCover", "languageSetting"})
            EXPECT_TRUE(keys.count(key)) << key;
        // The viewer reads properties by name, each with the type "float" gives it.
        for (const auto& [key, type] : keys)
            EXPECT_TRUE(vocabulary.count(key) && vocabulary.at(key) == type) << key.toStdString();
        ASSERT_TRUE(t.tmplHTMLFilePath().has_value());
        const QByteArray html = readFile(*t.tmplHTMLFilePath());
        EXPECT_TRUE(html.contains("qv-theme-" + tmpl.toUtf8())) << "the page carries another template's look";
        for (const char* placeholder : {"${index.title}", "${meta.keywords}", "${meta.description}"})
            EXPECT_EQ(html.count(placeholder), 1) << placeholder;
    }
}

TEST(ChooserData, EveryStyleSetsValidValuesShipsWhatTheyNameAndHasItsOwnShot)
{
    std::set<QByteArray> settings, shots;
    for (const ShippedStyle& s : shippedStyles()) {
        SCOPED_TRACE(s.label());
        const QByteArray bytes = readFile(s.folder() + "/tmplSetting.txt");
        EXPECT_TRUE(settings.insert(s.tmpl.toUtf8() + bytes).second) << "the same settings as another style";
        FlashTemplate t;
        t.loadTemplate(s.tmpl);
        std::set<QString> keys, used;
        for (const auto& [key, value] : strictSettingsRecords(bytes, s.label())) {
            EXPECT_TRUE(keys.insert(key).second) << key.toStdString() << " twice";
            // The page size follows the document; a style's would never apply.
            EXPECT_TRUE(key != "pageWidth" && key != "pageHeight");
            const FlashTemplateProperty* p = t.findProperty(key);
            ASSERT_NE(p, nullptr) << key.toStdString() << " is no property of " << s.tmpl.toStdString();
            EXPECT_TRUE(validValue(*p, value, s, used)) << key.toStdString() << "=" << value.toStdString();
        }
        EXPECT_TRUE(keys.count("flipSound") && keys.count("backgroundColor")) << "a style sets its colours and sound";
        // Nothing else lies in the folder: no leftovers from an older style.
        for (const QString& file : QDir(s.folder()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
            EXPECT_TRUE(file == "tmplSetting.txt" || file == "shot.jpg" || used.count(file)) << file.toStdString();

        QImageReader reader(s.folder() + "/shot.jpg");
        EXPECT_EQ(reader.format(), "jpeg");
        const QImage shot = reader.read();
        EXPECT_EQ(shot.size(), QSize(320, 213));
        // Not one flat colour: a photograph of a book.
        const QImage small = shot.scaled(16, 16).convertToFormat(QImage::Format_RGB32);
        std::set<QRgb> colours;
        for (int y = 0; y < small.height(); ++y)
            for (int x = 0; x < small.width(); ++x)
                colours.insert(small.pixel(x, y));
        EXPECT_GT(colours.size(), 20u);
        EXPECT_TRUE(shots.insert(QCryptographicHash::hash(readFile(s.folder() + "/shot.jpg"), QCryptographicHash::Sha256))
                        .second) << "the same shot as another style";
    }
}
