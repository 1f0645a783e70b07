#pragma once
// A picture from a \pict group: its data (hex digits or \bin bytes), its
// format and the size the document asks for.
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QSizeF>
#include <QString>
#include <string_view>

namespace quire::textimport {

class RtfPicture {
public:
    enum class Format { Unknown, Png, Jpeg, Unsupported };

    // Larger pictures are left out rather than decoded.
    static constexpr qsizetype kMaxDataBytes = 32 * 1024 * 1024;
    static constexpr int kMaxSide = 12000;
    static constexpr qint64 kMaxPixels = 40'000'000;

    Format format = Format::Unknown;
    int widthPixels = 0;   // \picw
    int heightPixels = 0;  // \pich
    int goalWidthTwips = 0;  // \picwgoal
    int goalHeightTwips = 0; // \pichgoal
    int scaleX = 100;        // \picscalex, percent
    int scaleY = 100;

    void appendHex(std::string_view text);
    void appendBinary(std::string_view bytes);
    bool tooLarge() const { return m_tooLarge; }
    qsizetype dataSize() const { return m_data.size(); }

    // The decoded picture, or a null image with the reason in *problem.
    QImage decode(QString* problem) const;
    // What `reader` reads, unless the picture is too large or unreadable
    // (then a null image, with the reason in *problem).
    static QImage read(QImageReader& reader, QString* problem);

    // The size on the page in points: the goal size (or the pixel size at the
    // picture's own resolution, 72 dpi when it has none), scaled, then shrunk
    // proportionally to fit within `bounds`.
    QSizeF displaySize(const QImage& image, const QSizeF& bounds) const;

private:
    QByteArray m_data;
    int m_pendingNibble = -1;
    bool m_tooLarge = false;
};

} // namespace quire::textimport
