// Styles and template-settings files.
#include "FlashTemplate.h"

#include "util/Console.h"
#include "util/FileUtil.h"
#include "util/Format.h"

#include <QFile>

namespace quire {
namespace {

const QString kSeparator = QStringLiteral("\n\r");

void appendRecords(QStringList& records, const FlashTemplateProperty& property)
{
    QString key = textOr(property.key());
    key.replace(kSeparator, QStringLiteral("|||"));
    records << key + QLatin1Char('=') + textOr(property.value());
    for (const auto& child : property.childProperties())
        appendRecords(records, *child);
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

bool FlashTemplate::exportPropertiesSettingsTo(const QString& path) const
{
    return fs::writeAtomically(path, exportPropertiesSettings());
}

void FlashTemplate::applySettingsText(const QString& text)
{
    const QString width = propertyValueFor(QStringLiteral("pageWidth"), QStringLiteral("600"));
    const QString height = propertyValueFor(QStringLiteral("pageHeight"), QStringLiteral("800"));

    for (QString line : text.split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\r'));
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq);
        const QString value = line.mid(eq + 1);
        if (key == QLatin1String("innerMainbgImgUrl"))
            console::line(formatMessage("key 0[%@=%@]", {key, value}));
        setPropertyValue(key, value);
    }

    setPropertyValue(QStringLiteral("pageWidth"), width);
    setPropertyValue(QStringLiteral("pageHeight"), height);
}

void FlashTemplate::importPropertiesSettingsFrom(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    applySettingsText(QString::fromUtf8(file.readAll()));
}

void FlashTemplate::loadStyleByStylePath(const QString& stylePath)
{
    m_styleName = fs::lastPathComponent(stylePath);
    importPropertiesSettingsFrom(fs::join(stylePath, QStringLiteral("tmplSetting.txt")));
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
