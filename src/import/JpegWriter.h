#pragma once
// Encodes rendered pages as JPEG and writes them into place.
#include "PdfDocument.h"

#include <QString>

namespace quire {

class JpegWriter {
public:
    JpegWriter();
    ~JpegWriter();
    JpegWriter(const JpegWriter&) = delete;
    JpegWriter& operator=(const JpegWriter&) = delete;

    // Encodes with quality 0 to 100 (100 the best) and writes the file aside,
    // then renames it onto path, so a reader never sees half a picture.
    // Throws Error on failure; no file is left behind then.
    void write(const pdf::Bitmap& bitmap, int quality, const QString& path);

private:
    void* m_handle = nullptr;        // the encoder, kept for every page
    unsigned char* m_buffer = nullptr; // output buffer, grown as needed
    unsigned long m_capacity = 0;
};

} // namespace quire
