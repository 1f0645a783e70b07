#include "FlashTemplateProperty.h"

#include "util/Log.h"
#include "util/Xml.h"

#include <array>

namespace quire {
namespace {

constexpr std::array<const char*, 11> kTypeNames = {
    "pt_text", "pt_number", "pt_color", "pt_list", "pt_composite", "pt_file",
    "pt_list_fromFunction", "pt_form_security", "pt_font", "pt_form_contactabout", "pt_bool",
};

// A required element that is missing gives the empty text and a warning.
QString requiredText(const xmlNode* node, const char* name, const Text& key)
{
    if (const xmlNode* child = xml::firstChild(node, name))
        return xml::text(child);
    QLOG_WARN("property \"%@\" has no \"%@\" element; using the empty text",
              textOr(key, QStringLiteral("(no key)")), name);
    return QStringLiteral("");
}

} // namespace

int flashTemplatePropertyTypeFromString(const Text& typeText)
{
    if (!typeText)
        return pt_text;
    for (size_t i = 0; i < kTypeNames.size(); ++i)
        if (*typeText == QLatin1String(kTypeNames[i]))
            return int(i);
    return pt_text;
}

QString flashTemplatePropertyTypeName(int code)
{
    if (code < 0 || code >= int(kTypeNames.size()))
        return QStringLiteral("");
    return QString::fromLatin1(kTypeNames[size_t(code)]);
}

bool valueAsBool(const Text& value)
{
    if (!value)
        return false;
    const QString upper = value->toUpper();
    return upper == QLatin1String("YES") || upper == QLatin1String("SHOW")
        || upper == QLatin1String("ENABLE") || upper == QLatin1String("TRUE");
}

FlashTemplateProperty* FlashTemplateProperty::childAt(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    return m_childProperties[size_t(index)].get();
}

FlashTemplateProperty* FlashTemplateProperty::addChild(std::unique_ptr<FlashTemplateProperty> child)
{
    child->setParent(this);
    m_childProperties.push_back(std::move(child));
    return m_childProperties.back().get();
}

void FlashTemplateProperty::loadFromNode(const xmlNode* node)
{
    if (!xml::hasName(node, "property"))
        return;
    m_parent = nullptr;

    // The key comes first so later warnings can name it.
    if (const xmlNode* keyNode = xml::firstChild(node, "key"))
        m_key = xml::text(keyNode);
    else
        m_key = requiredText(node, "key", std::nullopt);
    m_title = requiredText(node, "title", m_key);
    m_desc = requiredText(node, "desc", m_key);
    m_value = requiredText(node, "value", m_key);
    m_valueSource = requiredText(node, "valueSource", m_key);
    m_defaultValue = requiredText(node, "defaultValue", m_key);

    const Text typeText = xml::attribute(node, "type");
    m_aTitle = QStringLiteral("");
    if (const xmlNode* aTitleNode = xml::firstChild(node, "aTitle"))
        m_aTitle = xml::text(aTitleNode);

    m_propertyType = flashTemplatePropertyTypeFromString(typeText);
    if (xml::attribute(node, "aType"))
        m_propertyType = pt_bool;

    m_childProperties.clear();
    if (const xmlNode* children = xml::firstChild(node, "childProperties")) {
        for (xmlNode* childNode : xml::children(children, "property")) {
            auto child = std::make_unique<FlashTemplateProperty>();
            child->loadFromNode(childNode);
            addChild(std::move(child));
        }
    }
}

} // namespace quire
