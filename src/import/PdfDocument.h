#pragma once
// Read access to a PDF document: pages, their boxes, links, the outline,
// rendering and plain text; and giving a PDF file bookmarks. The one place
// that knows the PDF library; its failures arrive here as quire::Error.
//
// Each document has its own library context, so documents never share state.
// One document may be used from several threads, one call at a time (calls
// are serialised); threads that want to work in parallel open their own.
#include "PageText.h"
#include "util/Text.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace quire::pdf {

// Error names for the ways a document can fail to open or be read.
inline constexpr const char* kNotFound = "ERROR_PDF_NOT_FOUND";
inline constexpr const char* kNotPdf = "ERROR_PDF_NOT_A_PDF";
inline constexpr const char* kDamaged = "ERROR_PDF_DAMAGED";
inline constexpr const char* kPasswordProtected = "ERROR_PDF_PASSWORD_PROTECTED";
inline constexpr const char* kPageMissing = "ERROR_PDF_PAGE_MISSING";
inline constexpr const char* kRenderFailed = "ERROR_PDF_RENDER_FAILED";
inline constexpr const char* kWriteFailed = "ERROR_PDF_WRITE_FAILED";

// "Page 200 is not in the document (113 pages)".
QString pageNotInDocument(int pageNumber, int pageCount);

// A rectangle in points.
struct Rect {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};

// One link of a page. `area` is in the page's displayed space: rotation
// applied, origin at the top left corner of the visible page, y downwards.
struct Link {
    Rect area;
    Text url;                    // set for web (and other external) links
    std::optional<int> target;   // page position (from 0) for internal links
};

// One bookmark with its sub-entries in document order.
struct OutlineNode {
    Text label;                  // none when the bookmark has no title
    Text url;                    // set when the bookmark is a web link
    std::optional<int> target;   // page position (from 0) of its destination
    std::vector<OutlineNode> children;
};

// One bookmark to write, with its sub-entries in order.
struct OutlineEntry {
    QString title;
    int target = 0;   // page position (from 0)
    float top = 0;    // points from the top of that page as displayed
    std::vector<OutlineEntry> children;
};

// Pixels of a rendered page: RGB, 3 bytes a pixel, rows `stride` bytes apart.
struct Bitmap {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<unsigned char> pixels;
};

class PdfDocument {
public:
    // Opens a PDF file. Throws Error named kNotFound, kNotPdf, kDamaged or
    // kPasswordProtected with a reason a person can read. A document with
    // no pages counts as damaged: the library repairs truncated files into one.
    static std::shared_ptr<PdfDocument> open(const QString& path);

    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    const QString& path() const;
    int pageCount() const;

    // Page positions count from 0. Every call below throws Error named
    // kPageMissing for a position the document lacks and kDamaged when the
    // page cannot be read.

    // The crop box in unrotated PDF space (origin bottom left).
    Rect cropBox(int position) const;
    // /Rotate normalised to 0, 90, 180 or 270.
    int rotation(int position) const;
    // Width and height of the page as displayed: the crop box, rotated.
    Rect displayedBounds(int position) const;

    std::vector<Link> links(int position) const;
    // The top-level bookmarks; empty without an outline.
    std::vector<OutlineNode> outline() const;

    // Draws the page, as displayed, so that it fills width x height pixels
    // on white. Throws kRenderFailed when drawing fails or the picture would
    // be unreasonably large (see kMaxPixels).
    Bitmap render(int position, int width, int height) const;
    // The same into a bitmap whose storage is reused from page to page.
    void render(int position, int width, int height, Bitmap& into) const;
    // Renders the page as displayed at `scale` pixels a point, the pixel size
    // rounded to the nearest. Failing to load or measure the page throws
    // kPageMissing or kDamaged; failing to draw it, kRenderFailed.
    void renderScaled(int position, double scale, Bitmap& into) const;
    static constexpr std::int64_t kMaxPixels = 60'000'000;

    // The page's text in reading order, lines separated by line feeds.
    QString pageText(int position) const;
    // The page's words with their places on the page as rendered, in the
    // library's reading order; text cut away by the crop box is left out.
    PageText words(int position) const;

    // The label of every page (roman numbers, a numbering that starts
    // later ...); empty when the document defines none. Throws kDamaged when
    // the definition cannot be read.
    std::vector<Text> pageLabels() const;

private:
    struct Impl;
    explicit PdfDocument(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;

    friend void writeOutline(const QString& path, const std::vector<OutlineEntry>& entries);
};

// Gives the PDF file at `path` these bookmarks in place of any it has, each
// pointing at the top of its target's line (the width of the page in view).
// The file's bytes stay as they are: the bookmarks follow them as an
// incremental update (a file the library had to repair is written anew), in
// a copy beside the file that then replaces it, so after a failure the file
// is as it was. An empty list leaves the file alone. Throws Error as open()
// does, kPageMissing for a target the document lacks, and kWriteFailed when
// the bookmarks cannot be added or the file cannot be replaced.
void writeOutline(const QString& path, const std::vector<OutlineEntry>& entries);

} // namespace quire::pdf
