// Template definition files: loading any file is safe, and its properties
// can be looked up and exported.
#include "FuzzSupport.h"
#include "templates/FlashTemplate.h"
#include "util/Resources.h"

#include <QDir>
#include <cstdint>

using namespace quire;

namespace {

void visit(const FlashTemplate& t, const FlashTemplate::PropertyList& list)
{
    for (const auto& property : list) {
        const QString key = textOr(property->key());
        fuzz::check(t.findProperty(key) != nullptr, "every key is found", key);
        t.propertyValueFor(property.get(), key);
        visit(t, property->childProperties());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLogs();
    setResourceFolder(fuzz::workFile(QStringLiteral("res")));
    QDir().mkpath(fuzz::workFile(QStringLiteral("res/AppFiles/Templates/float")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::writeFile(FlashTemplate::tmplMetaPathForName(QStringLiteral("float")),
                    QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    FlashTemplate t;
    visit(t, t.properties());
    t.exportPropertiesSettings();
    t.tmplHTMLFilePath();
    return 0;
}
