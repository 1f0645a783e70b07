#pragma once
// Renders a list of pages on several threads, each with a document of its
// own, and reads their words, while the caller takes the pages in list
// order. The files are those a single renderer would write, byte for byte.
#include "PdfDocument.h"

#include <QString>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quire {

class ParallelPageRenderer {
public:
    // Worker 0 renders with `doc`; the others open the same file for
    // themselves. Workers stop taking pages once stopRequested() is true.
    ParallelPageRenderer(std::shared_ptr<pdf::PdfDocument> doc, std::vector<int> pageNumbers, int quality,
                         std::function<QString(int)> pathFor, int workers, std::function<bool()> stopRequested);
    ~ParallelPageRenderer();
    ParallelPageRenderer(const ParallelPageRenderer&) = delete;
    ParallelPageRenderer& operator=(const ParallelPageRenderer&) = delete;

    // Waits until the page at `position` of the list is rendered. False when
    // it never will be because rendering was stopped; rethrows the failure
    // of a page that could not be loaded.
    bool waitFor(size_t position);
    // The words of a page waitFor() has answered true for (see readPageText).
    std::shared_ptr<const PageText> text(size_t position);

    // Stops and joins the workers, then removes the files of pages rendered
    // ahead of the last page taken, so the folder holds what a single
    // renderer stopped at the same point would have left.
    void finish();

    static int defaultWorkerCount(); // online cores, at most 4

private:
    enum class State { Pending, Claimed, Done, Failed };
    struct Slot {
        State state = State::Pending;
        std::exception_ptr error;
        std::shared_ptr<const PageText> text;
    };

    void work(int index);

    std::shared_ptr<pdf::PdfDocument> m_doc;
    std::vector<int> m_pageNumbers;
    int m_quality;
    std::function<QString(int)> m_pathFor;
    std::function<bool()> m_stopRequested;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Slot> m_slots;
    size_t m_next = 0;        // first position no worker has taken
    size_t m_taken = 0;       // positions the caller has taken
    int m_active = 0;         // workers still running
    bool m_halt = false;
    bool m_finished = false;
    std::vector<std::thread> m_threads;
};

} // namespace quire
