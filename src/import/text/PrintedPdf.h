#pragma once
// The PDF file that one import of a text or RTF document prints and then
// reads. Every conversion prints into a folder of its own, so conversions
// running side by side (two converters, or a converter beside the
// application) never read each other's pages. The folder, with the file,
// goes when the object goes; keep it until the import has opened the file.
#include "TextToPdf.h"

#include <QTemporaryDir>
#include <memory>

namespace quire {

class PrintedPdf {
public:
    enum class Place {
        // A new folder in the user's temporary folder: the converter's way.
        Private,
        // A new folder inside the folder "Quire", and the result then also
        // becomes "quire.pdf" there, replaced in one step: the application's
        // way, whose users may open that file.
        QuireFolder,
    };

    // Prints the source, by its lower-cased extension ("txt" or "rtf").
    static std::unique_ptr<PrintedPdf> print(const QString& source, Place place);

    PrintedPdf(const PrintedPdf&) = delete;
    PrintedPdf& operator=(const PrintedPdf&) = delete;

    // ok, or the reason naming the file; warnings about parts left out.
    const ConversionResult& result() const { return m_result; }
    // The file to import: this conversion's own, never the shared name.
    const QString& path() const { return m_path; }
    // The "quire.pdf" this conversion was put in place of, for the user to
    // open; empty when printed privately or when it could not be put there.
    const QString& sharedPath() const { return m_sharedPath; }

private:
    PrintedPdf() = default;
    void publishAsQuirePdf(const QString& target);

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_path;
    QString m_sharedPath;
    ConversionResult m_result;
};

} // namespace quire
