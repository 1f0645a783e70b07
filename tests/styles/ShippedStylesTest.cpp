// The templates and styles shipped in the resource folder: what the template
// chooser reads (the icons are checked with the other art, in tests/player).
#include "support/TestEnv.h"
#include "templates/FlashTemplate.h"
#include "util/Resources.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace quire;
using namespace quire::test;

namespace {

const QString kMarker = "STYLE_RESOURCE:";

struct Style {
    QString tmpl, style;
    QString folder() const { return FlashTemplate::stylePathFor(tmpl, style); }
    std::string label() const { return (tmpl + "/" + style).toStdString(); }
    // The records of its settings file: each preceded by line feed and carriage return.
    QList<std::pair<QString, QString>> records() const
    {
        const QByteArray bytes = readFile(folder() + "/tmplSetting.txt");
        EXPECT_TRUE(bytes.startsWith("\n\r")) << label();
        QList<std::pair<QString, QString>> out;
        for (const QByteArray& record : bytes.split('\n').mid(1)) {
            const qsizetype eq = record.indexOf('=');
            EXPECT_TRUE(record.startsWith('\r') && eq > 1) << label() << ": " << record.toStdString();
            out.append({QString::fromUtf8(record.mid(1, eq - 1)), QString::fromUtf8(record.mid(eq + 1))});
        }
        return out;
    }
};

QStringList templates()
{
    QStringList names;
    for (const QString& folder : FlashTemplate::tmplNames())
        names << QFileInfo(folder).fileName();
    return names;
}

QList<Style> styles()
{
    QList<Style> out;
    for (const QString& tmpl : templates())
        for (const QString& folder : FlashTemplate::tmplStyleNamesForTmpl(tmpl))
            out.append({tmpl, QFileInfo(folder).fileName()});
    return out;
}

void walk(const FlashTemplate::PropertyList& list, const std::function<void(const FlashTemplateProperty&)>& visit)
{
    for (const auto& p : list) {
        visit(*p);
        walk(p->childProperties(), visit);
    }
}

// Key and type of every property of a template, each key once.
std::map<QString, int> propertyTypes(const QString& tmpl)
{
    FlashTemplate t;
    t.loadTemplate(tmpl);
    std::map<QString, int> types;
    walk(t.properties(), [&](const FlashTemplateProperty& p) {
        EXPECT_TRUE(types.emplace(p.key().value_or(""), p.propertyType()).second) << p.key().value_or("").toStdString();
    });
    return types;
}

// Whether a style's value is one the viewer and the editor accept for the
// property's type; files only as references into the style's own folder (a
// full path would name a file on the machine that made the style), of a kind
// the property's chooser filter ("Pictures|*.jpg;*.png") takes.
bool validValue(const FlashTemplateProperty& p, const QString& value, const Style& s, std::set<QString>& used)
{
    const QString source = p.valueSource().value_or("");
    switch (p.propertyType()) {
    case pt_color: return QRegularExpression("^0x[0-9a-f]{6}$").match(value).hasMatch();
    case pt_number: return QRegularExpression("^[0-9]+$").match(value).hasMatch();
    case pt_bool: return value == "YES" || value == "NO";
    case pt_list:
    case pt_list_fromFunction: return source.split(',').contains(value);
    case pt_file: {
        const QString name = value.mid(kMarker.size());
        used.insert(name);
        bool fits = false;
        for (const QString& pattern : source.section('|', 1).split(';', Qt::SkipEmptyParts))
            fits = fits || QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive).match(name).hasMatch();
        return value.isEmpty() || (value.startsWith(kMarker) && !name.contains('/') && fits &&
                                   QFileInfo(s.folder() + "/" + name).isFile());
    }
    default: return !value.contains(kMarker);
    }
}

} // namespace

TEST(ShippedTemplates, TheCatalogueListsThemAndTheirStylesOnlyEachWithItsPageInTheViewersVocabulary)
{
    const QStringList names = templates();
    for (const char* name : {"float", "classic", "slate"})
        EXPECT_TRUE(names.contains(name)) << name;
    // The catalogue lists folders at every depth: a folder inside a template
    // or a style would show up as a template or style of its own.
    for (const QString& folder : FlashTemplate::tmplNames())
        EXPECT_EQ(QFileInfo(folder).absolutePath(), QDir::cleanPath(resourcePath("AppFiles/Templates")));
    // "float", the default template, has the viewer's whole vocabulary.
    const std::map<QString, int> vocabulary = propertyTypes("float");
    for (const QString& tmpl : names) {
        SCOPED_TRACE(tmpl.toStdString());
        QStringList styleNames;
        for (const QString& folder : FlashTemplate::tmplStyleNamesForTmpl(tmpl)) {
            EXPECT_EQ(QFileInfo(folder).absolutePath(), QDir::cleanPath(resourcePath("AppFiles/Styles/" + tmpl)));
            styleNames << QFileInfo(folder).fileName();
        }
        EXPECT_TRUE(styleNames.contains("Blank") && styleNames.size() >= 3);
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

TEST(ShippedStyles, EachSetsValidValuesShipsWhatTheyNameAndHasItsShot)
{
    for (const Style& s : styles()) {
        SCOPED_TRACE(s.label());
        FlashTemplate t;
        t.loadTemplate(s.tmpl);
        std::set<QString> keys, used;
        for (const auto& [key, value] : s.records()) {
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
        QImageReader shot(s.folder() + "/shot.jpg");
        EXPECT_EQ(std::pair(shot.format(), shot.size()), std::pair(QByteArray("jpeg"), QSize(320, 213)));
    }
}
