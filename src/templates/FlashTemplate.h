#pragma once
// The book's current template: its name, the attributes of its definition
// file, its property tree and the style applied last. Also answers where
// templates and styles lie in the resource folder.
#include "FlashTemplateProperty.h"
#include "util/Text.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace quire {

// Marks a value as a path inside the current style's folder.
inline constexpr QLatin1String kStyleResourceMarker("STYLE_RESOURCE:");

// What applying a settings file did besides setting values.
struct SettingsImport {
    QString error;       // why the file was not read (nothing changed); "" when it was
    QStringList refused; // one line for each value that was not taken, with the reason
};

class FlashTemplate {
public:
    using PropertyList = std::vector<std::unique_ptr<FlashTemplateProperty>>;

    // Loads the default template "float"; no style is applied.
    FlashTemplate();
    FlashTemplate(const FlashTemplate&) = delete;
    FlashTemplate& operator=(const FlashTemplate&) = delete;

    // Catalogue.
    static QStringList tmplNames();
    static QString tmplPathForName(const QString& name);       // ends in "/"
    static QString tmplMetaPathForName(const QString& name);
    static QStringList tmplStyleNamesForTmpl(const QString& name);
    static QString stylePathFor(const QString& tmplName, const QString& styleName);
    static QString tmplDataPath();                              // ends in "/"

    // Replaces name, definition attributes and property tree.
    void loadTemplate(const QString& name);

    // Lookups and sets by key, in depth-first pre-order.
    QString propertyValueFor(const QString& key, const QString& defaultValue) const;
    Text propertyValueFor(const FlashTemplateProperty* property, const QString& key) const;
    void setPropertyValue(const QString& key, const QString& value);
    bool setPropertyValueAt(FlashTemplateProperty* property, const QString& key, const QString& value);
    FlashTemplateProperty* findProperty(const QString& key) const;

    // Resolves a "STYLE_RESOURCE:" reference against the current style.
    QString valueAsFilePath(const QString& value) const;

    Text tmplHTMLFilePath() const;
    // Replaces destination with the template's viewer movie, or removes it
    // when the template has none. False, with the reason, when the copy fails.
    bool copyBookSWFToFile(const QString& destination, QString* error = nullptr) const;

    // Styles and settings files.
    void loadStyleByStylePath(const QString& stylePath);
    void loadStyleByStyleName(const QString& styleName);
    void changeTmplTo(const QString& tmplName, const QString& stylePath);
    // Values of file properties must name a regular file that the property's
    // filter allows; others are refused and the property keeps its value.
    SettingsImport importPropertiesSettingsFrom(const QString& path);
    // False, with the reason in *error, when the file cannot be written.
    bool exportPropertiesSettingsTo(const QString& path, QString* error = nullptr) const;
    void exportPropertiesSettingsToArray(QStringList& records, const FlashTemplateProperty* pro) const;
    QByteArray exportPropertiesSettings() const; // the bytes exportPropertiesSettingsTo writes

    // Fields.
    const QString& tmplName() const { return m_tmplName; }
    void setTmplName(const QString& name) { m_tmplName = name; }
    const PropertyList& properties() const { return m_properties; }
    PropertyList& properties() { return m_properties; }
    const Text& SWFFilePath() const { return m_SWFFilePath; }
    void setSWFFilePath(const Text& v) { m_SWFFilePath = v; }
    const Text& HTMLFilePath() const { return m_HTMLFilePath; }
    void setHTMLFilePath(const Text& v) { m_HTMLFilePath = v; }
    const Text& mobileTmplFilesPath() const { return m_mobileTmplFilesPath; }
    void setMobileTmplFilesPath(const Text& v) { m_mobileTmplFilesPath = v; }
    const Text& macAppFilesFolder() const { return m_macAppFilesFolder; }
    void setMacAppFilesFolder(const Text& v) { m_macAppFilesFolder = v; }
    const Text& defaultSytleName() const { return m_defaultSytleName; }
    void setDefaultSytleName(const Text& v) { m_defaultSytleName = v; }
    const Text& styleName() const { return m_styleName; }
    void setStyleName(const Text& v) { m_styleName = v; }

private:
    // Applies a settings file read from folder; styles are trusted with any
    // file, settings files from elsewhere are checked.
    void applySettingsText(const QString& text, const QString& folder, bool checkFiles, QStringList& refused);
    // The full path a file value of a settings file names.
    QString settingsFilePath(const QString& value, const QString& folder) const;
    // Sets a found property's value, resolving style resources of files
    // unless the file's path is given.
    void assignValue(FlashTemplateProperty& property, const QString& key, const QString& value,
                     const Text& filePath = std::nullopt) const;

    QString m_tmplName = QStringLiteral("float");
    PropertyList m_properties;
    Text m_SWFFilePath;
    Text m_HTMLFilePath;
    Text m_mobileTmplFilesPath;
    Text m_macAppFilesFolder;
    Text m_defaultSytleName = QStringLiteral("Blank");
    Text m_styleName;
};

} // namespace quire
