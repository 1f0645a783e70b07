#pragma once
// Helpers shared by the tests. The test main has already pointed HOME and the
// XDG folders at a private temporary folder (testHome()).
#include "util/Error.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <ostream>

namespace quire::test {

QString testHome();

// The repository's source folder (for fixtures and scripts).
QString sourceDir();

// A temporary folder removed at the end of the test.
class TempDir {
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& relative) const;

private:
    QTemporaryDir m_dir;
};

void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// "NAME: reason" of the quire::Error that `call` throws; "" when it throws none.
template <typename Call>
QString errorOf(Call&& call)
{
    try {
        call();
    } catch (const Error& e) {
        return e.name() + ": " + e.reason();
    }
    return {};
}

// Every file below folder (hidden ones too) by relative path, with its bytes.
QMap<QString, QByteArray> snapshot(const QString& folder);

// A small tmpfs mounted on a temporary folder of its own, to run out of
// space or be made read-only. Mounting needs root (as in CI); where it is
// refused, mounted() is false and why() says why, for the skip message.
class SmallDisk {
public:
    explicit SmallDisk(qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    const QString& why() const { return m_why; }
    QString file(const QString& relative) const { return m_dir.file(relative); }
    // Takes up all the space left with the file "filler".
    void fill() const;
    bool makeReadOnly();

private:
    TempDir m_dir;
    QByteArray m_options;
    bool m_mounted = false;
    QString m_why;
};

} // namespace quire::test

// Texts in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"' << bytes.toStdString() << '"';
}
