// The settings are saved here and read back by settings_probe, a separate
// process sharing this test's HOME (or a fresh one), which also checks that
// racing threads get one shared instance.
#include "app/AppSettings.h"
#include "support/TestEnv.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

// The ten fields with getters, as a new process loads them.
QJsonObject loadInNewProcess(const QString& home = {})
{
    QProcess probe;
    if (!home.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", home + "/.config");
        probe.setProcessEnvironment(env);
    }
    probe.start(QUIRE_SETTINGS_PROBE, {});
    EXPECT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
}

// Saves text and number, varied, in every field of an emptied store.
QJsonObject saveKnownValues(const QString& text = "text", qint32 number = 2)
{
    QSettings("Inkwright", "Quire").clear();
    quire::AppSettings& s = quire::AppSettings::shareInstance();
    s.setLastImportedFile(text + "-file");
    s.setImportPageRangeType(number);
    s.setImportPageRange(text);
    s.setImportQualityLevel(number - 1);
    s.setLastOutputFileFolder(text + "-folder");
    s.setLastOutputFileName(text + "-name");
    s.setLastOutputFileTitle(text + "-title");
    s.setOutputType(1);
    s.setImportBookmark(1);
    s.setImportLinks(0);
    s.saveSettings();
    return {{"lastImportedFile", text + "-file"}, {"importPageRangeType", number}, {"importPageRange", text},
            {"importQualityLevel", number - 1}, {"lastOutputFileFolder", text + "-folder"},
            {"lastOutputFileName", text + "-name"}, {"lastOutputFileTitle", text + "-title"},
            {"outputType", 1}, {"importBookmark", 1}, {"importLinks", 0}};
}

} // namespace

TEST(AppSettings, FirstRunReadsEmptyTextsAndZeros)
{
    quire::test::TempDir home;
    const QJsonObject loaded = loadInNewProcess(home.path());
    ASSERT_EQ(loaded.size(), 10);
    for (const QJsonValue& v : loaded)
        EXPECT_TRUE(v == QJsonValue("") || v == QJsonValue(0));
}

TEST(AppSettings, SavedValuesReachTheNextProcess)
{
    const std::pair<QString, qint32> rows[] = {
        {"1-3, 5", 2147483647},                     // a comma must not make the text a list
        {" @Variant(x) ", -2147483647},             // the store's own markup, surrounding spaces
        {"Grüße/日本語 = \"q\";#\ntwo lines", 0},
    };
    for (const auto& [text, number] : rows) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(loadInNewProcess(), saveKnownValues(text, number));

        // Saving again unchanged leaves the file alone.
        QSettings raw("Inkwright", "Quire");
        const QByteArray before = quire::test::readFile(raw.fileName());
        quire::AppSettings::shareInstance().saveSettings();
        EXPECT_EQ(quire::test::readFile(raw.fileName()), before);
    }
}

TEST(AppSettings, StoredValuesThatDoNotFitAreSkipped)
{
    const struct {
        const char* key;
        QVariant stored; // invalid: the key is removed
        QJsonValue loaded;
    } rows[] = {
        {"importQualityLevel", "4", 4},
        {"importQualityLevel", "abc", 0},
        {"importPageRangeType", "99999999999", 0},
        {"importPageRangeType", QStringList{"1", "2"}, 0},
        {"lastOutputFileTitle", QStringList{"a", "b"}, ""},
        {"importBookmark", QVariant(), 0},
        {"importPageRange", QVariant(), ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key + (" = " + row.stored.toString()).toStdString());
        QJsonObject expected = saveKnownValues();
        QSettings raw("Inkwright", "Quire");
        row.stored.isValid() ? raw.setValue(row.key, row.stored) : raw.remove(row.key);
        raw.sync();
        // The key reads as with nothing stored; the others load all the same.
        expected[row.key] = row.loaded;
        EXPECT_EQ(loadInNewProcess(), expected);
    }
}
