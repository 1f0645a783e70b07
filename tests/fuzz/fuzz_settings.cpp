// Template-settings files: applying any file is safe, and what a template
// exports after it reads back to the same export.
#include "FuzzSupport.h"
#include "templates/FlashTemplate.h"
#include "util/Resources.h"

#include <QDir>
#include <cstdint>

using namespace quire;

namespace {

QString property(const char* type, const char* key, const char* value, const char* filter,
                 const QString& children = QString())
{
    return QStringLiteral("<property type=\"%1\"><key>%2</key><title>t</title><desc>d</desc><value>%3</value>"
                          "<valueSource>%4</valueSource><defaultValue/>%5</property>")
        .arg(type, key, value, filter,
             children.isEmpty() ? QString() : "<childProperties>" + children + "</childProperties>");
}

QByteArray exportAfterImport(const QString& path)
{
    FlashTemplate t;
    t.loadStyleByStyleName(QStringLiteral("Blank"));
    t.importPropertiesSettingsFrom(path);
    return t.exportPropertiesSettings();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLogs();
    const QString res = fuzz::workFile(QStringLiteral("res"));
    setResourceFolder(res);
    QDir().mkpath(res + "/AppFiles/Templates/float");
    QDir().mkpath(res + "/AppFiles/Styles/float/Blank");
    QDir().mkpath(fuzz::workFile(QStringLiteral("in")));
    const QString properties =
        property("pt_text", "a", "1", "", property("pt_file", "b", "", "Pictures|*.jpg;*.png"))
        + property("pt_number", "pageWidth", "600", "") + property("pt_file", "bg", "none.jpg", "")
        + property("pt_text", "about", "", "") + property("pt_file", "innerMainbgImgUrl", "", "*.png");
    fuzz::writeFile(res + "/AppFiles/Templates/float/flashTemplate.xml",
                    ("<flashTemplate><info><htmlPath>i.html</htmlPath><swfPath>b.swf</swfPath><defaultStyle>Blank"
                     "</defaultStyle><macAppFilesFolder/><mobileTmplFilesPath/></info><properties>"
                     + properties + "</properties></flashTemplate>")
                        .toUtf8());
    fuzz::writeFile(res + "/AppFiles/Styles/float/Blank/tmplSetting.txt", "\n\rb=STYLE_RESOURCE:sky.jpg");
    fuzz::writeFile(res + "/AppFiles/Styles/float/Blank/sky.jpg", "j");
    fuzz::writeFile(fuzz::workFile(QStringLiteral("in/pic.jpg")), "j");
    fuzz::writeFile(fuzz::workFile(QStringLiteral("in/pic.png")), "p");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = fuzz::workFile(QStringLiteral("in/settings.txt"));
    fuzz::writeFile(input, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QByteArray first = exportAfterImport(input);

    const QString again = fuzz::workFile(QStringLiteral("in/again.txt"));
    fuzz::writeFile(again, first);
    const QByteArray second = exportAfterImport(again);
    fuzz::check(first == second, "an export reads back to itself",
                QString::fromUtf8(first) + "\n----\n" + QString::fromUtf8(second));
    return 0;
}
