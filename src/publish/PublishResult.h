#pragma once
// What a publish tells its caller: done, or the step that failed with the
// file it could not write and why. A publish stops at its first failure and
// leaves the earlier book as it was.
#include <QString>
#include <optional>

namespace quire {

struct PublishFailure {
    QString step;   // "page files", "HTML page", ...
    QString file;   // the file or folder that could not be written
    QString reason; // what went wrong, in words
};

class [[nodiscard]] PublishResult {
public:
    bool ok() const { return !m_failure; }
    const std::optional<PublishFailure>& failure() const { return m_failure; }

    // Keeps the first failure: later ones follow from it.
    void fail(const QString& step, const QString& file, const QString& reason)
    {
        if (!m_failure)
            m_failure = PublishFailure{step, file, reason};
    }
    void take(const PublishResult& other)
    {
        if (other.m_failure)
            fail(other.m_failure->step, other.m_failure->file, other.m_failure->reason);
    }
    // Names the failed file by the place it was meant for, not the staging
    // folder it was written in.
    void relocate(const QString& from, const QString& to)
    {
        if (m_failure && m_failure->file.startsWith(from))
            m_failure->file = to + m_failure->file.mid(from.size());
    }
    // "FILE: REASON (STEP)" ("REASON (STEP)" when no file was named), or
    // empty when the publish succeeded.
    QString description() const
    {
        if (!m_failure)
            return QString();
        const QString what = QStringLiteral("%1 (%2)").arg(m_failure->reason, m_failure->step);
        return m_failure->file.isEmpty() ? what : m_failure->file + QStringLiteral(": ") + what;
    }

private:
    std::optional<PublishFailure> m_failure;
};

namespace publish {

// Tests stop a publish at one of its moments (after each file it writes and
// between its steps) to see what an interrupted publish leaves behind. The
// programs never set a hook.
using MomentHook = void (*)(const char* moment);
void setMomentHook(MomentHook hook);
void moment(const char* name);

} // namespace publish
} // namespace quire
