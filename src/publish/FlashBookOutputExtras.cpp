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

// The words, a group of book positions a file. Groups are encoded side by
// side: compressing them is the slowest part of a publish.
bool writeTextGroups(const QString& folder, const std::vector<publish::PageExtras>& extras, PublishResult& result)
{
    const QString step = QStringLiteral("page text");
    if (!makeFolder(folder, step, result))
        return false;
    const size_t groups = (extras.size() + publish::kTextGroupSize - 1) / publish::kTextGroupSize;
    std::vector<PublishResult> written(groups);
    parallelFor(groups, workersFor(groups, 2), [&](size_t g, unsigned) {
        std::vector<const PageText*> group;
        for (size_t i = g * publish::kTextGroupSize; i < std::min(extras.size(), (g + 1) * publish::kTextGroupSize); ++i)
            group.push_back(extras[i].text);
        if (std::all_of(group.begin(), group.end(), [](const PageText* text) { return !text; }))
            return true;
        return writeFile(fs::join(folder, formatMessage("%d.js", {int(g)})), publish::textGroupScript(int(g), group),
                         step, written[g]);
    });
    for (const PublishResult& group : written)
        result.take(group);
    return result.ok();
}

} // namespace

PublishResult FlashBookOutput::prepaireThumbPage(const QString& folder)
{
    PublishResult result;
    m_thumbnails.clear();
    if (!m_flashPageSource || m_flashPageSource->normalPages().empty())
        return result;
    const QString step = QStringLiteral("thumbnails");
    const QString thumbFolder = fs::join(folderOrOutput(folder), m_resourceFolder, QString::fromUtf8(publish::kThumbFolder));
    if (!makeFolder(thumbFolder, step, result))
        return result;
    std::vector<publish::ThumbnailJob> jobs;
    std::vector<int> numbers;
    for (const auto& page : m_flashPageSource->normalPages()) {
        const QString picture = textOr(page->pageFilePath());
        const FlashPage* made = m_flashPageSource->getThumbPageAtIndex(page->pageIndex());
        jobs.push_back({made ? textOr(made->pageFilePath()) : QString(), picture,
                        fs::join(thumbFolder, formatMessage("%d.jpg", {page->pageIndex()}))});
        numbers.push_back(page->pageIndex());
    }
    std::vector<std::optional<QSize>> sizes;
    result = publish::writeThumbnails(jobs, step, sizes);
    for (size_t i = 0; i < sizes.size(); ++i)
        if (sizes[i])
            m_thumbnails[numbers[i]] = *sizes[i];
    if (result.ok() && m_thumbnails.empty())
        QDir().rmdir(thumbFolder); // no picture could be read: nothing to show
    publish::moment("thumbnails");
    return result;
}

PublishResult FlashBookOutput::prepaireBookExtras(const QString& folder)
{
    PublishResult result;
    if (!m_flashPageSource)
        return result;
    const QString base = fs::join(folderOrOutput(folder), m_resourceFolder);
    std::vector<publish::PageExtras> extras;
    for (const auto& entry : m_flashPageSource->pages()) {
        const FlashPage& page = normalPageFor(*entry);
        publish::PageExtras item;
        item.pageNumber = page.pageIndex();
        item.label = page.pageLabel();
        if (const auto thumbnail = m_thumbnails.find(item.pageNumber); thumbnail != m_thumbnails.end())
            item.thumbnail = thumbnail->second;
        if (page.pageText() && !page.pageText()->empty())
            item.text = page.pageText().get();
        extras.push_back(std::move(item));
    }

    const bool anyText = std::any_of(extras.begin(), extras.end(), [](const auto& e) { return e.text; });
    if (anyText && !writeTextGroups(fs::join(base, QString::fromUtf8(publish::kTextFolder)), extras, result))
        return result;

    const QString list = fs::join(base, QString::fromUtf8(publish::kExtrasScriptName));
    if (publish::hasExtras(extras))
        writeFile(list, publish::extrasScript(extras), QStringLiteral("book extras"), result);
    else
        QFile::remove(list);
    return result;
}

} // namespace quire
