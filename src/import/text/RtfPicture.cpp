#include "RtfPicture.h"
#include "RtfTokenizer.h"

#include <QBuffer>
#include <algorithm>

namespace quire::textimport {

void RtfPicture::appendHex(std::string_view text)
{
    if (m_tooLarge)
        return;
    for (char c : text) {
        const int v = rtfHexValue(c);
        if (v < 0)
            continue;
        if (m_pendingNibble < 0) {
            m_pendingNibble = v;
            continue;
        }
        if (m_data.size() >= kMaxDataBytes) {
            m_tooLarge = true;
            m_data.clear();
            return;
        }
        m_data.append(char(m_pendingNibble * 16 + v));
        m_pendingNibble = -1;
    }
}

void RtfPicture::appendBinary(std::string_view bytes)
{
    if (m_tooLarge)
        return;
    if (m_data.size() + qsizetype(bytes.size()) > kMaxDataBytes) {
        m_tooLarge = true;
        m_data.clear();
        return;
    }
    m_data.append(bytes.data(), qsizetype(bytes.size()));
}

QImage RtfPicture::decode(QString* problem) const
{
    if (m_tooLarge) {
        *problem = QStringLiteral("its data is larger than %1 MB").arg(kMaxDataBytes / (1024 * 1024));
        return {};
    }
    if (format != Format::Png && format != Format::Jpeg) {
        *problem = QStringLiteral("it is not a PNG or JPEG picture");
        return {};
    }
    QBuffer buffer;
    buffer.setData(m_data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format == Format::Png ? "png" : "jpeg");
    return read(reader, problem);
}

QImage RtfPicture::read(QImageReader& reader, QString* problem)
{
    const QSize size = reader.size();
    if (!size.isValid()) {
        *problem = QStringLiteral("its data cannot be read (%1)").arg(reader.errorString());
        return {};
    }
    if (size.width() > kMaxSide || size.height() > kMaxSide || qint64(size.width()) * size.height() > kMaxPixels) {
        *problem = QStringLiteral("it is too large (%1 x %2 pixels)").arg(size.width()).arg(size.height());
        return {};
    }
    QImage image = reader.read();
    if (image.isNull())
        *problem = QStringLiteral("its data cannot be read (%1)").arg(reader.errorString());
    return image;
}

QSizeF RtfPicture::displaySize(const QImage& image, const QSizeF& bounds) const
{
    auto naturalPoints = [](int pixels, int dotsPerMeter) {
        const double dpi = dotsPerMeter > 0 ? dotsPerMeter * 0.0254 : 72.0;
        return pixels * 72.0 / std::clamp(dpi, 10.0, 2400.0);
    };
    double w = goalWidthTwips > 0 ? goalWidthTwips / 20.0 : naturalPoints(image.width(), image.dotsPerMeterX());
    double h = goalHeightTwips > 0 ? goalHeightTwips / 20.0 : naturalPoints(image.height(), image.dotsPerMeterY());
    w *= std::clamp(scaleX, 1, 1000) / 100.0;
    h *= std::clamp(scaleY, 1, 1000) / 100.0;
    w = std::max(w, 1.0);
    h = std::max(h, 1.0);
    const double shrink = std::min({1.0, bounds.width() / w, bounds.height() / h});
    return QSizeF(std::max(1.0, w * shrink), std::max(1.0, h * shrink));
}

} // namespace quire::textimport
