#pragma once
// The user's last choices in the import and publish dialogs, kept from one run
// to the next in the user's preferences (QSettings, "Inkwright" / "Quire").
// One instance per process; loading and saving walk a fixed field list, each
// field's name being its preference key.
#include <QString>
#include <QtGlobal>
#include <mutex>

namespace quire {

class AppSettings {
public:
    // The shared instance, created and loaded on the first call from any thread.
    static AppSettings& shareInstance();

    // A new object loaded from the preferences; text fields are never absent.
    AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // Reads every field; a key with nothing stored, or with a value that does
    // not fit its field, leaves that field as it was.
    void loadSettings();
    // Writes every field and flushes the preferences before returning.
    void saveSettings();

    QString lastImportedFile() const { return text(m_lastImportedFile); }
    void setLastImportedFile(const QString& v) { setText(m_lastImportedFile, v); }
    qint32 importPageRangeType() const { return m_importPageRangeType; }
    void setImportPageRangeType(qint32 v) { m_importPageRangeType = v; }
    QString importPageRange() const { return text(m_importPageRange); }
    void setImportPageRange(const QString& v) { setText(m_importPageRange, v); }
    qint32 importQualityLevel() const { return m_importQualityLevel; }
    void setImportQualityLevel(qint32 v) { m_importQualityLevel = v; }
    QString lastOutputFileFolder() const { return text(m_lastOutputFileFolder); }
    void setLastOutputFileFolder(const QString& v) { setText(m_lastOutputFileFolder, v); }
    QString lastOutputFileName() const { return text(m_lastOutputFileName); }
    void setLastOutputFileName(const QString& v) { setText(m_lastOutputFileName, v); }
    QString lastOutputFileTitle() const { return text(m_lastOutputFileTitle); }
    void setLastOutputFileTitle(const QString& v) { setText(m_lastOutputFileTitle, v); }
    qint32 outputType() const { return m_outputType; }
    void setOutputType(qint32 v) { m_outputType = v; }
    qint32 importBookmark() const { return m_importBookmark; }
    void setImportBookmark(qint32 v) { m_importBookmark = v; }
    qint32 importLinks() const { return m_importLinks; }
    void setImportLinks(qint32 v) { m_importLinks = v; }

private:
    friend struct AppSettingsFields;

    // Texts are read and replaced whole under the lock, so a reader on another
    // thread never sees a half-assigned string.
    QString text(const QString& field) const;
    void setText(QString& field, const QString& value);

    mutable std::mutex m_textLock;
    QString m_lastImportedFile;
    qint32 m_importPageRangeType = 0;
    QString m_importPageRange;
    qint32 m_importQualityLevel = 0;
    QString m_lastOutputFileFolder;
    QString m_lastOutputFileName;
    QString m_lastOutputFileTitle;
    qint32 m_outputType = 0;
    qint32 m_importBookmark = 0;
    qint32 m_importLinks = 0;
    qint32 m_PageWidth = 0;
    qint32 m_PageHeight = 0;
};

} // namespace quire
