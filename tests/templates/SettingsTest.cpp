// Template settings files written and read, styles, and file values.
#include "TemplateFixture.h"
#include "templates/FileFilter.h"
#include "templates/FlashTemplate.h"
#include "templates/SettingsFormat.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

using namespace quire;
using namespace quire::test;

namespace {

// A file property whose chooser takes the files `filter` names (an empty one, any file).
QString fileXml(const QString& key, const QString& filter)
{
    return propertyXml("pt_file", key, "").replace("<valueSource>vs<", "<valueSource>" + filter + "<");
}

// The values of `keys`, "?" for an absent one.
QStringList values(const FlashTemplate& t, const QStringList& keys)
{
    QStringList out;
    for (const QString& key : keys)
        out << t.propertyValueFor(key, "?");
    return out;
}

} // namespace

class SettingsTest : public ResourceFixture {
protected:
    void SetUp() override
    {
        ResourceFixture::SetUp();
        addTemplate("float", definitionXml(propertyXml("pt_text", "a", "1", propertyXml("pt_text", "b", "x=y"))
                                           + propertyXml("pt_number", "pageWidth", "1024")
                                           + propertyXml("pt_number", "pageHeight", "700")
                                           + fileXml("bg", "") + propertyXml("pt_text", "about", "")
                                           + fileXml("pic", "Pictures|*.jpg;*.png")));
        addTemplate("other", definitionXml(propertyXml("pt_number", "pageWidth", "300")
                                           + propertyXml("pt_number", "pageHeight", "400")
                                           + propertyXml("pt_list", "languageSetting", "fr")
                                           + fileXml("bg", "") + propertyXml("pt_text", "a", "other")));
    }
};

TEST_F(SettingsTest, ExportFormatByteForByteAndLenientImport)
{
    FlashTemplate t;
    EXPECT_EQ(t.exportPropertiesSettings(),
              QByteArray("\n\ra=1\n\rb=x=y\n\rpageWidth=1024\n\rpageHeight=700\n\rbg=\n\rabout=\n\rpic="));
    // (Written to a file: the round trips below and the converter's export.)
    const QString path = dir.file("in.txt");

    t.properties()[0]->setKey(QStringLiteral("multi\n\rline"));
    t.properties()[0]->setValue(QStringLiteral("v\nw"));
    QStringList records;
    t.exportPropertiesSettingsToArray(records, t.properties()[0].get());
    EXPECT_EQ(records.first(), "\\multi|||line=v\\nw"); // escaped, as the value holds a line break

    addTemplate("empty", definitionXml(""));
    t.loadTemplate("empty");
    EXPECT_TRUE(t.exportPropertiesSettings().isEmpty());

    // Import is lenient and keeps the page size; escapes count only in escaped records.
    t.loadTemplate("float");
    writeFile(path, "a=one\r\nb=p=q\nno equals sign\npageWidth=5\n\rpageHeight=6\nunknown=1\na=last\n"
                    "about=C:\\new\\rates\\\n");
    t.importPropertiesSettingsFrom(path);
    EXPECT_EQ(values(t, {"a", "b", "pageWidth", "pageHeight", "about"}),
              QStringList({"last", "p=q", "1024", "700", "C:\\new\\rates\\"}));
}

// A style's files resolve into its own folder; a style without settings
// keeps the values; a style's page size never applies; switching template
// keeps the page size and language, a language the old template lacks
// becoming the empty text (the shipped styles: tests/styles).
TEST_F(SettingsTest, StylesResolveIntoTheirOwnFolderAndSwitchingTemplateKeepsPageSizeAndLanguage)
{
    addStyle("float", "Blank", "\n\rbg=STYLE_RESOURCE:bg.jpg\n\ra=styled\n\rpageWidth=1");
    addStyle("other", "Dark", "\n\rpageWidth=9\n\rbg=STYLE_RESOURCE:dark.png\n\rlanguageSetting=de");
    QDir().mkpath(res("AppFiles/Styles/float/NoSettings"));
    FlashTemplate t;
    t.loadStyleByStyleName("Blank");
    t.loadStyleByStylePath(res("AppFiles/Styles/float/NoSettings"));
    EXPECT_EQ(t.styleName(), QString("NoSettings"));
    EXPECT_EQ(values(t, {"bg", "a", "pageWidth"}),
              QStringList({res("AppFiles/Styles/float/Blank/bg.jpg"), "styled", "1024"}));
    t.changeTmplTo("other", res("AppFiles/Styles/other/Dark"));
    EXPECT_EQ(t.tmplName() + "/" + textOr(t.styleName()), "other/Dark");
    EXPECT_EQ(values(t, {"pageWidth", "pageHeight", "languageSetting", "bg", "a"}),
              QStringList({"1024", "700", "", res("AppFiles/Styles/other/Dark/dark.png"), "other"}));
}

TEST_F(SettingsTest, ValuesSurviveExportAndImportWhole)
{
    const QString kept[] = {
        "an about text\nwith=lines\n\rand a separator\n", "carriage\rreturn",
        "\\starts and ends with a backslash\\", "literal \\n and \\\\", "STYLE_RESOURCE:a STYLE_RESOURCE:b",
    };
    for (const QString& value : kept) {
        SCOPED_TRACE(value.toStdString());
        FlashTemplate t;
        t.findProperty("about")->setValue(value);
        t.findProperty("a")->setKey("\\a");
        t.findProperty("\\a")->setValue("key with a backslash");
        ASSERT_TRUE(t.exportPropertiesSettingsTo(dir.file("out.txt")));
        t.findProperty("about")->setValue("before");
        t.findProperty("\\a")->setValue("before");
        EXPECT_TRUE(t.importPropertiesSettingsFrom(dir.file("out.txt")).error.isEmpty());
        EXPECT_EQ(values(t, {"about", "\\a"}), QStringList({value, "key with a backslash"}));
    }
}

TEST_F(SettingsTest, UnreadableFilesChangeNothingAndSayWhy)
{
    QDir().mkpath(dir.file("folder"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("fifo")).constData(), 0600), 0);
    writeFile(dir.file("latin1.txt"), "\n\rabout=caf\xe9");
    writeFile(dir.file("huge.txt"), "\n\rabout=" + QByteArray(settings::kMaxFileSize, 'x'));
    const std::pair<QString, QString> cases[] = { // the file, why it is refused
        {dir.file("missing.txt"), "cannot be opened: No such file or directory"},
        {dir.file("folder"), "is a folder, not a file"},
        {"/dev/zero", "is not a regular file"},
        {dir.file("fifo"), "is not a regular file"},
        {dir.file("latin1.txt"), "is not UTF-8 text"},
        {dir.file("huge.txt"), "is larger than"},
    };
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.toStdString());
        FlashTemplate t;
        const SettingsImport result = t.importPropertiesSettingsFrom(path);
        EXPECT_TRUE(result.error.startsWith(reason)) << result.error.toStdString();
        EXPECT_EQ(values(t, {"about"}), QStringList{""});
    }
}

TEST_F(SettingsTest, FilePropertiesTakeOnlyRegularFilesTheirFilterAllows)
{
    writeFile(dir.file("in/pic.jpg"), "j");
    writeFile(dir.file("in/UPPER.PNG"), "p");
    writeFile(dir.file("in/secret"), "s");
    writeFile(dir.file("in/notes.txt"), "t");
    QDir().mkpath(dir.file("in/folder.jpg"));
    QFile::link(dir.file("in/secret"), dir.file("in/link.jpg"));
    const std::tuple<QString, QString, QString> cases[] = { // value, taken ("" when refused), why refused
        {"/etc/passwd", "", "only .jpg, .png files are allowed here"},
        {dir.file("in/notes.txt"), "", "only .jpg, .png files are allowed here"},
        {dir.file("in/link.jpg"), "", "only .jpg, .png files are allowed here"},
        {dir.file("in/folder.jpg"), "", "not a regular file"},
        {dir.file("in/missing.jpg"), "", "no such file"},
        {dir.file("in/pic.jpg"), dir.file("in/pic.jpg"), ""},
        {"pic.jpg", dir.file("in/pic.jpg"), ""}, // relative to the settings file
        {"x/../UPPER.PNG", dir.file("in/UPPER.PNG"), ""},
    };
    for (const auto& [value, taken, reason] : cases) {
        SCOPED_TRACE(value.toStdString());
        FlashTemplate t;
        t.findProperty("pic")->setValue("before");
        writeFile(dir.file("in/settings.txt"), ("\n\rpic=" + value).toUtf8());
        const SettingsImport result = t.importPropertiesSettingsFrom(dir.file("in/settings.txt"));
        EXPECT_EQ(t.propertyValueFor("pic", ""), taken.isEmpty() ? "before" : taken);
        EXPECT_EQ(result.refused.join('|'), reason.isEmpty() ? "" : "pic: \"" + value + "\" was not taken: " + reason);
    }
    // A filter that names no extension takes any regular file; the empty value clears.
    FlashTemplate t;
    writeFile(dir.file("in/settings.txt"), ("\n\rbg=" + dir.file("in/secret") + "\n\rpic=").toUtf8());
    EXPECT_TRUE(t.importPropertiesSettingsFrom(dir.file("in/settings.txt")).refused.isEmpty());
    EXPECT_EQ(values(t, {"bg", "pic"}), QStringList({dir.file("in/secret"), ""}));
}

TEST_F(SettingsTest, ResourceFilesSurviveAMoveAndAChangeOfStyle)
{
    addStyle("float", "Blank", "");
    addStyle("float", "Night", "");
    writeFile(res("AppFiles/Styles/float/Night/sky.jpg"), "j");
    writeFile(res("AppFiles/Styles/float/Night/a/STYLE_RESOURCE:b.jpg"), "j");
    writeFile(res("AppFiles/Sounds/turn.ogg"), "o");
    writeFile(dir.file("out/STYLE_RESOURCE:c.jpg"), "j");
    writeFile(dir.file("out/plain.jpg"), "j");
    const std::tuple<QString, QString, bool> cases[] = { // value, record as exported ("" unread), in the resources
        {res("AppFiles/Styles/float/Night/sky.jpg"), "bg=STYLE_RESOURCE:../../float/Night/sky.jpg", true},
        {res("AppFiles/Styles/float/Night/a/STYLE_RESOURCE:b.jpg"),
         "bg=STYLE_RESOURCE:../../float/Night/a/STYLE_RESOURCE:b.jpg", true},
        {res("AppFiles/Sounds/turn.ogg"), "bg=STYLE_RESOURCE:../../../Sounds/turn.ogg", true},
        {dir.file("out/STYLE_RESOURCE:c.jpg"), "", false},
        {dir.file("out/plain.jpg"), "bg=" + dir.file("out/plain.jpg"), false},
    };
    int n = 0;
    for (const auto& [value, record, inResources] : cases) {
        FlashTemplate t;
        t.loadStyleByStyleName("Night");
        t.findProperty("bg")->setValue(value);
        QStringList records;
        t.exportPropertiesSettingsToArray(records, t.findProperty("bg"));
        EXPECT_TRUE(record.isEmpty() || records.value(0) == record) << records.value(0).toStdString();
        ASSERT_TRUE(t.exportPropertiesSettingsTo(dir.file(QString("settings%1.txt").arg(n++))));
    }

    const QString moved = dir.file("moved");
    ASSERT_TRUE(QDir().rename(res(""), moved));
    setResourceFolder(moved);
    n = 0;
    for (const auto& [value, record, inResources] : cases) {
        SCOPED_TRACE(value.toStdString());
        FlashTemplate t;
        t.loadStyleByStyleName("Blank");
        const SettingsImport result = t.importPropertiesSettingsFrom(dir.file(QString("settings%1.txt").arg(n++)));
        EXPECT_TRUE(result.refused.isEmpty()) << result.refused.join("\n").toStdString();
        EXPECT_EQ(t.propertyValueFor("bg", ""), inResources ? QString(value).replace(res(""), moved + "/") : value);
    }
}

TEST(FileFilter, ExtensionsAsTheFileChooserReadsThem)
{
    const std::pair<Text, QStringList> cases[] = {
        {"Pictures|*.jpg;*.jpeg;*.png", {"jpg", "jpeg", "png"}},
        {"*.wav;*.MP3", {"wav", "MP3"}},
        {"Archives|*.tar.gz|more", {"tar.gz"}},
        {std::nullopt, {}},
        {"", {}},
        {"jpg", {"jpg"}},
        {"a|*.gif|*.bmp", {"gif"}},
        {"Pictures (*.jpg)", {}},
        {"Pictures|", {}},
        {"All files|*.*", {}},
    };
    for (const auto& [filter, extensions] : cases)
        EXPECT_EQ(fileFilterExtensions(filter), extensions) << textOr(filter, "none").toStdString();

    EXPECT_TRUE(fileFilterAllows({"jpg", "tar.gz"}, "/a/x.tar.gz") && !fileFilterAllows({"jpg"}, "/a.jpg/b"));
}
