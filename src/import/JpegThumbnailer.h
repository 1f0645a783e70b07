#pragma once
// Small pictures of page pictures for a panel of thumbnails: pixels
// averaged down to the width, or a JPEG decoded already scaled down (the
// decoder skips most of the work) and then averaged, encoded as JPEG.
#include <QByteArray>
#include <optional>
#include <vector>

namespace quire {

struct Thumbnail {
    QByteArray jpeg;
    int width = 0;
    int height = 0;
};

class JpegThumbnailer {
public:
    static constexpr int kWidth = 160;
    static constexpr int kQuality = 80;

    explicit JpegThumbnailer(int width = kWidth, int quality = kQuality);
    ~JpegThumbnailer();
    JpegThumbnailer(const JpegThumbnailer&) = delete;
    JpegThumbnailer& operator=(const JpegThumbnailer&) = delete;

    // A thumbnail `width` pixels wide (a narrower picture keeps its size),
    // its height in proportion. None when the bytes are no JPEG picture the
    // decoder can read (CMYK, damaged, another format).
    std::optional<Thumbnail> make(const QByteArray& jpeg);
    // The same of a picture in memory: RGB, 3 bytes a pixel, rows stride
    // bytes apart.
    std::optional<Thumbnail> fromPixels(const unsigned char* rgb, int width, int height, int stride);
    // A thumbnail made earlier, taken as it is once its size is read; none
    // when it is no JPEG picture.
    std::optional<Thumbnail> take(const QByteArray& jpeg);

private:
    int m_width;
    int m_quality;
    void* m_decoder = nullptr;
    void* m_encoder = nullptr;
    std::vector<unsigned char> m_decoded; // reused from picture to picture
    std::vector<unsigned char> m_scaled;
};

} // namespace quire
