#pragma once
// One typed, editable setting of a template's viewer; a node of the
// template's property tree. Every value is text; the type only decides how it
// is edited and whether publishing copies it as a file.
#include "util/Text.h"

#include <libxml/tree.h>
#include <memory>
#include <vector>

namespace quire {

enum FlashTemplatePropertyType : int {
    pt_text = 0,
    pt_number = 1,
    pt_color = 2,
    pt_list = 3,
    pt_composite = 4,
    pt_file = 5,
    pt_list_fromFunction = 6,
    pt_form_security = 7,
    pt_font = 8,
    pt_form_contactabout = 9,
    pt_bool = 10,
};

// The type code for a type text; absent or unknown text gives pt_text.
int flashTemplatePropertyTypeFromString(const Text& typeText);
// The type text for a code; "" for codes outside the table.
QString flashTemplatePropertyTypeName(int code);

// True for "YES", "SHOW", "ENABLE" or "TRUE" in any case, nothing else.
bool valueAsBool(const Text& value);

class FlashTemplateProperty {
public:
    FlashTemplateProperty() = default;
    FlashTemplateProperty(const FlashTemplateProperty&) = delete;
    FlashTemplateProperty& operator=(const FlashTemplateProperty&) = delete;

    // Fills this property and its subtree from a "property" element; anything
    // else (or null) leaves the property unchanged.
    void loadFromNode(const xmlNode* node);

    int childCount() const { return int(m_childProperties.size()); }
    FlashTemplateProperty* childAt(int index) const;
    const std::vector<std::unique_ptr<FlashTemplateProperty>>& childProperties() const
    {
        return m_childProperties;
    }
    // Appends a child and makes this property its parent.
    FlashTemplateProperty* addChild(std::unique_ptr<FlashTemplateProperty> child);

    FlashTemplateProperty* parent() const { return m_parent; }
    void setParent(FlashTemplateProperty* parent) { m_parent = parent; }

    int propertyType() const { return m_propertyType; }
    void setPropertyType(int type) { m_propertyType = type; }
    const Text& key() const { return m_key; }
    void setKey(const Text& key) { m_key = key; }
    const Text& title() const { return m_title; }
    void setTitle(const Text& title) { m_title = title; }
    const Text& aTitle() const { return m_aTitle; }
    void setATitle(const Text& aTitle) { m_aTitle = aTitle; }
    const Text& desc() const { return m_desc; }
    void setDesc(const Text& desc) { m_desc = desc; }
    const Text& value() const { return m_value; }
    void setValue(const Text& value) { m_value = value; }
    const Text& valueSource() const { return m_valueSource; }
    void setValueSource(const Text& valueSource) { m_valueSource = valueSource; }
    const Text& defaultValue() const { return m_defaultValue; }
    void setDefaultValue(const Text& defaultValue) { m_defaultValue = defaultValue; }

private:
    FlashTemplateProperty* m_parent = nullptr;
    int m_propertyType = pt_text;
    Text m_key;
    Text m_title = QStringLiteral("Empty");
    Text m_aTitle;
    Text m_desc;
    Text m_value;
    Text m_valueSource;
    Text m_defaultValue;
    std::vector<std::unique_ptr<FlashTemplateProperty>> m_childProperties;
};

} // namespace quire
