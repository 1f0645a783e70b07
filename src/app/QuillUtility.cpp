#include "QuillUtility.h"

#include "util/FileUtil.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <mutex>

namespace quire {
namespace {

std::mutex g_trustMutex;
QString g_trustFolder;

constexpr const char* kDefaultTrustFolder = "/etc/adobe/FlashPlayerTrust";

void listFolders(const QString& base, const QString& relative, QStringList& out)
{
    const QDir dir(fs::join(base, relative));
    const QFileInfoList entries = dir.entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink())
            continue;
        const QString rel = relative.isEmpty() ? entry.fileName() : fs::join(relative, entry.fileName());
        out << fs::join(base, rel);
        listFolders(base, rel, out);
    }
}

// Trust files of other programs may be in any encoding: only text with a
// UTF-16 byte-order mark is taken as readable.
bool decodeTrustFile(const QByteArray& bytes, QString& text)
{
    if (bytes.size() < 2)
        return false;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    QStringDecoder::Encoding encoding;
    if (b0 == 0xFF && b1 == 0xFE)
        encoding = QStringDecoder::Utf16LE;
    else if (b0 == 0xFE && b1 == 0xFF)
        encoding = QStringDecoder::Utf16BE;
    else
        return false;
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    text = decoder(bytes.mid(2));
    return !decoder.hasError();
}

} // namespace

QStringList QuillUtility::subFolderOfFolder(const QString& folder)
{
    QStringList out;
    if (QFileInfo(folder).isDir())
        listFolders(folder, QString(), out);
    return out;
}

QString QuillUtility::flashTrustFolder()
{
    std::lock_guard lock(g_trustMutex);
    if (!g_trustFolder.isEmpty())
        return g_trustFolder;
    // Programs started by tests and benchmarks keep their trust file with them.
    const QString fromEnvironment = qEnvironmentVariable("QUIRE_FLASH_TRUST_FOLDER");
    return fromEnvironment.isEmpty() ? QString::fromLatin1(kDefaultTrustFolder) : fromEnvironment;
}

void QuillUtility::setFlashTrustFolder(const QString& folder)
{
    std::lock_guard lock(g_trustMutex);
    g_trustFolder = folder;
}

void QuillUtility::makeDiractoryTrustByFlash(const QString& folder)
{
    const QString trustFolder = flashTrustFolder();
    if (!QFileInfo(trustFolder).isDir())
        fs::makePath(trustFolder);

    const QString trustFile = fs::join(trustFolder, QStringLiteral("PT.cfg"));
    QLOG_DEBUG("trust folder is:%@", trustFile);

    QString content;
    QFile existing(trustFile);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return;
        QString old;
        if (!decodeTrustFile(existing.readAll(), old)) {
            QLOG_WARN("trust file %@ is not UTF-16 text; left unchanged", trustFile);
            return;
        }
        if (old.split(QLatin1Char('\n')).contains(folder))
            return;
        content = old + QLatin1Char('\n') + folder;
    } else {
        content = folder;
    }

    QStringEncoder encoder(QStringEncoder::Utf16, QStringEncoder::Flag::WriteBom);
    const QByteArray bytes = encoder(content);
    QString error;
    if (!fs::writeAtomically(trustFile, bytes, &error))
        QLOG_DEBUG("cannot write %@: %@", trustFile, error);

    if (QFileInfo::exists(trustFile))
        QLOG_DEBUG("file is exits!!");
    else
        QLOG_DEBUG("file doest not exits!!!!!!!!!");
}

} // namespace quire
