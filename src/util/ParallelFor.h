#pragma once
// Work on many independent items spread over a few threads.
#include <cstddef>
#include <functional>

namespace quire {

// Calls body(index, worker) for every index below count on at most
// maxWorkers threads, the calling thread among them; `worker` (below the
// number of threads) tells each thread's calls apart, for state of their
// own. Indexes are started in order: once a call returns false no further
// index starts, and every index below it has run. Threads that cannot be
// started leave their share to the others. Returns when all calls are done.
void parallelFor(size_t count, unsigned maxWorkers, const std::function<bool(size_t index, unsigned worker)>& body);

// Threads worth starting for count items of which one thread should get at
// least perThread: at most the online cores and kMaxWorkers, at least 1.
unsigned workersFor(size_t count, size_t perThread);
inline constexpr unsigned kMaxWorkers = 4;

} // namespace quire
