// Template-settings files: applying any file is safe, and what a template
// exports after it reads back to the same export. The template is
// settings-template.xml, with a style that names a file of its own.
#include "FuzzSupport.h"
#include "templates/FlashTemplate.h"
#include "util/Resources.h"

#include <QDir>

using namespace quire;

namespace {

QByteArray exportAfterImport(const QString& path)
{
    FlashTemplate t;
    t.loadStyleByStyleName("Blank");
    t.importPropertiesSettingsFrom(path);
    return t.exportPropertiesSettings();
}

} // namespace

void fuzz::setUp(char*)
{
    setResourceFolder(fuzz::workFile("res"));
    for (const char* folder : {"res/AppFiles/Templates/float", "res/AppFiles/Styles/float/Blank", "in"})
        QDir().mkpath(fuzz::workFile(folder));
    QFile::copy(QUIRE_FUZZ_DATA "/settings-template.xml",
                fuzz::workFile("res/AppFiles/Templates/float/flashTemplate.xml"));
    fuzz::writeFile(fuzz::workFile("res/AppFiles/Styles/float/Blank/tmplSetting.txt"), "\n\rb=STYLE_RESOURCE:sky.jpg");
    for (const char* file : {"res/AppFiles/Styles/float/Blank/sky.jpg", "in/pic.jpg", "in/pic.png"})
        fuzz::writeFile(fuzz::workFile(file), "picture");
    fuzz::check(FlashTemplate().findProperty("innerMainbgImgUrl"), "the template loads");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::writeFile(fuzz::workFile("in/settings.txt"), fuzz::bytes(data, size));
    const QByteArray first = exportAfterImport(fuzz::workFile("in/settings.txt"));
    fuzz::writeFile(fuzz::workFile("in/again.txt"), first);
    const QByteArray second = exportAfterImport(fuzz::workFile("in/again.txt"));
    fuzz::check(first == second, "an export reads back to itself", QString::fromUtf8(first + "\n----\n" + second));
    return 0;
}
