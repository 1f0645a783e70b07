// The application's log file, working folders, folder walk and trust file;
// its settings, saved here and read back by settings_probe, a separate process
// sharing this test's HOME, which also checks that racing
// threads get one shared instance.
#include "app/AppLog.h"
#include "app/AppSettings.h"
#include "app/QuillUtility.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

using namespace quire;
using test::readFile;
using test::writeFile;

TEST(AppLog, ShippedConfigurationWritesTheLogFileInTheUsersDataFolder)
{
    EXPECT_TRUE(logFilePath().startsWith(test::testHome() + "/.local/share/")) << logFilePath().toStdString();
    prepaireTheLog();
    QLOG_INFO("version is:%@", "test");
    QLOG_DEBUG("below the shipped threshold");
    const QByteArray text = readFile(logFilePath());
    EXPECT_TRUE(text.contains(" INFO  [") && text.contains("AppTest.cpp:") && text.contains("version is:test"));
    EXPECT_FALSE(text.contains("below the shipped threshold"));
}

TEST(QuillUtility, WorkingFoldersAreFreshAndSideBySideAndTheWalkIsDepthFirstByName)
{
    // (Apart, in /tmp/Sheaf: each page source's own folder in PageConversion.)
    const QString a = QuillUtility::forceTmpDiractory("Sheaf"), b = QuillUtility::forceTmpDiractory("Sheaf");
    EXPECT_EQ(QFileInfo(a).absolutePath(), QFileInfo(b).absolutePath());
    EXPECT_TRUE(QFileInfo(a).isDir() && QDir(a).isEmpty());
    QuillUtility::removeTmpDiractory(a);
    QuillUtility::removeTmpDiractory(b);

    test::TempDir dir;
    QDir().mkpath(dir.file("B"));
    QDir().mkpath(dir.file("A/C"));
    writeFile(dir.file("A/file.txt"), "x");
    QFile::link(dir.file("A"), dir.file("Link"));
    EXPECT_EQ(QuillUtility::subFolderOfFolder(dir.path()), (QStringList{dir.file("A"), dir.file("A/C"), dir.file("B")}));
    EXPECT_TRUE(QuillUtility::subFolderOfFolder(dir.file("missing")).isEmpty());
    EXPECT_TRUE(QuillUtility::subFolderOfFolder(dir.file("B")).isEmpty());
}

TEST(QuillUtility, SweepRemovesOnlyFoldersWhoseProcessEnded)
{
    test::TempDir dir;
    QuillUtility::setTmpBaseFolder(dir.path());
    const QString own = QuillUtility::forceTmpDiractory("Sheaf");
    writeFile(own + "/1.jpg", "x");
    const QString other = dir.file("Sheaf/temp.other");     // another process's, until its lock is let go
    const QString foreign = dir.file("Sheaf/temp.foreign"); // made by some other program: no lock
    QDir().mkpath(foreign);
    writeFile(other + "/2.jpg", "x");
    writeFile(other + ".lock", "");
    // A lock is held per open file, so one opened here stands for another process.
    const int held = ::open(QFile::encodeName(other + ".lock").constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(QuillUtility::sweepTmpDiractories("Sheaf"), 0);
    ::close(held);
    writeFile(dir.file("Sheaf/temp.gone.lock"), ""); // its folder was removed by someone else
    EXPECT_EQ(QuillUtility::sweepTmpDiractories("Sheaf"), 2);
    EXPECT_FALSE(QFileInfo::exists(other) || QFileInfo::exists(other + ".lock") ||
                 QFileInfo::exists(dir.file("Sheaf/temp.gone.lock")));
    EXPECT_TRUE(QFileInfo::exists(own + "/1.jpg") && QFileInfo(foreign).isDir());
    QuillUtility::removeTmpDiractory(own);
    EXPECT_FALSE(QFileInfo::exists(own) || QFileInfo::exists(own + ".lock"));
    QuillUtility::setTmpBaseFolder(QString());
}

TEST(QuillUtility, TrustFileGetsEachFolderOnceAsUtf16AndForeignFilesAreLeftAlone)
{
    const auto utf16le = [](const QString& text) {
        return QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    };
    test::TempDir dir;
    QuillUtility::setFlashTrustFolder(dir.file("trust"));
    const QString file = dir.file("trust/PT.cfg");
    // The file before (none when empty), the folder added, the file after.
    const std::tuple<QByteArray, QString, QByteArray> cases[] = {
        {{}, "/a", utf16le("/a")},
        {utf16le("/a\n/b"), "/b", utf16le("/a\n/b")},
        {utf16le("/b"), "/b/ü", utf16le("/b\n/b/ü")}, // compared exactly
        {QByteArray("\xFE\xFF\x00/\x00x", 6), "/x", QByteArray("\xFE\xFF\x00/\x00x", 6)}, // not ours: big-endian
        {"/plain\n/ascii", "/y", "/plain\n/ascii"},
    };
    for (const auto& [before, folder, after] : cases) {
        QFile::remove(file);
        if (!before.isEmpty())
            writeFile(file, before);
        QuillUtility::makeDiractoryTrustByFlash(folder);
        EXPECT_EQ(readFile(file), after) << folder.toStdString();
    }
    QuillUtility::setFlashTrustFolder(QString());
}

namespace {

// The ten fields with getters, as a new process loads them.
QJsonObject loadInNewProcess()
{
    const test::ToolRun probe = test::runTool(QUIRE_SETTINGS_PROBE, {});
    EXPECT_EQ(probe.status, 0) << probe.err.toStdString();
    return QJsonDocument::fromJson(probe.out.toUtf8()).object();
}

// Saves text and number, varied, in every field of an emptied store.
QJsonObject saveKnownValues(const QString& text = "text", qint32 number = 2)
{
    QSettings("Inkwright", "Quire").clear();
    AppSettings& s = AppSettings::shareInstance();
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
        const QByteArray before = test::readFile(raw.fileName());
        AppSettings::shareInstance().saveSettings();
        EXPECT_EQ(test::readFile(raw.fileName()), before);
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
