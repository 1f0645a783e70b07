// Styles and template-settings files.
#include "FileFilter.h"
#include "FlashTemplate.h"
#include "SettingsFormat.h"

#include "util/Console.h"
#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/Log.h"
#include "util/Resources.h"

#include <QDir>
#include <QFileInfo>

namespace quire {
namespace {

const QString kSeparator = QStringLiteral("\n\r");

// File values name full paths, which break when the program moves. A file in
// the resource folder is written as a style reference that climbs out of
// whatever style folder is current when it is read back
// ("STYLE_RESOURCE:../../float/Night/sky.jpg"), so it also names the same
// file after a change of style. A path that holds the marker itself is
// written the same way, so that reading it back takes our marker, not its own.
QString exportedFileValue(const QString& value)
{
    if (!QDir::isAbsolutePath(value))
        return value;
    const QString path = QDir::cleanPath(value);
    const QString resources = QDir::cleanPath(QFileInfo(resourceFolder()).absoluteFilePath());
    if (!path.startsWith(resources + QLatin1Char('/')) && !value.contains(kStyleResourceMarker))
        return value;
    const QDir styles(fs::join(resources, QStringLiteral("AppFiles/Styles")));
    return kStyleResourceMarker + QStringLiteral("../../") + styles.relativeFilePath(path);
}

void appendRecords(QStringList& records, const FlashTemplateProperty& property)
{
    const QString value = textOr(property.value());
    records << settings::formatRecord(textOr(property.key()),
                                      property.propertyType() == pt_file ? exportedFileValue(value) : value);
    for (const auto& child : property.childProperties())
        appendRecords(records, *child);
}

// Why a settings file may not give this file to the property; "" when it may.
// Publishing copies the file into a public book, so only what the property's
// own filter names is taken.
QString refusal(const FlashTemplateProperty& property, const QString& path)
{
    if (path.isEmpty())
        return QString(); // clears the property
    if (path.contains(QChar(0)))
        return QStringLiteral("not a file name");
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (!info.isFile())
        return QStringLiteral("not a regular file");
    if (!info.isReadable())
        return QStringLiteral("the file cannot be read");
    const QStringList extensions = fileFilterExtensions(property.valueSource());
    if (!fileFilterAllows(extensions, path) || !fileFilterAllows(extensions, info.canonicalFilePath()))
        return QStringLiteral("only .%1 files are allowed here").arg(extensions.join(QStringLiteral(", .")));
    return QString();
}

} // namespace

void FlashTemplate::exportPropertiesSettingsToArray(QStringList& records, const FlashTemplateProperty* pro) const
{
    if (pro) {
        appendRecords(records, *pro);
        return;
    }
    for (const auto& property : m_properties)
        appendRecords(records, *property);
}

QByteArray FlashTemplate::exportPropertiesSettings() const
{
    QStringList records;
    exportPropertiesSettingsToArray(records, nullptr);
    QString text;
    for (const QString& record : records)
        text += kSeparator + record;
    return text.toUtf8();
}

bool FlashTemplate::exportPropertiesSettingsTo(const QString& path, QString* error) const
{
    return fs::writeAtomically(path, exportPropertiesSettings(), error);
}

QString FlashTemplate::settingsFilePath(const QString& value, const QString& folder) const
{
    const qsizetype marker = value.indexOf(kStyleResourceMarker);
    if (marker >= 0) {
        // Exported references climb out of the style folder, so any style of
        // the template serves when none has been applied yet.
        const QString style = m_styleName ? *m_styleName : textOr(m_defaultSytleName);
        return QDir::cleanPath(fs::join(stylePathFor(m_tmplName, style), value.mid(marker + kStyleResourceMarker.size())));
    }
    if (value.isEmpty() || QDir::isAbsolutePath(value))
        return value;
    return QDir::cleanPath(fs::join(folder, value));
}

void FlashTemplate::applySettingsText(const QString& text, const QString& folder, bool checkFiles, QStringList& refused)
{
    const QString width = propertyValueFor(QStringLiteral("pageWidth"), QStringLiteral("600"));
    const QString height = propertyValueFor(QStringLiteral("pageHeight"), QStringLiteral("800"));

    for (const settings::Record& record : settings::parseRecords(text)) {
        if (record.key == QLatin1String("innerMainbgImgUrl"))
            console::line(formatMessage("key 0[%@=%@]", {record.key, record.value}));
        FlashTemplateProperty* property = findProperty(record.key);
        if (!property)
            continue;
        if (property->propertyType() != pt_file) {
            assignValue(*property, record.key, record.value);
            continue;
        }
        const QString path = settingsFilePath(record.value, folder);
        if (const QString why = checkFiles ? refusal(*property, path) : QString(); !why.isEmpty()) {
            refused << QStringLiteral("%1: \"%2\" was not taken: %3").arg(record.key, record.value, why);
            QLOG_WARN("settings value refused, %@", refused.last());
            continue;
        }
        assignValue(*property, record.key, record.value, path);
    }

    setPropertyValue(QStringLiteral("pageWidth"), width);
    setPropertyValue(QStringLiteral("pageHeight"), height);
}

SettingsImport FlashTemplate::importPropertiesSettingsFrom(const QString& path)
{
    SettingsImport result;
    const Text text = settings::readSettingsFile(path, &result.error);
    if (!text) {
        QLOG_WARN("settings file %@ not applied: %@", path, result.error);
        return result;
    }
    const QString folder = QFileInfo(path).absolutePath();
    applySettingsText(*text, folder, true, result.refused);
    return result;
}

void FlashTemplate::loadStyleByStylePath(const QString& stylePath)
{
    m_styleName = fs::lastPathComponent(stylePath);
    const QString file = fs::join(stylePath, QStringLiteral("tmplSetting.txt"));
    if (!QFileInfo::exists(file))
        return;
    QString error;
    const Text text = settings::readSettingsFile(file, &error);
    if (!text) {
        QLOG_WARN("style settings %@ not applied: %@", file, error);
        return;
    }
    QStringList refused;
    applySettingsText(*text, stylePath, false, refused);
}

void FlashTemplate::loadStyleByStyleName(const QString& styleName)
{
    loadStyleByStylePath(stylePathFor(m_tmplName, styleName));
}

void FlashTemplate::changeTmplTo(const QString& tmplName, const QString& stylePath)
{
    const QString width = propertyValueFor(QStringLiteral("pageWidth"), QStringLiteral("600"));
    const QString height = propertyValueFor(QStringLiteral("pageHeight"), QStringLiteral("800"));
    const QString language = propertyValueFor(QStringLiteral("languageSetting"), QStringLiteral(""));

    loadTemplate(tmplName);
    loadStyleByStylePath(stylePath);

    setPropertyValue(QStringLiteral("pageWidth"), width);
    setPropertyValue(QStringLiteral("pageHeight"), height);
    setPropertyValue(QStringLiteral("languageSetting"), language);
}

} // namespace quire
