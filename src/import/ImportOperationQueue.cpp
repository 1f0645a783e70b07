#include "ImportOperationQueue.h"

namespace quire {
namespace {

// An observer running on an operation's own thread may reach the queue: that
// thread cannot wait for itself, and ends on its own right after.
void joinOrLetGo(std::thread& thread)
{
    if (thread.get_id() == std::this_thread::get_id())
        thread.detach();
    else if (thread.joinable())
        thread.join();
}

} // namespace

ImportOperationQueue::~ImportOperationQueue()
{
    cancelAllOperations();
    waitUntilAllOperationsAreFinished();
}

void ImportOperationQueue::addOperation(std::shared_ptr<QueuedOperation> operation)
{
    reapFinished();
    std::lock_guard lock(m_mutex);
    // The thread holds the operation too, so it outlives whoever drops it.
    std::thread thread([operation] { operation->start(); });
    m_entries.push_back(Entry{std::move(operation), std::move(thread)});
}

void ImportOperationQueue::cancelAllOperations()
{
    std::lock_guard lock(m_mutex);
    for (auto& entry : m_entries)
        entry.operation->cancel();
}

int ImportOperationQueue::operationCount()
{
    std::lock_guard lock(m_mutex);
    int count = 0;
    for (auto& entry : m_entries)
        count += entry.operation->isFinished() ? 0 : 1;
    return count;
}

void ImportOperationQueue::waitUntilAllOperationsAreFinished()
{
    std::vector<Entry> entries;
    {
        std::lock_guard lock(m_mutex);
        entries.swap(m_entries);
    }
    for (auto& entry : entries)
        joinOrLetGo(entry.thread);
}

void ImportOperationQueue::reapFinished()
{
    std::vector<Entry> finished;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            if (it->operation->isFinished()) {
                finished.push_back(std::move(*it));
                it = m_entries.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& entry : finished)
        joinOrLetGo(entry.thread); // finished: returns at once or nearly
}

} // namespace quire
