#include "FlashTemplate.h"

#include "app/QuillUtility.h"
#include "util/Console.h"
#include "util/FileUtil.h"
#include "util/Log.h"
#include "util/Resources.h"
#include "util/Xml.h"

#include <QFileInfo>

namespace quire {
namespace {

QString withTrailingSeparator(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// Depth-first, pre-order search below (not including) the given list.
FlashTemplateProperty* findIn(const FlashTemplate::PropertyList& list, const QString& key)
{
    for (const auto& property : list) {
        if (property->key() && *property->key() == key)
            return property.get();
        if (auto* found = findIn(property->childProperties(), key))
            return found;
    }
    return nullptr;
}

QString infoText(const xmlNode* info, const char* name)
{
    if (const xmlNode* node = xml::firstChild(info, name))
        return xml::text(node);
    QLOG_WARN("template definition has no \"%@\" in \"info\"; using the empty text", name);
    return QStringLiteral("");
}

} // namespace

FlashTemplate::FlashTemplate()
{
    loadTemplate(QStringLiteral("float"));
}

QString FlashTemplate::tmplDataPath()
{
    return withTrailingSeparator(resourcePath(QStringLiteral("AppFiles")));
}

QStringList FlashTemplate::tmplNames()
{
    return QuillUtility::subFolderOfFolder(resourcePath(QStringLiteral("AppFiles/Templates")));
}

QString FlashTemplate::tmplPathForName(const QString& name)
{
    return withTrailingSeparator(fs::join(resourcePath(QStringLiteral("AppFiles/Templates/")), name));
}

QString FlashTemplate::tmplMetaPathForName(const QString& name)
{
    return fs::join(tmplPathForName(name), QStringLiteral("flashTemplate.xml"));
}

QStringList FlashTemplate::tmplStyleNamesForTmpl(const QString& name)
{
    return QuillUtility::subFolderOfFolder(fs::join(resourcePath(QStringLiteral("AppFiles/Styles/")), name));
}

QString FlashTemplate::stylePathFor(const QString& tmplName, const QString& styleName)
{
    QString path = fs::join(resourcePath(QStringLiteral("AppFiles/Styles/")), tmplName, styleName);
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

void FlashTemplate::loadTemplate(const QString& name)
{
    m_properties.clear();
    m_tmplName = name;

    const QString definition = tmplMetaPathForName(name);
    xml::ParseResult parsed = xml::parseFile(definition);
    if (!parsed.doc) {
        QLOG_ERROR("cannot read template definition %@: %@", definition, parsed.error);
        return;
    }
    if (parsed.recovered)
        QLOG_WARN("template definition %@ is malformed; read in recovering mode", definition);

    const xmlNode* root = xmlDocGetRootElement(parsed.doc.get());
    const xmlNode* info = xml::firstChild(root, "info");
    const xmlNode* props = xml::firstChild(root, "properties");
    if (!info || !props) {
        QLOG_ERROR("template definition %@ lacks its \"%@\" element", definition,
                   info ? "properties" : "info");
        return;
    }

    m_HTMLFilePath = infoText(info, "htmlPath");
    m_SWFFilePath = infoText(info, "swfPath");
    m_defaultSytleName = infoText(info, "defaultStyle");
    m_macAppFilesFolder = infoText(info, "macAppFilesFolder");
    m_mobileTmplFilesPath = infoText(info, "mobileTmplFilesPath");

    for (xmlNode* node : xml::children(props, "property")) {
        auto property = std::make_unique<FlashTemplateProperty>();
        property->loadFromNode(node);
        property->setParent(nullptr);
        m_properties.push_back(std::move(property));
    }
}

FlashTemplateProperty* FlashTemplate::findProperty(const QString& key) const
{
    return findIn(m_properties, key);
}

QString FlashTemplate::propertyValueFor(const QString& key, const QString& defaultValue) const
{
    const FlashTemplateProperty* property = findProperty(key);
    if (!property || !property->value())
        return defaultValue;
    return *property->value();
}

Text FlashTemplate::propertyValueFor(const FlashTemplateProperty* property, const QString& key) const
{
    if (!property)
        return std::nullopt;
    const FlashTemplateProperty* found = findIn(property->childProperties(), key);
    if (!found)
        return std::nullopt;
    return found->value();
}

void FlashTemplate::assignValue(FlashTemplateProperty& property, const QString& key, const QString& value,
                               const Text& filePath) const
{
    if (property.propertyType() != pt_file) {
        property.setValue(value);
        return;
    }
    if (property.parent())
        console::line(formatMessage("key 3[%@=%@]", {key, value}));
    property.setValue(filePath ? *filePath : valueAsFilePath(value));
}

void FlashTemplate::setPropertyValue(const QString& key, const QString& value)
{
    if (FlashTemplateProperty* property = findProperty(key))
        assignValue(*property, key, value);
}

bool FlashTemplate::setPropertyValueAt(FlashTemplateProperty* property, const QString& key, const QString& value)
{
    FlashTemplateProperty* found = property ? findIn(property->childProperties(), key) : nullptr;
    if (!found)
        return false;
    assignValue(*found, key, value);
    return true;
}

QString FlashTemplate::valueAsFilePath(const QString& value) const
{
    const qsizetype marker = value.indexOf(kStyleResourceMarker);
    if (marker < 0)
        return value;
    if (!m_styleName) {
        QLOG_WARN("no style applied; \"%@\" left unresolved", value);
        return value;
    }
    return fs::join(stylePathFor(m_tmplName, *m_styleName), value.mid(marker + kStyleResourceMarker.size()));
}

Text FlashTemplate::tmplHTMLFilePath() const
{
    const QString relative = textOr(m_HTMLFilePath);
    for (const QString& base : {tmplPathForName(m_tmplName), tmplDataPath()}) {
        QString candidate = fs::join(base, relative);
        candidate.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return std::nullopt;
}

bool FlashTemplate::copyBookSWFToFile(const QString& destination, QString* error) const
{
    const QString source = fs::join(tmplPathForName(m_tmplName), QStringLiteral("book.swf"));
    if (fs::exists(destination))
        fs::removeAll(destination);
    return !fs::exists(source) || fs::copyFile(source, destination, error);
}

} // namespace quire
