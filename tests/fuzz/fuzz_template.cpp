// Template definition files: loading any file is safe, and its properties
// can be looked up and exported.
#include "FuzzSupport.h"
#include "templates/FlashTemplate.h"
#include "util/Resources.h"

#include <QDir>

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

void fuzz::setUp(char*)
{
    setResourceFolder(fuzz::workFile("res"));
    QDir().mkpath(fuzz::workFile("res/AppFiles/Templates/float"));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::writeFile(FlashTemplate::tmplMetaPathForName("float"), fuzz::bytes(data, size));
    FlashTemplate t;
    visit(t, t.properties());
    t.exportPropertiesSettings();
    t.tmplHTMLFilePath();
    return 0;
}
