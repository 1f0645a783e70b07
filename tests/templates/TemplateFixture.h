#pragma once
// A private resource folder with templates written by the test.
#include "support/TestEnv.h"
#include "util/Resources.h"

#include <QString>
#include <gtest/gtest.h>

namespace quire::test {

inline QString propertyXml(const QString& type, const QString& key, const QString& value, const QString& children = {})
{
    QString xml = "<property type=\"" + type + "\"><key>" + key + "</key><title>T " + key
        + "</title><desc>D</desc><value>" + value + "</value><valueSource>vs</valueSource>"
        + "<defaultValue>dv</defaultValue>";
    if (!children.isEmpty())
        xml += "<childProperties>" + children + "</childProperties>";
    return xml + "</property>";
}

inline QString definitionXml(const QString& properties, const QString& htmlPath = "index.html")
{
    return QStringLiteral("<flashTemplate><info><htmlPath>%1</htmlPath><swfPath>book.swf</swfPath>"
                          "<defaultStyle>Blank</defaultStyle><macAppFilesFolder>m</macAppFilesFolder>"
                          "<mobileTmplFilesPath>mob</mobileTmplFilesPath></info><properties>%2</properties>"
                          "</flashTemplate>")
        .arg(htmlPath, properties);
}

class ResourceFixture : public ::testing::Test {
protected:
    void SetUp() override { quire::setResourceFolder(dir.file("res")); }
    void TearDown() override { quire::setResourceFolder(QString()); }

    QString res(const QString& relative) const { return dir.file("res/" + relative); }
    void addTemplate(const QString& name, const QString& definition)
    {
        writeFile(res("AppFiles/Templates/" + name + "/flashTemplate.xml"), definition.toUtf8());
    }
    void addStyle(const QString& tmpl, const QString& style, const QByteArray& settings)
    {
        writeFile(res("AppFiles/Styles/" + tmpl + "/" + style + "/tmplSetting.txt"), settings);
    }

    TempDir dir;
};

} // namespace quire::test
