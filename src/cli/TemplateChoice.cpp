#include "TemplateChoice.h"

#include "util/FileUtil.h"

#include <QFileInfo>

namespace quire::cli {

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
    if (m_styleName.isEmpty() || !QFileInfo(m_stylePath).isDir()) {
        QStringList styles;
        for (const QString& s : FlashTemplate::tmplStyleNamesForTmpl(m_templateName))
            styles << fs::lastPathComponent(s);
        return JobResult{kUsage,
                         QStringLiteral("template \"%1\" has no style \"%2\" (styles: %3)")
                             .arg(m_templateName, m_styleName, styles.join(QStringLiteral(", "))),
                         {}};
    }

    m_settingsFile = o.settingsFile;
    if (m_settingsFile && !QFileInfo(*m_settingsFile).isReadable())
        return JobResult{kUsage, QStringLiteral("%1: settings file cannot be read").arg(*m_settingsFile), {}};
    return {};
}

std::shared_ptr<FlashTemplate> TemplateChoice::load()
{
    m_template->loadStyleByStylePath(m_stylePath);
    if (m_settingsFile)
        m_template->importPropertiesSettingsFrom(*m_settingsFile);
    return std::move(m_template);
}

} // namespace quire::cli
