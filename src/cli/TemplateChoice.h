#pragma once
// The template, style and settings file a run asks for, checked before any
// work starts.
#include "ConvertJob.h"
#include "templates/FlashTemplate.h"

#include <memory>

namespace quire::cli {

class TemplateChoice {
public:
    // Checks that the template, its style and the settings file exist.
    JobResult resolve(const Options& options);
    // The template resolve() read, with its style (and settings) applied;
    // call once, after a successful resolve().
    std::shared_ptr<FlashTemplate> load();

    const QString& styleName() const { return m_styleName; }

private:
    QString m_templateName;
    QString m_styleName;
    QString m_stylePath;
    std::optional<QString> m_settingsFile;
    std::shared_ptr<FlashTemplate> m_template;
};

QStringList templateNames();

} // namespace quire::cli
