#include "JpegThumbnailer.h"

#include "util/Error.h"

#include <algorithm>
#include <cmath>
#include <turbojpeg.h>

namespace quire {
namespace {

// Area averaging along one axis: `count` runs of `from` samples, `step`
// bytes apart within a run and `runStep` bytes between runs, each become
// `to` samples (to <= from). Every output sample weighs the input samples
// its span covers by how much of them it covers.
void averageAxis(const unsigned char* in, unsigned char* out, int from, int to, int count, int step, int runStep,
                 int outStep, int outRunStep)
{
    const double scale = double(from) / to;
    for (int run = 0; run < count; ++run) {
        const unsigned char* src = in + size_t(run) * size_t(runStep);
        unsigned char* dst = out + size_t(run) * size_t(outRunStep);
        for (int i = 0; i < to; ++i) {
            const double begin = i * scale, end = (i + 1) * scale;
            double sum[3] = {0, 0, 0};
            for (int k = int(begin); k < int(std::ceil(end)) && k < from; ++k) {
                const double weight = std::min(end, k + 1.0) - std::max(begin, double(k));
                const unsigned char* p = src + size_t(k) * size_t(step);
                for (int c = 0; c < 3; ++c)
                    sum[c] += weight * p[c];
            }
            unsigned char* q = dst + size_t(i) * size_t(outStep);
            for (int c = 0; c < 3; ++c)
                q[c] = (unsigned char)std::clamp(int(sum[c] / scale + 0.5), 0, 255);
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

    const int outWidth = std::min(m_width, decodedWidth);
    const int outHeight = std::max(1, int(std::lround(double(decodedHeight) * outWidth / decodedWidth)));
    const unsigned char* pixels = m_decoded.data();
    if (outWidth != decodedWidth || outHeight != decodedHeight) {
        m_across.resize(size_t(outWidth) * size_t(decodedHeight) * 3);
        m_scaled.resize(size_t(outWidth) * size_t(outHeight) * 3);
        averageAxis(m_decoded.data(), m_across.data(), decodedWidth, outWidth, decodedHeight, 3, decodedWidth * 3, 3,
                    outWidth * 3);
        averageAxis(m_across.data(), m_scaled.data(), decodedHeight, outHeight, outWidth, outWidth * 3, 3,
                    outWidth * 3, 3);
        pixels = m_scaled.data();
    }

    unsigned char* encoded = nullptr;
    unsigned long encodedSize = 0;
    if (tjCompress2(m_encoder, pixels, outWidth, outWidth * 3, outHeight, TJPF_RGB, &encoded, &encodedSize,
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
