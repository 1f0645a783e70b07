// What the template chooser reads: every template's definition and page,
// every style's settings, resources and shot (the icons are checked with the
// other art, in tests/player).
#include "ShippedStyles.h"
#include "support/TestEnv.h"
#include "util/Resources.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace quire;
using namespace quire::test;

namespace {

const QString kMarker = QStringLiteral("STYLE_RESOURCE:");

// Key and type of every property of a template.
std::map<QString, int> propertyTypes(const QString& tmpl)
{
    FlashTemplate t;
    t.loadTemplate(tmpl);
    std::map<QString, int> types;
    walkProperties(t.properties(), [&](const FlashTemplateProperty& p) {
        EXPECT_TRUE(types.emplace(p.key().value_or(QString()), p.propertyType()).second)
            << tmpl.toStdString() << ": key " << p.key().value_or("(none)").toStdString() << " twice";
    });
    return types;
}

// Whether a file name fits a chooser filter such as "Pictures|*.jpg;*.png".
bool fitsFilter(const QString& fileName, const QString& filter)
{
    const QString patterns = filter.section(QLatin1Char('|'), 1);
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive).match(fileName).hasMatch())
            return true;
    return false;
}

// A style's value must be one the viewer and the editor accept for its type.
void expectValidValue(const FlashTemplateProperty& p, const QString& value, const ShippedStyle& s,
                      std::set<QString>& referenced)
{
    const std::string where = s.label() + " " + p.key()->toStdString() + "=" + value.toStdString();
    static const QRegularExpression colour(QStringLiteral("^0x[0-9a-f]{6}$"));
    static const QRegularExpression number(QStringLiteral("^[0-9]+$"));
    if (p.propertyType() != pt_file) {
        EXPECT_FALSE(value.contains(kMarker)) << where << ": a style resource on a property that is no file";
    }
    switch (p.propertyType()) {
    case pt_color:
        EXPECT_TRUE(colour.match(value).hasMatch()) << where;
        break;
    case pt_number:
        EXPECT_TRUE(number.match(value).hasMatch()) << where;
        break;
    case pt_bool:
        EXPECT_TRUE(value == "YES" || value == "NO") << where;
        break;
    case pt_list:
    case pt_list_fromFunction:
        EXPECT_TRUE(p.valueSource().value_or(QString()).split(QLatin1Char(',')).contains(value)) << where;
        break;
    case pt_file:
        if (value.isEmpty())
            break;
        // Only references into the style's own folder: a full path would
        // name a file on the machine that made the style.
        ASSERT_TRUE(value.startsWith(kMarker)) << where;
        {
            const QString name = value.mid(kMarker.size());
            EXPECT_FALSE(name.contains(QLatin1Char('/'))) << where << ": style folders hold files only";
            EXPECT_TRUE(QFileInfo(s.folder() + "/" + name).isFile()) << where << ": missing";
            EXPECT_TRUE(fitsFilter(name, p.valueSource().value_or(QString()))) << where << ": not a file it takes";
            referenced.insert(name);
        }
        break;
    default:
        break;
    }
}

} // namespace

TEST(ChooserData, TheCatalogueListsThreeTemplatesAndOnlyTheirStyleFolders)
{
    const QStringList templates = shippedTemplates();
    for (const char* name : {"float", "classic", "slate"})
        EXPECT_TRUE(templates.contains(QString::fromLatin1(name))) << name;
    // The catalogue lists folders at every depth: a folder inside a template
    // or a style would show up as a template or style of its own.
    const QString templatesFolder = QDir::cleanPath(resourcePath("AppFiles/Templates"));
    for (const QString& folder : FlashTemplate::tmplNames())
        EXPECT_EQ(QFileInfo(folder).absolutePath(), templatesFolder) << folder.toStdString();
    for (const QString& tmpl : templates)
        for (const QString& folder : FlashTemplate::tmplStyleNamesForTmpl(tmpl))
            EXPECT_EQ(QFileInfo(folder).absolutePath(), QDir::cleanPath(resourcePath("AppFiles/Styles/" + tmpl)))
                << folder.toStdString();
}

TEST(ChooserData, FloatOffersEveryPropertyTypeAndNesting)
{
    // The default template, and the viewer's whole vocabulary.
    std::set<int> types;
    for (const auto& [key, type] : propertyTypes("float")) {
        EXPECT_FALSE(key.isEmpty());
        types.insert(type);
    }
    for (int code = 0; code <= 10; ++code)
        EXPECT_TRUE(types.count(code)) << "no property of type " << code;
    const FlashTemplate t;
    EXPECT_TRUE(std::any_of(t.properties().begin(), t.properties().end(),
                            [](const auto& p) { return p->childCount() > 0; }));
}

TEST(ChooserData, EveryTemplateHasItsDefinitionAndPage)
{
    const std::map<QString, int> vocabulary = propertyTypes("float");
    for (const QString& tmpl : shippedTemplates()) {
        SCOPED_TRACE(tmpl.toStdString());
        ASSERT_TRUE(QFileInfo(FlashTemplate::tmplMetaPathForName(tmpl)).isFile());
        FlashTemplate t;
        t.loadTemplate(tmpl);
        EXPECT_EQ(t.defaultSytleName(), QString("Blank"));
        const std::map<QString, int> types = propertyTypes(tmpl);
        for (const char* key : {"pageWidth", "pageHeight", "isHardCover", "languageSetting"})
            EXPECT_TRUE(types.count(QString::fromLatin1(key))) << key;
        // The viewer reads properties by name: every key is one it knows,
        // with the type the "float" template (which offers them all) gives it.
        for (const auto& [key, type] : types) {
            ASSERT_TRUE(vocabulary.count(key)) << key.toStdString() << " is no viewer property";
            EXPECT_EQ(type, vocabulary.at(key)) << key.toStdString();
        }

        const Text page = t.tmplHTMLFilePath();
        ASSERT_TRUE(page.has_value());
        const QByteArray html = readFile(*page);
        EXPECT_TRUE(html.contains("qv-theme-" + tmpl.toUtf8())) << "the page carries another template's look";
        for (const char* placeholder : {"${index.title}", "${meta.keywords}", "${meta.description}"})
            EXPECT_EQ(html.count(placeholder), 1) << placeholder;
    }
}

TEST(ChooserData, EveryTemplateHasBlankAndAtLeastTwoMoreStyles)
{
    for (const QString& tmpl : shippedTemplates()) {
        QStringList names;
        for (const QString& folder : FlashTemplate::tmplStyleNamesForTmpl(tmpl))
            names << QFileInfo(folder).fileName();
        EXPECT_TRUE(names.contains("Blank")) << tmpl.toStdString();
        EXPECT_GE(names.size(), 3) << tmpl.toStdString();
    }
}

TEST(ChooserData, EveryStyleSetsValidValuesAndShipsWhatTheyName)
{
    std::map<QString, std::set<QByteArray>> settingsOfTemplate;
    for (const ShippedStyle& s : shippedStyles()) {
        SCOPED_TRACE(s.label());
        const QByteArray bytes = readFile(s.folder() + "/tmplSetting.txt");
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_TRUE(settingsOfTemplate[s.tmpl].insert(bytes).second) << "same settings as another style";
        const auto records = strictSettingsRecords(bytes, s.label());

        FlashTemplate t;
        t.loadTemplate(s.tmpl);
        std::set<QString> keys;
        std::set<QString> referenced;
        for (const auto& [key, value] : records) {
            EXPECT_TRUE(keys.insert(key).second) << key.toStdString() << " twice";
            // The page size follows the document; a style's would never apply.
            EXPECT_TRUE(key != "pageWidth" && key != "pageHeight") << key.toStdString();
            const FlashTemplateProperty* p = t.findProperty(key);
            ASSERT_NE(p, nullptr) << key.toStdString() << " is not a property of " << s.tmpl.toStdString();
            expectValidValue(*p, value, s, referenced);
        }
        EXPECT_TRUE(keys.count("flipSound") && keys.count("backgroundColor")) << "a style sets its colours and sound";

        // Nothing else lies in the folder: no leftovers from an older style.
        const QStringList files = QDir(s.folder()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& file : files)
            EXPECT_TRUE(file == "tmplSetting.txt" || file == "shot.jpg" || referenced.count(file))
                << file.toStdString() << " is not used";
    }
}

TEST(ChooserData, EveryStyleHasItsOwnShot)
{
    std::set<QByteArray> digests;
    for (const ShippedStyle& s : shippedStyles()) {
        SCOPED_TRACE(s.label());
        QImageReader reader(s.folder() + "/shot.jpg");
        EXPECT_EQ(reader.format(), QByteArray("jpeg"));
        const QImage shot = reader.read();
        ASSERT_FALSE(shot.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(shot.size(), QSize(320, 213));
        // Not one flat colour: a photograph of a book.
        const QImage small = shot.scaled(16, 16).convertToFormat(QImage::Format_RGB32);
        std::set<QRgb> colours;
        for (int y = 0; y < small.height(); ++y)
            for (int x = 0; x < small.width(); ++x)
                colours.insert(small.pixel(x, y));
        EXPECT_GT(colours.size(), 20u);
        const QByteArray digest =
            QCryptographicHash::hash(readFile(s.folder() + "/shot.jpg"), QCryptographicHash::Sha256);
        EXPECT_TRUE(digests.insert(digest).second) << "the same shot as another style";
    }
}
