#include "ParallelFor.h"

#include "Log.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace quire {

unsigned workersFor(size_t count, size_t perThread)
{
    const size_t wanted = perThread ? count / perThread : count;
    return unsigned(std::clamp<size_t>(std::min<size_t>(wanted, std::thread::hardware_concurrency()), 1, kMaxWorkers));
}

void parallelFor(size_t count, unsigned maxWorkers, const std::function<bool(size_t, unsigned)>& body)
{
    std::atomic<size_t> next{0};
    std::atomic<bool> stopped{false};
    const auto work = [&](unsigned worker) {
        for (size_t i = next++; i < count && !stopped.load(); i = next++)
            if (!body(i, worker))
                stopped.store(true);
    };
    std::vector<std::thread> threads;
    for (unsigned worker = 1; worker < std::min<size_t>(maxWorkers, count); ++worker) {
        try {
            threads.emplace_back(work, worker);
        } catch (const std::system_error& e) {
            QLOG_WARN("working with %d threads instead of %d: %s", int(threads.size()) + 1, int(maxWorkers), e.what());
            break;
        }
    }
    work(0);
    for (auto& thread : threads)
        thread.join();
}

} // namespace quire
