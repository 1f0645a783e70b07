#pragma once
// How a value chosen in the property editor becomes a property's value: list
// choices, check boxes and the no-op rule for an unchanged value. Values set
// this way are taken as they are (no style-resource resolution), unlike
// FlashTemplate's set-by-key operations.
#include "FlashTemplateProperty.h"
#include "util/Text.h"

#include <QStringList>

namespace quire {

// A list property's choices: valueSource split at ",", blanks and empty
// pieces kept. Absent valueSource offers no choice.
QStringList listChoices(const Text& valueSource);

// The choice at a list index; none when the index lies outside the choices.
Text listChoiceAt(const Text& valueSource, int index);

// The index of the first choice equal to the value, or -1.
int listChoiceIndex(const Text& valueSource, const Text& value);

// What a check box writes.
QString boolValueText(bool on);

// Sets the property's value when it differs from the current one (an absent
// value differs from every text); true when the value changed.
bool setChangedValue(FlashTemplateProperty& property, const Text& value);

} // namespace quire
