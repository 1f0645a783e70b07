#include "TemplateChoice.h"

#include "templates/SettingsFormat.h"
#include "util/FileUtil.h"

#include <QFileInfo>
#include <cstdio>

namespace quire::cli {
namespace {

// Template and style names are folder names, never paths into other folders.
bool isPlainName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".")
        && name != QLatin1String("..");
}

} // namespace

QStringList templateNames()
{
    QStringList names;
    for (const QString& folder : FlashTemplate::tmplNames())
        if (QFileInfo(FlashTemplate::tmplMetaPathForName(fs::lastPathComponent(folder))).isFile())
            names << fs::lastPathComponent(folder);
    return names;
}

JobResult TemplateChoice::resolve(const Options& o)
{
    m_templateName = o.templateName;
    if (!templateNames().contains(m_templateName))
        return JobResult{kUsage,
                         QStringLiteral("unknown template \"%1\" (templates: %2)")
                             .arg(m_templateName, templateNames().join(QStringLiteral(", "))),
                         {}};

    m_template = std::make_shared<FlashTemplate>();
    m_template->loadTemplate(m_templateName);
    m_styleName = o.styleName ? *o.styleName : textOr(m_template->defaultSytleName());
    m_stylePath = FlashTemplate::stylePathFor(m_templateName, m_styleName);
    if (!isPlainName(m_styleName) || !QFileInfo(m_stylePath).isDir()) {
        QStringList styles;
        for (const QString& s : FlashTemplate::tmplStyleNamesForTmpl(m_templateName))
            styles << fs::lastPathComponent(s);
        return JobResult{kUsage,
                         QStringLiteral("template \"%1\" has no style \"%2\" (styles: %3)")
                             .arg(m_templateName, m_styleName, styles.join(QStringLiteral(", "))),
                         {}};
    }

    m_settingsFile = o.settingsFile;
    QString why;
    if (m_settingsFile && !settings::readSettingsFile(*m_settingsFile, &why))
        return JobResult{kUsage, QStringLiteral("%1: settings file %2").arg(*m_settingsFile, why), {}};
    return {};
}

std::shared_ptr<FlashTemplate> TemplateChoice::load()
{
    m_template->loadStyleByStylePath(m_stylePath);
    if (m_settingsFile) {
        const SettingsImport applied = m_template->importPropertiesSettingsFrom(*m_settingsFile);
        if (!applied.error.isEmpty())
            std::fprintf(stderr, "quire-convert: warning: %s: settings file %s\n", qPrintable(*m_settingsFile),
                         qPrintable(applied.error));
        for (const QString& refused : applied.refused)
            std::fprintf(stderr, "quire-convert: warning: %s: %s\n", qPrintable(*m_settingsFile), qPrintable(refused));
    }
    return std::move(m_template);
}

} // namespace quire::cli
