#include "RtfAttachment.h"

#include "RtfPicture.h"
#include "import/PdfDocument.h"
#include "util/Error.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>

namespace quire::textimport {

namespace {

// Vector pictures are drawn at twice their size in points.
constexpr int kDrawnDpi = 144;

QByteArray startOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(5) : QByteArray();
}

bool isEps(const QByteArray& start)
{
    // Plain PostScript, or the binary header of a DOS EPS file.
    return start.startsWith("%!") || start.startsWith(QByteArray("\xC5\xD0\xD3\xC6", 4));
}

QImage drawnAt(QImage image, int dpi)
{
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
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
    const QByteArray start = startOf(path);
    if (isEps(start))
        return drawEps(path, problem);
    if (start.startsWith("%PDF-"))
        return drawPdf(path, problem);
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
    QProcess process;
    process.start(gs, {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"),
                       QStringLiteral("-dNOPAUSE"), QStringLiteral("-dEPSCrop"),
                       QStringLiteral("-sDEVICE=png16m"), QStringLiteral("-r%1").arg(kDrawnDpi),
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
    return drawnAt(image, kDrawnDpi);
}

QImage RtfAttachment::drawPdf(const QString& path, QString* problem)
{
    try {
        const auto doc = pdf::PdfDocument::open(path);
        pdf::Bitmap bitmap;
        doc->renderScaled(0, kDrawnDpi / 72.0, bitmap);
        const QImage image(bitmap.pixels.data(), bitmap.width, bitmap.height, bitmap.stride, QImage::Format_RGB888);
        return drawnAt(image.copy(), kDrawnDpi);
    } catch (const Error& e) {
        *problem = QStringLiteral("its PDF file “%1” cannot be drawn: %2").arg(QFileInfo(path).fileName(), e.reason());
        return {};
    }
}

} // namespace quire::textimport
