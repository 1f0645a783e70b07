#include "AppSettings.h"

#include "util/Log.h"

#include <QSettings>
#include <QVariant>
#include <array>
#include <limits>
#include <optional>
#include <variant>

namespace quire {

// The persisted fields in save and load order; a field's name is its key.
// Adding a field here is all it takes to store it.
struct AppSettingsFields {
    using Member = std::variant<QString AppSettings::*, qint32 AppSettings::*>;
    struct Field {
        const char* name;
        Member member;
    };
    static constexpr std::array<Field, 12> list{{
        {"lastImportedFile", &AppSettings::m_lastImportedFile},
        {"importPageRangeType", &AppSettings::m_importPageRangeType},
        {"importPageRange", &AppSettings::m_importPageRange},
        {"importQualityLevel", &AppSettings::m_importQualityLevel},
        {"lastOutputFileFolder", &AppSettings::m_lastOutputFileFolder},
        {"lastOutputFileName", &AppSettings::m_lastOutputFileName},
        {"lastOutputFileTitle", &AppSettings::m_lastOutputFileTitle},
        {"outputType", &AppSettings::m_outputType},
        {"importBookmark", &AppSettings::m_importBookmark},
        {"importLinks", &AppSettings::m_importLinks},
        {"PageWidth", &AppSettings::m_PageWidth},
        {"PageHeight", &AppSettings::m_PageHeight},
    }};
};

namespace {

QSettings preferences()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Inkwright"),
                     QStringLiteral("Quire"));
}

bool isInteger(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

// A stored number, or text holding one, that fits a signed 32-bit field.
std::optional<qint32> asInt32(const QVariant& v)
{
    bool ok = false;
    qlonglong n = 0;
    if (v.typeId() == QMetaType::QString)
        n = v.toString().trimmed().toLongLong(&ok);
    else if (v.typeId() == QMetaType::ULongLong || v.typeId() == QMetaType::ULong) {
        // Above the signed range a conversion would wrap into a wrong number.
        ok = v.toULongLong() <= qulonglong(std::numeric_limits<qint32>::max());
        n = ok ? qlonglong(v.toULongLong()) : 0;
    } else if (isInteger(v)) {
        n = v.toLongLong(&ok);
    }
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(n);
}

std::optional<QString> asText(const QVariant& v)
{
    if (v.typeId() == QMetaType::QString || isInteger(v))
        return v.toString();
    return std::nullopt;
}

} // namespace

AppSettings& AppSettings::shareInstance()
{
    // Initialised once under the runtime's lock; never destroyed, as dialogs
    // may still hold it while the process winds down.
    static AppSettings* const instance = new AppSettings();
    return *instance;
}

AppSettings::AppSettings()
{
    loadSettings();
}

QString AppSettings::text(const QString& field) const
{
    std::lock_guard lock(m_textLock);
    return field;
}

void AppSettings::setText(QString& field, const QString& value)
{
    std::lock_guard lock(m_textLock);
    field = value;
}

void AppSettings::loadSettings()
{
    QSettings store = preferences();
    for (const auto& field : AppSettingsFields::list) {
        const QVariant stored = store.value(QLatin1String(field.name));
        if (auto* textMember = std::get_if<QString AppSettings::*>(&field.member)) {
            // Nothing stored reads as the empty text: text fields are never absent.
            const std::optional<QString> value = stored.isValid() ? asText(stored) : QString();
            if (value)
                setText(this->*(*textMember), *value);
            else
                QLOG_WARN("settings: %@ holds a value that is not text, skipped", field.name);
        } else if (stored.isValid()) {
            const std::optional<qint32> value = asInt32(stored);
            if (value)
                this->*std::get<qint32 AppSettings::*>(field.member) = *value;
            else
                QLOG_WARN("settings: %@ holds a value that is not a 32-bit number, skipped", field.name);
        }
    }
}

void AppSettings::saveSettings()
{
    QSettings store = preferences();
    for (const auto& field : AppSettingsFields::list) {
        const QString key = QLatin1String(field.name);
        if (auto* textMember = std::get_if<QString AppSettings::*>(&field.member))
            store.setValue(key, text(this->*(*textMember)));
        else
            store.setValue(key, this->*std::get<qint32 AppSettings::*>(field.member));
    }
    store.sync();
    if (store.status() != QSettings::NoError)
        QLOG_ERROR("settings: cannot write %@", store.fileName());
}

} // namespace quire
