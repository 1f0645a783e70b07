#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace quire::test {

QString sourceDir()
{
    const QString env = qEnvironmentVariable("QUIRE_SOURCE_DIR");
    return env.isEmpty() ? QStringLiteral(QUIRE_TEST_SOURCE_DIR) : env;
}

TempDir::TempDir() : m_dir(QDir(testHome()).filePath(QStringLiteral("tmp-XXXXXX")))
{
    if (!m_dir.isValid())
        ADD_FAILURE() << "cannot create a temporary folder";
}

QString TempDir::file(const QString& relative) const
{
    return QDir(path()).filePath(relative);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace quire::test
