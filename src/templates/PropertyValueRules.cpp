#include "PropertyValueRules.h"

namespace quire {

QStringList listChoices(const Text& valueSource)
{
    return valueSource ? valueSource->split(QLatin1Char(',')) : QStringList();
}

Text listChoiceAt(const Text& valueSource, int index)
{
    const QStringList choices = listChoices(valueSource);
    if (index < 0 || index >= choices.size())
        return std::nullopt;
    return choices.at(index);
}

int listChoiceIndex(const Text& valueSource, const Text& value)
{
    return value ? int(listChoices(valueSource).indexOf(*value)) : -1;
}

QString boolValueText(bool on)
{
    return on ? QStringLiteral("YES") : QStringLiteral("NO");
}

bool setChangedValue(FlashTemplateProperty& property, const Text& value)
{
    if (property.value() == value)
        return false;
    property.setValue(value);
    return true;
}

} // namespace quire
