#pragma once
// Absent text and the empty text are different states throughout the model.
#include <QString>
#include <optional>

namespace quire {

using Text = std::optional<QString>;

inline QString textOr(const Text& text, const QString& fallback = QString())
{
    return text ? *text : fallback;
}

} // namespace quire
