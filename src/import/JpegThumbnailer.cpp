#include "JpegThumbnailer.h"

#include "util/Error.h"

#include <algorithm>
#include <cmath>
#include <turbojpeg.h>

namespace quire {
namespace {

// Averages boxes of the picture down to the output's size. A box of four or
// more pixels across is sampled on every other row and column: plenty for a
// thumbnail, and a quarter of the reading.
void shrink(const unsigned char* src, int width, int height, int stride, unsigned char* dst, int outWidth,
            int outHeight)
{
    std::vector<int> columns(size_t(outWidth) + 1);
    for (int x = 0; x <= outWidth; ++x)
        columns[size_t(x)] = int((long long)x * width / outWidth);
    for (int y = 0; y < outHeight; ++y) {
        const int top = int((long long)y * height / outHeight);
        const int bottom = std::max(top + 1, int((long long)(y + 1) * height / outHeight));
        const int rowStep = bottom - top >= 4 ? 2 : 1;
        unsigned char* out = dst + size_t(y) * size_t(outWidth) * 3;
        for (int x = 0; x < outWidth; ++x) {
            const int left = columns[size_t(x)];
            const int right = std::max(left + 1, columns[size_t(x) + 1]);
            const int columnStep = right - left >= 4 ? 2 : 1;
            unsigned sum[3] = {0, 0, 0}, count = 0;
            for (int row = top; row < bottom; row += rowStep) {
                const unsigned char* p = src + size_t(row) * size_t(stride) + size_t(left) * 3;
                for (int column = left; column < right; column += columnStep, p += 3 * columnStep) {
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                    ++count;
                }
            }
            for (int c = 0; c < 3; ++c)
                out[size_t(x) * 3 + size_t(c)] = (unsigned char)((sum[c] + count / 2) / count);
        }
    }
}

} // namespace

JpegThumbnailer::JpegThumbnailer(int width, int quality)
    : m_width(std::max(1, width)), m_quality(std::clamp(quality, 1, 100)), m_decoder(tjInitDecompress()),
      m_encoder(tjInitCompress())
{
    if (!m_decoder || !m_encoder) {
        tjDestroy(m_decoder);
        tjDestroy(m_encoder);
        throw Error(QStringLiteral("ERROR_JPEG"), QStringLiteral("Cannot start the JPEG coder: %1").arg(tjGetErrorStr()));
    }
}

JpegThumbnailer::~JpegThumbnailer()
{
    tjDestroy(m_decoder);
    tjDestroy(m_encoder);
}

std::optional<Thumbnail> JpegThumbnailer::take(const QByteArray& jpeg)
{
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (jpeg.isEmpty()
        || tjDecompressHeader3(m_decoder, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                               (unsigned long)jpeg.size(), &width, &height, &subsampling, &colourspace)
            != 0
        || width <= 0 || height <= 0)
        return std::nullopt;
    return Thumbnail{jpeg, width, height};
}

std::optional<Thumbnail> JpegThumbnailer::make(const QByteArray& jpeg)
{
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const auto size = (unsigned long)jpeg.size();
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (jpeg.isEmpty()
        || tjDecompressHeader3(m_decoder, data, size, &width, &height, &subsampling, &colourspace) != 0
        || width <= 0 || height <= 0 || colourspace == TJCS_CMYK || colourspace == TJCS_YCCK)
        return std::nullopt;

    // The smallest scale the decoder offers that still gives the width.
    int factorCount = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&factorCount);
    tjscalingfactor chosen{1, 1};
    for (int i = 0; factors && i < factorCount; ++i) {
        const tjscalingfactor f = factors[i];
        if (TJSCALED(width, f) >= std::min(m_width, width) && double(f.num) / f.denom < double(chosen.num) / chosen.denom)
            chosen = f;
    }
    const int decodedWidth = TJSCALED(width, chosen), decodedHeight = TJSCALED(height, chosen);
    m_decoded.resize(size_t(decodedWidth) * size_t(decodedHeight) * 3);
    if (tjDecompress2(m_decoder, data, size, m_decoded.data(), decodedWidth, decodedWidth * 3, decodedHeight,
                      TJPF_RGB, TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE)
        != 0)
        return std::nullopt;

    return fromPixels(m_decoded.data(), decodedWidth, decodedHeight, decodedWidth * 3);
}

std::optional<Thumbnail> JpegThumbnailer::fromPixels(const unsigned char* rgb, int width, int height, int stride)
{
    if (!rgb || width <= 0 || height <= 0)
        return std::nullopt;
    const int outWidth = std::min(m_width, width);
    const int outHeight = std::max(1, int(std::lround(double(height) * outWidth / width)));
    const unsigned char* pixels = rgb;
    int pixelStride = stride;
    if (outWidth != width || outHeight != height) {
        m_scaled.resize(size_t(outWidth) * size_t(outHeight) * 3);
        shrink(rgb, width, height, stride, m_scaled.data(), outWidth, outHeight);
        pixels = m_scaled.data();
        pixelStride = outWidth * 3;
    }

    unsigned char* encoded = nullptr;
    unsigned long encodedSize = 0;
    if (tjCompress2(m_encoder, pixels, outWidth, pixelStride, outHeight, TJPF_RGB, &encoded, &encodedSize,
                    TJSAMP_420, m_quality, 0)
        != 0) {
        tjFree(encoded);
        return std::nullopt;
    }
    Thumbnail thumbnail{QByteArray(reinterpret_cast<const char*>(encoded), qsizetype(encodedSize)), outWidth,
                        outHeight};
    tjFree(encoded);
    return thumbnail;
}

} // namespace quire
