#include "TestEnv.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

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

QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(base.relativeFilePath(path), readFile(path));
    }
    return files;
}

SmallDisk::SmallDisk(qint64 bytes) : m_options("size=" + QByteArray::number(bytes))
{
    const QByteArray target = QFile::encodeName(m_dir.path());
    m_mounted = ::mount("tmpfs", target.constData(), "tmpfs", 0, m_options.constData()) == 0;
    if (!m_mounted)
        m_why = QStringLiteral("cannot mount a tmpfs (%1); run as root to test full and read-only disks")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void SmallDisk::fill() const
{
    QFile filler(file(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
}

bool SmallDisk::makeReadOnly()
{
    return m_mounted
        && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                   m_options.constData())
        == 0;
}

} // namespace quire::test
