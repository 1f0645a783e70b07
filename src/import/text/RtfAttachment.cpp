#include "RtfAttachment.h"

#include "RtfPicture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>

namespace quire::textimport {

namespace {

bool isEps(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray start = file.read(4);
    // Plain PostScript, or the binary header of a DOS EPS file.
    return start.startsWith("%!") || start == QByteArray("\xC5\xD0\xD3\xC6", 4);
}

} // namespace

QImage RtfAttachment::load(const QString& folder, QString* problem) const
{
    const QString name = fileName.trimmed();
    if (name.isEmpty()) {
        *problem = QStringLiteral("it names no file");
        return {};
    }
    // Only files of the document's own folder: a name may not lead elsewhere.
    const QString clean = QDir::cleanPath(name);
    if (folder.isEmpty() || QDir::isAbsolutePath(clean) || clean == QLatin1String("..") ||
        clean.startsWith(QLatin1String("../"))) {
        *problem = QStringLiteral("its file “%1” is not beside the document").arg(name);
        return {};
    }
    const QString path = QDir(folder).filePath(clean);
    const QFileInfo info(path);
    if (!info.isFile()) {
        *problem = QStringLiteral("its file “%1” is missing").arg(name);
        return {};
    }
    if (info.size() > RtfPicture::kMaxDataBytes) {
        *problem = QStringLiteral("its file “%1” is larger than %2 MB")
                       .arg(name)
                       .arg(RtfPicture::kMaxDataBytes / (1024 * 1024));
        return {};
    }
    if (isEps(path))
        return drawEps(path, problem);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = RtfPicture::read(reader, problem);
    if (image.isNull())
        *problem = QStringLiteral("its file “%1” cannot be shown: %2").arg(name, *problem);
    return image;
}

QImage RtfAttachment::drawEps(const QString& path, QString* problem)
{
    const QString name = QFileInfo(path).fileName();
    const QString gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
    if (gs.isEmpty()) {
        *problem = QStringLiteral("its EPS file “%1” needs Ghostscript (gs) to be shown").arg(name);
        return {};
    }
    constexpr int dpi = 144;
    QProcess process;
    process.start(gs, {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"),
                       QStringLiteral("-dNOPAUSE"), QStringLiteral("-dEPSCrop"),
                       QStringLiteral("-sDEVICE=png16m"), QStringLiteral("-r%1").arg(dpi),
                       QStringLiteral("-sOutputFile=-"), path});
    if (!process.waitForFinished(kEpsSeconds * 1000)) {
        process.kill();
        process.waitForFinished();
        *problem = QStringLiteral("Ghostscript could not draw its EPS file “%1” in %2 seconds").arg(name).arg(kEpsSeconds);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *problem = QStringLiteral("Ghostscript could not draw its EPS file “%1”: %2")
                       .arg(name, QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
        return {};
    }
    QBuffer drawn;
    drawn.setData(process.readAllStandardOutput());
    drawn.open(QIODevice::ReadOnly);
    QImageReader reader(&drawn, "png");
    QImage image = RtfPicture::read(reader, problem);
    if (image.isNull()) {
        *problem = QStringLiteral("its EPS file “%1” cannot be shown: %2").arg(name, *problem);
        return {};
    }
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

} // namespace quire::textimport
