#pragma once
// Helpers shared by the tests. The test main has already pointed HOME and the
// XDG folders at a private temporary folder (testHome()).
#include "util/Error.h"

#include <QByteArray>
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
