#pragma once
// Diagnostic lines for the system console (standard error, outside the log).
// Tools that own standard error for their own messages redirect them.
#include <QString>
#include <functional>

namespace quire::console {

void line(const QString& text);

// Receives every line instead of standard error; an empty function restores it.
void setSink(std::function<void(const QString&)> sink);

} // namespace quire::console
