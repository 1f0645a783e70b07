#pragma once
// A picture that a document of the NeXT family (an RTFD folder, as macOS's
// and GNUstep's text systems save one) keeps as a file beside its text and
// names in a {\NeXTGraphic file \widthN \heightN} group.
#include <QImage>
#include <QString>

namespace quire::textimport {

class RtfAttachment {
public:
    // Seconds an EPS picture may take Ghostscript to draw.
    static constexpr int kEpsSeconds = 30;

    QString fileName;    // as the document names it
    int widthTwips = 0;  // \width: its size on the page
    int heightTwips = 0; // \height

    // The picture of the file in `folder`: TIFF, PNG, JPEG, GIF, BMP, the
    // first page of a PDF, and EPS where Ghostscript ("gs") is installed.
    // Otherwise a null image with the reason in *problem.
    QImage load(const QString& folder, QString* problem) const;

private:
    static QImage drawEps(const QString& path, QString* problem);
    static QImage drawPdf(const QString& path, QString* problem);
};

} // namespace quire::textimport
