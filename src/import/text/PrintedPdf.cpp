#include "PrintedPdf.h"

#include "util/FileUtil.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace quire {

std::unique_ptr<PrintedPdf> PrintedPdf::print(const QString& source, Place place)
{
    std::unique_ptr<PrintedPdf> printed(new PrintedPdf);
    ConversionResult& result = printed->m_result;
    auto fail = [&](const QString& message) {
        QLOG_ERROR("%@", message);
        result.error = message;
        return std::move(printed);
    };

    QString parent = QDir::tempPath();
    QString shared;
    if (place == Place::QuireFolder) {
        QString error;
        shared = TextToPdf::quirePdfPath(&error);
        if (shared.isEmpty())
            return fail(error);
        parent = QFileInfo(shared).path();
    }
    printed->m_folder = std::make_unique<QTemporaryDir>(fs::join(parent, QStringLiteral("quire-XXXXXX")));
    if (!printed->m_folder->isValid())
        return fail(QStringLiteral("No folder for the printed PDF can be made in “%1”: %2.")
                        .arg(parent, printed->m_folder->errorString()));

    const QString path = printed->m_folder->filePath(QStringLiteral("quire.pdf"));
    const std::optional<ConversionResult> converted = TextToPdf::convertForImport(source, path);
    if (!converted)
        return fail(QStringLiteral("“%1” is neither a text nor an RTF document.").arg(QFileInfo(source).fileName()));
    result = *converted;
    if (!result.ok)
        return printed;
    printed->m_path = path;
    if (!shared.isEmpty())
        printed->publishAsQuirePdf(shared);
    return printed;
}

void PrintedPdf::publishAsQuirePdf(const QString& target)
{
    // A second name for the same file, renamed onto the target: readers of
    // the target see the previous file or this one, never a mixture, and this
    // import goes on reading its own name whatever replaces the target later.
    const QString staged = m_folder->filePath(QStringLiteral("published.pdf"));
    const bool linked = ::link(QFile::encodeName(m_path).constData(), QFile::encodeName(staged).constData()) == 0 ||
                        QFile::copy(m_path, staged);
    if (linked && std::rename(QFile::encodeName(staged).constData(), QFile::encodeName(target).constData()) == 0) {
        m_sharedPath = target;
        return;
    }
    const QString why = linked ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("it cannot be copied");
    m_result.warnings << QStringLiteral("The printed PDF could not be put in place of “%1”: %2.").arg(target, why);
    QLOG_WARN("%@", m_result.warnings.last());
}

} // namespace quire
