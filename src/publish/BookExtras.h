#pragma once
// The files a reader finds beside the book configuration: one script per
// page with the page's words, and one script listing, page by page, what
// the book has besides its pictures. Their formats are viewer/BOOKFILES.md.
#include "import/PageText.h"
#include "util/Text.h"

#include <QByteArray>
#include <QSize>
#include <optional>
#include <vector>

namespace quire::publish {

// What one book position has besides its picture.
struct PageExtras {
    int pageNumber = 0;                      // the number its files are named by
    Text label;                              // the printed label
    std::optional<QSize> thumbnail;          // the thumbnail's size, when made
    const PageText* text = nullptr;          // its words, when it has any
};

// Book positions whose words share one file: a reader loads them together.
inline constexpr int kTextGroupSize = 16;

// quireText(G,{...});: the words of the pages of group G (null for a page
// without), with their places in ten thousandths of the page, compressed
// when that makes the file a quarter smaller or more.
QByteArray textGroupScript(int group, const std::vector<const PageText*>& pages);

// Whether the book has anything to list: a label, a thumbnail or words.
bool hasExtras(const std::vector<PageExtras>& pages);
// quireExtras({...});: the list of what the book has, by book position.
QByteArray extrasScript(const std::vector<PageExtras>& pages);

// A JSON string in plain ASCII: everything else as \u escapes, so the file
// reads the same whatever character set a browser assumes.
void appendJsonString(QByteArray& out, const QString& text);
// Raw deflate; none when the compressor fails.
std::optional<QByteArray> deflateRaw(const QByteArray& data);

} // namespace quire::publish
