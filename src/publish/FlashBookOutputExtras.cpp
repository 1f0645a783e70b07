// What the book has besides its pictures and configuration: thumbnails, the
// pages' words and the list of both with the pages' labels.
#include "BookExtras.h"
#include "FlashBookOutput.h"
#include "PublishConstants.h"
#include "PublishFiles.h"
#include "ThumbnailBatch.h"
#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/ParallelFor.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace quire {
namespace {

using publish::makeFolder;
using publish::writeFile;

// A thumbnail's size, noted with its file so that a rebuild reusing the file
// need not read it: "WxH".
QByteArray sizeNote(const QSize& size)
{
    return QByteArray::number(size.width()) + 'x' + QByteArray::number(size.height());
}

std::optional<QSize> sizeFromNote(const QByteArray& note)
{
    const QList<QByteArray> wh = note.split('x');
    return wh.size() == 2 ? std::optional<QSize>(QSize(wh[0].toInt(), wh[1].toInt())) : std::nullopt;
}

// The words of the book positions of text group g.
std::vector<const PageText*> textGroup(const std::vector<publish::PageExtras>& extras, size_t g)
{
    std::vector<const PageText*> group;
    const size_t size = publish::kTextGroupSize;
    for (size_t i = g * size; i < std::min(extras.size(), (g + 1) * size); ++i)
        group.push_back(extras[i].text);
    return group;
}

} // namespace

PublishResult FlashBookOutput::prepaireThumbPage(const QString& folder)
{
    PublishResult result;
    m_thumbnails.clear();
    if (!m_flashPageSource || m_flashPageSource->normalPages().empty())
        return result;
    const QString step = QStringLiteral("thumbnails");
    const QString base = folderOrOutput(folder);
    const QString thumbFolder = QString::fromUtf8(publish::kThumbFolder);
    const auto relativeOf = [&](int number) {
        return formatMessage("%@/%@/%d.jpg", {m_resourceFolder, thumbFolder, number});
    };
    const auto& pages = m_flashPageSource->normalPages();
    // Each is taken from the one the import made with the picture, or made from it.
    std::vector<QString> madeBefore;
    std::vector<std::optional<PublishReuse::Origin>> origins;
    std::vector<PublishReuse::Wanted> wanted;
    for (const auto& page : pages) {
        const FlashPage* before = m_flashPageSource->getThumbPageAtIndex(page->pageIndex());
        madeBefore.push_back(before ? textOr(before->pageFilePath()) : QString());
        origins.push_back(perPageOrigin(textOr(page->pageFilePath()), QStringLiteral("thumb ") + madeBefore.back()));
        if (origins.back())
            wanted.push_back({relativeOf(page->pageIndex()), *origins.back()});
    }
    std::vector<QByteArray> notes;
    if (keepFolder(fs::join(m_resourceFolder, thumbFolder), wanted, pages.size(), &notes)) {
        for (size_t i = 0; i < notes.size(); ++i)
            if (const auto size = sizeFromNote(notes[i]))
                m_thumbnails[pages[i]->pageIndex()] = *size;
        return result;
    }
    if (!makeFolder(fs::join(base, m_resourceFolder, thumbFolder), step, result))
        return result;
    struct Made {
        int number;
        QString relative;
        std::optional<PublishReuse::Origin> origin;
    };
    std::vector<publish::ThumbnailJob> jobs;
    std::vector<Made> made; // what the jobs make, for the next publish to reuse
    for (size_t i = 0; i < pages.size(); ++i) {
        const int number = pages[i]->pageIndex();
        const QString relative = relativeOf(number);
        QByteArray note;
        if (origins[i] && reusePerPageFile(base, relative, *origins[i], &note)) {
            if (const auto size = sizeFromNote(note)) {
                m_thumbnails[number] = *size;
                continue;
            }
        }
        jobs.push_back({madeBefore[i], textOr(pages[i]->pageFilePath()), fs::join(base, relative)});
        made.push_back({number, relative, origins[i]});
    }
    std::vector<std::optional<QSize>> sizes;
    result = publish::writeThumbnails(jobs, step, sizes);
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (!sizes[i])
            continue;
        ++m_perPageFilesMade;
        m_thumbnails[made[i].number] = *sizes[i];
        if (made[i].origin)
            rememberPerPageFile(base, made[i].relative, *made[i].origin, sizeNote(*sizes[i]));
    }
    if (result.ok() && m_thumbnails.empty())
        QDir().rmdir(fs::join(base, m_resourceFolder, thumbFolder)); // no picture could be read: nothing to show
    publish::moment("thumbnails");
    return result;
}

// The words, a group of book positions a file. Groups are encoded side by
// side: compressing them is the slowest part of a publish, so a group made
// from the very texts of the book in place is linked from it instead (the
// texts are immutable, and kept alive meanwhile so that their addresses
// name them).
bool FlashBookOutput::writeTextGroups(const QString& base, const std::vector<publish::PageExtras>& extras,
                                      const std::vector<std::shared_ptr<const PageText>>& texts,
                                      PublishResult& result)
{
    const QString step = QStringLiteral("page text");
    const QString textFolder = QString::fromUtf8(publish::kTextFolder);
    const size_t size = publish::kTextGroupSize;
    const size_t groups = (extras.size() + size - 1) / size;
    std::vector<QString> relative(groups);
    std::vector<std::optional<PublishReuse::Origin>> toWrite(groups);
    std::vector<PublishReuse::Wanted> wanted;
    for (size_t g = 0; g < groups; ++g) {
        const std::vector<const PageText*> group = textGroup(extras, g);
        if (std::all_of(group.begin(), group.end(), [](const PageText* text) { return !text; }))
            continue; // no words in the group
        QByteArray identity;
        for (const PageText* text : group) {
            const auto address = quintptr(text);
            identity.append(reinterpret_cast<const char*>(&address), sizeof address);
        }
        relative[g] = formatMessage("%@/%@/%d.js", {m_resourceFolder, textFolder, int(g)});
        toWrite[g] = PublishReuse::madeFrom(QStringLiteral("text"), identity);
        wanted.push_back({relative[g], *toWrite[g]});
    }
    if (m_reusing)
        for (const auto& text : texts)
            m_fileReuse->keep(text);
    if (keepFolder(fs::join(m_resourceFolder, textFolder), wanted, wanted.size()))
        return true;
    if (!makeFolder(fs::join(base, m_resourceFolder, textFolder), step, result))
        return false;
    for (size_t g = 0; g < groups; ++g)
        if (toWrite[g] && reusePerPageFile(base, relative[g], *toWrite[g]))
            toWrite[g].reset();
    std::vector<PublishResult> written(groups);
    parallelFor(groups, workersFor(groups, 2), [&](size_t g, unsigned) {
        return !toWrite[g]
            || writeFile(fs::join(base, relative[g]), publish::textGroupScript(int(g), textGroup(extras, g)), step,
                         written[g]);
    });
    for (size_t g = 0; g < groups; ++g) {
        result.take(written[g]);
        m_perPageFilesMade += toWrite[g] ? 1 : 0;
        if (toWrite[g] && written[g].ok())
            rememberPerPageFile(base, relative[g], *toWrite[g]);
    }
    return result.ok();
}

PublishResult FlashBookOutput::prepaireBookExtras(const QString& folder)
{
    PublishResult result;
    if (!m_flashPageSource)
        return result;
    const QString base = fs::join(folderOrOutput(folder), m_resourceFolder);
    std::vector<publish::PageExtras> extras;
    std::vector<std::shared_ptr<const PageText>> texts;
    for (const auto& entry : m_flashPageSource->pages()) {
        const FlashPage& page = normalPageFor(*entry);
        publish::PageExtras item;
        item.pageNumber = page.pageIndex();
        item.label = page.pageLabel();
        if (const auto thumbnail = m_thumbnails.find(item.pageNumber); thumbnail != m_thumbnails.end())
            item.thumbnail = thumbnail->second;
        if (page.pageText() && !page.pageText()->empty()) {
            item.text = page.pageText().get();
            texts.push_back(page.pageText());
        }
        extras.push_back(std::move(item));
    }

    const bool anyText = std::any_of(extras.begin(), extras.end(), [](const auto& e) { return e.text; });
    if (anyText && !writeTextGroups(folderOrOutput(folder), extras, texts, result))
        return result;

    const QString list = fs::join(base, QString::fromUtf8(publish::kExtrasScriptName));
    if (publish::hasExtras(extras) && makeFolder(base, QStringLiteral("book extras"), result))
        writeFile(list, publish::extrasScript(extras), QStringLiteral("book extras"), result);
    else
        QFile::remove(list);
    return result;
}

} // namespace quire
