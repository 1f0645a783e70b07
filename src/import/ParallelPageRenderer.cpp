#include "ParallelPageRenderer.h"

#include "PageRenderer.h"
#include "util/Error.h"
#include "util/Log.h"

#include <QFile>
#include <algorithm>

namespace quire {

int ParallelPageRenderer::defaultWorkerCount()
{
    return int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

ParallelPageRenderer::ParallelPageRenderer(std::shared_ptr<pdf::PdfDocument> doc, std::vector<int> pageNumbers,
                                           int quality, std::function<QString(int)> pathFor, int workers,
                                           std::function<bool()> stopRequested)
    : m_doc(std::move(doc)),
      m_pageNumbers(std::move(pageNumbers)),
      m_quality(quality),
      m_pathFor(std::move(pathFor)),
      m_stopRequested(std::move(stopRequested)),
      m_slots(m_pageNumbers.size())
{
    const int count = std::max(1, std::min(workers, int(m_pageNumbers.size())));
    for (int k = 0; k < count; ++k) {
        try {
            std::lock_guard lock(m_mutex);
            m_threads.emplace_back(&ParallelPageRenderer::work, this, k);
            ++m_active;
        } catch (const std::system_error& e) {
            if (m_threads.empty())
                throw Error(QStringLiteral("ERROR_RENDER_THREAD"), QString::fromUtf8(e.what()));
            QLOG_WARN("rendering with %d threads instead of %d: %s", int(m_threads.size()), count, e.what());
            break;
        }
    }
}

ParallelPageRenderer::~ParallelPageRenderer()
{
    finish();
}

void ParallelPageRenderer::work(int index)
{
    std::unique_ptr<PageRenderer> renderer;
    try {
        auto doc = index == 0 ? m_doc : pdf::PdfDocument::open(m_doc->path());
        if (doc->pageCount() != m_doc->pageCount())
            throw Error(QStringLiteral("ERROR_RENDER_THREAD"), QStringLiteral("the document changed on disk"));
        renderer = std::make_unique<PageRenderer>(std::move(doc), m_quality);
    } catch (const std::exception& e) {
        QLOG_WARN("render thread %d cannot start: %s", index, e.what());
    }

    while (renderer) {
        size_t position;
        {
            std::lock_guard lock(m_mutex);
            if (m_halt || m_next >= m_slots.size() || m_stopRequested())
                break;
            position = m_next++;
            m_slots[position].state = State::Claimed;
        }
        State state = State::Done;
        std::exception_ptr error;
        std::shared_ptr<const PageText> text;
        try {
            const int n = m_pageNumbers[position];
            renderer->renderPage(n, m_pathFor(n));
            text = readPageText(renderer->document(), n);
        } catch (...) {
            state = State::Failed;
            error = std::current_exception();
        }
        {
            std::lock_guard lock(m_mutex);
            m_slots[position].state = state;
            m_slots[position].error = error;
            m_slots[position].text = std::move(text);
            if (error)
                m_halt = true; // the run ends at this page: no use going on
        }
        m_changed.notify_all();
    }

    {
        std::lock_guard lock(m_mutex);
        --m_active;
    }
    m_changed.notify_all();
}

bool ParallelPageRenderer::waitFor(size_t position)
{
    std::unique_lock lock(m_mutex);
    Slot& slot = m_slots.at(position);
    m_changed.wait(lock, [&] {
        return slot.state == State::Done || slot.state == State::Failed
               || (slot.state == State::Pending && (m_active == 0 || m_halt));
    });
    if (slot.state == State::Failed)
        std::rethrow_exception(slot.error);
    if (slot.state == State::Pending) {
        if (m_halt || m_stopRequested())
            return false;
        throw Error(QStringLiteral("ERROR_RENDER_THREAD"), QStringLiteral("No thread could render the pages"));
    }
    m_taken = position + 1;
    return true;
}

std::shared_ptr<const PageText> ParallelPageRenderer::text(size_t position)
{
    std::lock_guard lock(m_mutex);
    return std::move(m_slots.at(position).text);
}

void ParallelPageRenderer::finish()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_finished)
            return;
        m_finished = true;
        m_halt = true;
    }
    m_changed.notify_all();
    for (auto& thread : m_threads)
        thread.join();
    for (size_t i = m_taken; i < m_slots.size(); ++i)
        if (m_slots[i].state == State::Done) {
            const QString path = m_pathFor(m_pageNumbers[i]);
            QFile::remove(path);
            QFile::remove(thumbnailPathFor(path));
        }
}

} // namespace quire
