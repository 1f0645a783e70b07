#include "PdfDocument.h"

#include "PageLabels.h"

#include "util/Error.h"
#include "util/Format.h"
#include "util/Log.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>

extern "C" {
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
}

namespace quire::pdf {
namespace {

// The library's cache of decoded fonts and images; large enough to render
// any page twice without decoding again, small enough for several documents.
constexpr size_t kStoreSize = 48u << 20;
// Bookmarks deeper than this are dropped; real outlines are a few levels.
constexpr int kMaxOutlineDepth = 64;

constexpr size_t kMessageSize = 256;
using Message = char[kMessageSize];

// Runs library calls under fz_try. A library error longjmps out of the body
// straight into this frame, so the body must only call the library and assign
// plain values: nothing in it may need a destructor or throw.
template <typename Body>
bool guarded(fz_context* ctx, Message& message, Body&& body) noexcept
{
    fz_try(ctx) { body(); }
    fz_catch(ctx)
    {
        const char* text = fz_caught_message(ctx);
        size_t i = 0;
        for (; text && text[i] && i + 1 < kMessageSize; ++i)
            message[i] = text[i];
        message[i] = '\0';
        return false;
    }
    return true;
}

// guarded() that turns a failure into an Error; `reason` gets the library's
// message appended.
template <typename Body>
void call(fz_context* ctx, const char* name, const QString& reason, Body&& body)
{
    Message message = "";
    if (!guarded(ctx, message, body))
        throw Error(QString::fromLatin1(name), formatMessage("%@ (%s)", {reason, message}));
}

void logLibraryMessage(void*, const char* message)
{
    try {
        QLOG_DEBUG("PDF library: %s", message);
    } catch (...) {
        // Nothing may leave a callback of the library.
    }
}

struct ContextDeleter {
    void operator()(fz_context* ctx) const { fz_drop_context(ctx); }
};

// A loaded page, dropped when the wrapper goes.
class PageRef {
public:
    PageRef(fz_context* ctx, fz_page* page) : m_ctx(ctx), m_page(page) {}
    ~PageRef() { fz_drop_page(m_ctx, m_page); }
    PageRef(const PageRef&) = delete;
    PageRef& operator=(const PageRef&) = delete;
    fz_page* get() const { return m_page; }
    pdf_page* pdf() const { return reinterpret_cast<pdf_page*>(m_page); }

private:
    fz_context* m_ctx;
    fz_page* m_page;
};

Rect toRect(fz_rect r)
{
    return Rect{r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0};
}

QString fileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace

QString pageNotInDocument(int pageNumber, int pageCount)
{
    return formatMessage(pageCount == 1 ? "Page %d is not in the document (%d page)"
                                        : "Page %d is not in the document (%d pages)",
                         {pageNumber, pageCount});
}

struct PdfDocument::Impl {
    QString path;
    std::unique_ptr<fz_context, ContextDeleter> context; // outlives the document
    fz_document* doc = nullptr;
    int pageCount = 0;
    std::mutex mutex;

    ~Impl()
    {
        if (doc)
            fz_drop_document(context.get(), doc);
    }

    fz_context* ctx() const { return context.get(); }

    std::unique_ptr<PageRef> loadPage(int position) const
    {
        if (position < 0 || position >= pageCount)
            throw Error(QString::fromLatin1(kPageMissing), pageNotInDocument(position + 1, pageCount));
        fz_page* page = nullptr;
        fz_document* d = doc;
        call(ctx(), kDamaged,
             formatMessage("Page %d of \"%@\" is damaged and cannot be read", {position + 1, fileName(path)}),
             [&] { page = fz_load_page(ctx(), d, position); });
        return std::make_unique<PageRef>(ctx(), page);
    }

    // The target page of an internal link, when the document has it.
    std::optional<int> resolve(const char* uri) const
    {
        int number = -1;
        fz_document* d = doc;
        Message ignored;
        guarded(ctx(), ignored, [&] { number = fz_page_number_from_location(ctx(), d, fz_resolve_link(ctx(), d, uri, nullptr, nullptr)); });
        if (number < 0 || number >= pageCount)
            return std::nullopt;
        return number;
    }

    void convertOutline(const fz_outline* node, std::vector<OutlineNode>& out, int depth) const
    {
        for (; node; node = node->next) {
            OutlineNode entry;
            if (node->title)
                entry.label = QString::fromUtf8(node->title);
            if (node->uri) {
                if (fz_is_external_link(ctx(), node->uri))
                    entry.url = QString::fromUtf8(node->uri);
                else
                    entry.target = resolve(node->uri);
            }
            if (depth < kMaxOutlineDepth)
                convertOutline(node->down, entry.children, depth + 1);
            out.push_back(std::move(entry));
        }
    }
};

PdfDocument::PdfDocument(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
PdfDocument::~PdfDocument() = default;

std::shared_ptr<PdfDocument> PdfDocument::open(const QString& path)
{
    const QFileInfo info(path);
    const QString name = fileName(path);
    if (!info.exists())
        throw Error(QString::fromLatin1(kNotFound), formatMessage("The document \"%@\" was not found", {path}));
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw Error(QString::fromLatin1(kNotFound), formatMessage("The document \"%@\" cannot be read", {path}));
    // The header may sit anywhere in the first 1024 bytes.
    if (!file.read(1024).contains("%PDF-"))
        throw Error(QString::fromLatin1(kNotPdf), formatMessage("The file \"%@\" is not a PDF document", {name}));
    file.close();

    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->context.reset(fz_new_context(nullptr, nullptr, kStoreSize));
    if (!impl->context)
        throw Error(QString::fromLatin1(kDamaged), QStringLiteral("The PDF library cannot start: out of memory"));
    fz_context* ctx = impl->ctx();
    fz_set_warning_callback(ctx, logLibraryMessage, nullptr);
    fz_set_error_callback(ctx, logLibraryMessage, nullptr);

    const QByteArray encoded = QFile::encodeName(path);
    const char* filename = encoded.constData();
    const QString damaged = formatMessage("The PDF document \"%@\" is damaged and cannot be opened", {name});
    fz_document* doc = nullptr;
    call(ctx, kDamaged, damaged, [&] { doc = reinterpret_cast<fz_document*>(pdf_open_document(ctx, filename)); });
    impl->doc = doc;

    int needsPassword = 0;
    call(ctx, kDamaged, damaged, [&] { needsPassword = fz_needs_password(ctx, doc); });
    if (needsPassword)
        throw Error(QString::fromLatin1(kPasswordProtected),
                    formatMessage("The PDF document \"%@\" is password-protected", {name}));

    int count = 0;
    call(ctx, kDamaged, damaged, [&] { count = fz_count_pages(ctx, doc); });
    if (count <= 0)
        throw Error(QString::fromLatin1(kDamaged), damaged + QStringLiteral(" (no pages)"));
    impl->pageCount = count;
    return std::shared_ptr<PdfDocument>(new PdfDocument(std::move(impl)));
}

const QString& PdfDocument::path() const
{
    return d->path;
}

int PdfDocument::pageCount() const
{
    return d->pageCount;
}

Rect PdfDocument::cropBox(int position) const
{
    std::lock_guard lock(d->mutex);
    auto page = d->loadPage(position);
    fz_rect box{};
    fz_matrix ctm{};
    fz_context* ctx = d->ctx();
    pdf_page* p = page->pdf();
    call(ctx, kDamaged, QStringLiteral("Cannot read the page's boxes"), [&] { pdf_page_transform(ctx, p, &box, &ctm); });
    return toRect(box);
}

int PdfDocument::rotation(int position) const
{
    std::lock_guard lock(d->mutex);
    auto page = d->loadPage(position);
    fz_context* ctx = d->ctx();
    pdf_obj* obj = page->pdf()->obj;
    int rotate = 0;
    call(ctx, kDamaged, QStringLiteral("Cannot read the page's rotation"),
         [&] { rotate = pdf_to_int(ctx, pdf_dict_get_inheritable(ctx, obj, PDF_NAME(Rotate))); });
    // As the library draws it: nearest quarter turn, in 0..270.
    rotate %= 360;
    if (rotate < 0)
        rotate += 360;
    rotate = 90 * ((rotate + 45) / 90);
    return rotate >= 360 ? 0 : rotate;
}

Rect PdfDocument::displayedBounds(int position) const
{
    std::lock_guard lock(d->mutex);
    auto page = d->loadPage(position);
    fz_rect bounds{};
    fz_context* ctx = d->ctx();
    fz_page* p = page->get();
    call(ctx, kDamaged, QStringLiteral("Cannot measure the page"), [&] { bounds = fz_bound_page(ctx, p); });
    return toRect(bounds);
}

std::vector<Link> PdfDocument::links(int position) const
{
    std::lock_guard lock(d->mutex);
    auto page = d->loadPage(position);
    fz_context* ctx = d->ctx();
    fz_page* p = page->get();
    fz_link* first = nullptr;
    call(ctx, kDamaged, formatMessage("Cannot read the links of page %d", {position + 1}),
         [&] { first = fz_load_links(ctx, p); });
    std::unique_ptr<fz_link, std::function<void(fz_link*)>> owner(first, [ctx](fz_link* l) { fz_drop_link(ctx, l); });

    std::vector<Link> out;
    for (const fz_link* link = first; link; link = link->next) {
        Link entry;
        entry.area = toRect(link->rect);
        if (link->uri) {
            if (fz_is_external_link(ctx, link->uri))
                entry.url = QString::fromUtf8(link->uri);
            else
                entry.target = d->resolve(link->uri);
        }
        out.push_back(std::move(entry));
    }
    return out;
}

std::vector<OutlineNode> PdfDocument::outline() const
{
    std::lock_guard lock(d->mutex);
    fz_context* ctx = d->ctx();
    fz_document* doc = d->doc;
    fz_outline* root = nullptr;
    call(ctx, kDamaged, QStringLiteral("Cannot read the bookmarks"), [&] { root = fz_load_outline(ctx, doc); });
    std::unique_ptr<fz_outline, std::function<void(fz_outline*)>> owner(
        root, [ctx](fz_outline* o) { fz_drop_outline(ctx, o); });
    std::vector<OutlineNode> out;
    d->convertOutline(root, out, 1);
    return out;
}

Bitmap PdfDocument::render(int position, int width, int height) const
{
    Bitmap bitmap;
    render(position, width, height, bitmap);
    return bitmap;
}

namespace {

// Draws a loaded page so that `bounds` fills width x height pixels on white.
void drawPage(fz_context* ctx, fz_page* p, fz_rect bounds, int position, int width, int height, Bitmap& into)
{
    if (width <= 0 || height <= 0 || std::int64_t(width) * height > PdfDocument::kMaxPixels)
        throw Error(QString::fromLatin1(kRenderFailed),
                    formatMessage("Page %d is too large to draw (%d x %d pixels)", {position + 1, width, height}));
    if (!(bounds.x1 > bounds.x0 && bounds.y1 > bounds.y0))
        throw Error(QString::fromLatin1(kRenderFailed), formatMessage("Page %d has no area to draw", {position + 1}));

    into.width = width;
    into.height = height;
    into.stride = width * 3;
    into.pixels.resize(size_t(into.stride) * size_t(height));
    unsigned char* samples = into.pixels.data();
    const fz_matrix ctm = fz_concat(fz_translate(-bounds.x0, -bounds.y0),
                                    fz_scale(float(width) / (bounds.x1 - bounds.x0), float(height) / (bounds.y1 - bounds.y0)));

    fz_pixmap* pix = nullptr;
    fz_device* dev = nullptr;
    fz_var(pix); // read after a failure: keep them out of registers
    fz_var(dev);
    Message message = "";
    const int stride = into.stride;
    const bool ok = guarded(ctx, message, [&] {
        pix = fz_new_pixmap_with_data(ctx, fz_device_rgb(ctx), width, height, nullptr, 0, stride, samples);
        fz_clear_pixmap_with_value(ctx, pix, 0xff);
        dev = fz_new_draw_device(ctx, ctm, pix);
        fz_run_page(ctx, p, dev, fz_identity, nullptr);
        fz_close_device(ctx, dev);
    });
    // Drops never throw; the samples belong to `into`, not to the pixmap.
    fz_drop_device(ctx, dev);
    fz_drop_pixmap(ctx, pix);
    if (!ok)
        throw Error(QString::fromLatin1(kRenderFailed),
                    formatMessage("Page %d cannot be drawn (%s)", {position + 1, message}));
}

} // namespace

void PdfDocument::render(int position, int width, int height, Bitmap& into) const
{
    std::lock_guard lock(d->mutex);
    auto page = d->loadPage(position);
    fz_context* ctx = d->ctx();
    fz_page* p = page->get();
    fz_rect bounds{};
    call(ctx, kDamaged, QStringLiteral("Cannot measure the page"), [&] { bounds = fz_bound_page(ctx, p); });
    drawPage(ctx, p, bounds, position, width, height, into);
}

void PdfDocument::renderScaled(int position, double scale, Bitmap& into) const
{
    std::lock_guard lock(d->mutex);
    auto page = d->loadPage(position);
    fz_context* ctx = d->ctx();
    fz_page* p = page->get();
    fz_rect bounds{};
    call(ctx, kDamaged, QStringLiteral("Cannot measure the page"), [&] { bounds = fz_bound_page(ctx, p); });
    const double width = std::round((double(bounds.x1) - bounds.x0) * scale);
    const double height = std::round((double(bounds.y1) - bounds.y0) * scale);
    // Sizes past int range fail the size check in drawPage instead of wrapping.
    const auto clampSize = [](double v) { return int(std::clamp(v, -1.0, 2e9)); };
    drawPage(ctx, p, bounds, position, clampSize(width), clampSize(height), into);
}

QString PdfDocument::pageText(int position) const
{
    std::lock_guard lock(d->mutex);
    auto page = d->loadPage(position);
    fz_context* ctx = d->ctx();
    fz_page* p = page->get();
    fz_stext_page* text = nullptr;
    fz_buffer* buffer = nullptr;
    fz_var(text);
    fz_var(buffer);
    Message message = "";
    const bool ok = guarded(ctx, message, [&] {
        text = fz_new_stext_page_from_page(ctx, p, nullptr);
        buffer = fz_new_buffer_from_stext_page(ctx, text);
    });
    fz_drop_stext_page(ctx, text);
    if (!ok) {
        fz_drop_buffer(ctx, buffer);
        throw Error(QString::fromLatin1(kDamaged), formatMessage("Cannot read the text of page %d (%s)", {position + 1, message}));
    }
    unsigned char* data = nullptr;
    const size_t size = fz_buffer_storage(ctx, buffer, &data);
    const QString result = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    fz_drop_buffer(ctx, buffer);
    return result;
}

PageText PdfDocument::words(int position) const
{
    std::lock_guard lock(d->mutex);
    auto page = d->loadPage(position);
    fz_context* ctx = d->ctx();
    fz_page* p = page->get();
    fz_stext_page* text = nullptr;
    fz_rect bounds{};
    fz_var(text);
    Message message = "";
    const bool ok = guarded(ctx, message, [&] {
        bounds = fz_bound_page(ctx, p);
        // Ligatures come out as their letters: the preserving flag is off.
        const fz_stext_options options = {FZ_STEXT_MEDIABOX_CLIP, 1.0f};
        text = fz_new_stext_page_from_page(ctx, p, &options);
    });
    std::unique_ptr<fz_stext_page, std::function<void(fz_stext_page*)>> owner(
        text, [ctx](fz_stext_page* t) { fz_drop_stext_page(ctx, t); });
    if (!ok)
        throw Error(QString::fromLatin1(kDamaged),
                    formatMessage("Cannot read the words of page %d (%s)", {position + 1, message}));

    // The text page is plain memory from here on: no library calls.
    PageTextBuilder builder(bounds.x0, bounds.y0, bounds.x1, bounds.y1);
    for (const fz_stext_block* block = text->first_block; block; block = block->next) {
        if (block->type != FZ_STEXT_BLOCK_TEXT)
            continue;
        builder.beginBlock();
        for (const fz_stext_line* line = block->u.t.first_line; line; line = line->next) {
            builder.beginLine(line->dir.x, line->dir.y);
            for (const fz_stext_char* ch = line->first_char; ch; ch = ch->next) {
                const fz_rect box = fz_rect_from_quad(ch->quad);
                builder.addChar(char32_t(ch->c), box.x0, box.y0, box.x1, box.y1);
            }
        }
    }
    return builder.take();
}

namespace {

// Reads the ranges of a page-label number tree: its leaves' /Nums pairs of
// a first page and a label dictionary, its inner nodes' /Kids. Each object
// is read under its own guard; a node that cannot be read is skipped. The
// walk is bounded, so a tree whose kids lead back to it ends.
class PageLabelTree {
public:
    explicit PageLabelTree(fz_context* ctx) : m_ctx(ctx) {}

    void walk(pdf_obj* node, int depth)
    {
        if (!node || depth > kMaxDepth || ++m_nodes > kMaxNodes)
            return;
        fz_context* ctx = m_ctx;
        pdf_obj* kids = nullptr;
        pdf_obj* nums = nullptr;
        int kidCount = 0, numCount = 0;
        if (!read([&] {
                kids = pdf_dict_get(ctx, node, PDF_NAME(Kids));
                nums = pdf_dict_get(ctx, node, PDF_NAME(Nums));
                kidCount = pdf_array_len(ctx, kids);
                numCount = pdf_array_len(ctx, nums);
            }))
            return;
        for (int i = 0; i + 1 < numCount && m_ranges.size() < kMaxRanges; i += 2)
            addRange(nums, i);
        for (int i = 0; i < kidCount; ++i) {
            pdf_obj* kid = nullptr;
            if (read([&] { kid = pdf_array_get(ctx, kids, i); }))
                walk(kid, depth + 1);
        }
    }

    std::vector<PageLabelRange> take() { return std::move(m_ranges); }

private:
    static constexpr int kMaxDepth = 32;
    static constexpr int kMaxNodes = 100'000;
    static constexpr size_t kMaxRanges = 1'000'000;

    template <typename Body>
    bool read(Body&& body)
    {
        Message ignored;
        return guarded(m_ctx, ignored, body);
    }

    void addRange(pdf_obj* nums, int i)
    {
        fz_context* ctx = m_ctx;
        int first = -1, start = 1, isInt = 0, hasStart = 0;
        const char* style = nullptr;
        const char* prefix = nullptr;
        if (!read([&] {
                pdf_obj* key = pdf_array_get(ctx, nums, i);
                pdf_obj* label = pdf_array_get(ctx, nums, i + 1);
                isInt = pdf_is_int(ctx, key);
                first = pdf_to_int(ctx, key);
                style = pdf_to_name(ctx, pdf_dict_get(ctx, label, PDF_NAME(S)));
                pdf_obj* p = pdf_dict_get(ctx, label, PDF_NAME(P));
                prefix = pdf_is_string(ctx, p) ? pdf_to_text_string(ctx, p) : "";
                pdf_obj* st = pdf_dict_gets(ctx, label, "St");
                hasStart = pdf_is_int(ctx, st);
                start = pdf_to_int(ctx, st);
            })
            || !isInt || first < 0)
            return;
        PageLabelRange range;
        range.firstPage = first;
        const QByteArray name(style ? style : "");
        if (name.size() == 1 && QByteArray("DRrAa").contains(name[0]))
            range.style = name[0];
        range.prefix = QString::fromUtf8(prefix ? prefix : "");
        range.start = hasStart && start >= 1 ? start : 1;
        m_ranges.push_back(std::move(range));
    }

    fz_context* m_ctx;
    int m_nodes = 0;
    std::vector<PageLabelRange> m_ranges;
};

} // namespace

std::vector<Text> PdfDocument::pageLabels() const
{
    std::lock_guard lock(d->mutex);
    fz_context* ctx = d->ctx();
    pdf_document* pdf = reinterpret_cast<pdf_document*>(d->doc);
    pdf_obj* root = nullptr;
    call(ctx, kDamaged, QStringLiteral("Cannot read the page labels"), [&] {
        root = pdf_dict_gets(ctx, pdf_dict_get(ctx, pdf_trailer(ctx, pdf), PDF_NAME(Root)), "PageLabels");
    });
    if (!root)
        return {};
    PageLabelTree tree(ctx);
    tree.walk(root, 1);
    std::vector<PageLabelRange> ranges = tree.take();
    if (ranges.empty())
        return {};
    return quire::pageLabels(std::move(ranges), d->pageCount);
}

namespace {

// One move of the library's outline iterator, prepared before any library
// call so that the calls themselves need nothing destroyed.
struct OutlineStep {
    enum class Kind { Insert, Down, Up };
    Kind kind = Kind::Insert;
    QByteArray title;
    QByteArray uri;
};

QByteArray linkUri(fz_context* ctx, fz_document* doc, const OutlineEntry& entry)
{
    // The whole width of the page, scrolled to the entry's line.
    const float top = std::isfinite(entry.top) ? std::max(0.0f, entry.top) : 0;
    fz_link_dest dest = fz_make_link_dest_xyz(0, entry.target, 0, top, 0);
    dest.type = FZ_LINK_DEST_FIT_H;
    char* uri = nullptr;
    call(ctx, kWriteFailed, QStringLiteral("Cannot make a bookmark's destination"),
         [&] { uri = fz_format_link_uri(ctx, doc, dest); });
    const QByteArray bytes(uri);
    fz_free(ctx, uri);
    return bytes;
}

void planOutline(fz_context* ctx, fz_document* doc, int pageCount, const std::vector<OutlineEntry>& entries,
                 int depth, std::vector<OutlineStep>& steps)
{
    for (const OutlineEntry& entry : entries) {
        if (entry.target < 0 || entry.target >= pageCount)
            throw Error(QString::fromLatin1(kPageMissing), pageNotInDocument(entry.target + 1, pageCount));
        steps.push_back({OutlineStep::Kind::Insert, entry.title.toUtf8(), linkUri(ctx, doc, entry)});
        if (!entry.children.empty() && depth < kMaxOutlineDepth) {
            steps.push_back({OutlineStep::Kind::Down, {}, {}});
            planOutline(ctx, doc, pageCount, entry.children, depth + 1, steps);
            steps.push_back({OutlineStep::Kind::Up, {}, {}});
        }
    }
}

// Replaces the document's outline by the planned one. Library calls only.
void insertOutline(fz_context* ctx, pdf_document* doc, const std::vector<OutlineStep>& steps)
{
    fz_outline_iterator* iterator = nullptr;
    fz_var(iterator);
    Message message = "";
    const bool ok = guarded(ctx, message, [&] {
        pdf_dict_del(ctx, pdf_dict_get(ctx, pdf_trailer(ctx, doc), PDF_NAME(Root)), PDF_NAME(Outlines));
        iterator = pdf_new_outline_iterator(ctx, doc);
        // Each insertion leaves the iterator after the new entry; its
        // children go below it, and the next entry after it again.
        for (const OutlineStep& step : steps) {
            int moved = 0;
            switch (step.kind) {
            case OutlineStep::Kind::Insert: {
                fz_outline_item item = {const_cast<char*>(step.title.constData()),
                                        const_cast<char*>(step.uri.constData()), 1};
                moved = fz_outline_iterator_insert(ctx, iterator, &item);
                break;
            }
            case OutlineStep::Kind::Down:
                moved = fz_outline_iterator_prev(ctx, iterator);
                if (moved >= 0)
                    moved = fz_outline_iterator_down(ctx, iterator);
                break;
            case OutlineStep::Kind::Up:
                moved = fz_outline_iterator_up(ctx, iterator);
                if (moved >= 0)
                    moved = fz_outline_iterator_next(ctx, iterator);
                break;
            }
            if (moved < 0)
                fz_throw(ctx, FZ_ERROR_GENERIC, "the outline cannot be walked");
        }
    });
    fz_drop_outline_iterator(ctx, iterator);
    if (!ok)
        throw Error(QString::fromLatin1(kWriteFailed), formatMessage("Cannot add the bookmarks (%s)", {message}));
}

// A copy of the file in its folder, removed again unless released.
std::unique_ptr<QTemporaryFile> copyBeside(const QString& path)
{
    const QString name = fileName(path);
    auto fail = [&](const QString& why) {
        return Error(QString::fromLatin1(kWriteFailed),
                     formatMessage("Cannot write bookmarks into \"%@\" (%@)", {name, why}));
    };
    QFile original(path);
    if (!original.open(QIODevice::ReadOnly))
        throw fail(original.errorString());
    auto copy = std::make_unique<QTemporaryFile>(path + QStringLiteral(".XXXXXX"));
    if (!copy->open())
        throw fail(copy->errorString());
    while (!original.atEnd()) {
        const QByteArray chunk = original.read(1 << 20);
        if (chunk.isEmpty() || copy->write(chunk) != chunk.size())
            throw fail(chunk.isEmpty() ? original.errorString() : copy->errorString());
    }
    copy->setPermissions(original.permissions());
    if (!copy->flush())
        throw fail(copy->errorString());
    copy->close();
    return copy;
}

} // namespace

void writeOutline(const QString& path, const std::vector<OutlineEntry>& entries)
{
    if (entries.empty())
        return;
    std::shared_ptr<PdfDocument> document = PdfDocument::open(path);
    std::unique_ptr<QTemporaryFile> copy;
    {
        PdfDocument::Impl& d = *document->d;
        std::lock_guard lock(d.mutex);
        fz_context* ctx = d.ctx();
        pdf_document* pdf = reinterpret_cast<pdf_document*>(d.doc);
        std::vector<OutlineStep> steps;
        planOutline(ctx, d.doc, d.pageCount, entries, 1, steps);
        insertOutline(ctx, pdf, steps);

        copy = copyBeside(path);
        const QByteArray target = QFile::encodeName(copy->fileName());
        const char* filename = target.constData();
        pdf_write_options options = pdf_default_write_options;
        call(ctx, kWriteFailed, formatMessage("Cannot write bookmarks into \"%@\"", {fileName(path)}), [&] {
            // Appended to the copy, whose bytes are the ones the library read.
            options.do_incremental = pdf_can_be_saved_incrementally(ctx, pdf);
            pdf_save_document(ctx, pdf, filename, &options);
        });
    }
    document.reset();
    if (std::rename(QFile::encodeName(copy->fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        throw Error(QString::fromLatin1(kWriteFailed),
                    formatMessage("Cannot replace \"%@\" (%s)", {fileName(path), std::strerror(errno)}));
    copy->setAutoRemove(false);
}

} // namespace quire::pdf
