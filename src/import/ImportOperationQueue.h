#pragma once
// Runs import operations (a PDF import, or a whole document import), each
// on a thread of its own, and cancels them as a group. Destroying the queue
// cancels what still runs and waits for it.
#include "QueuedOperation.h"

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quire {

class ImportOperationQueue {
public:
    ImportOperationQueue() = default;
    ~ImportOperationQueue();
    ImportOperationQueue(const ImportOperationQueue&) = delete;
    ImportOperationQueue& operator=(const ImportOperationQueue&) = delete;

    void addOperation(std::shared_ptr<QueuedOperation> operation);
    void cancelAllOperations();
    // Operations added and not yet finished.
    int operationCount();
    void waitUntilAllOperationsAreFinished();

private:
    struct Entry {
        std::shared_ptr<QueuedOperation> operation;
        std::thread thread;
    };
    void reapFinished(); // joins the threads of finished operations

    std::mutex m_mutex;
    std::vector<Entry> m_entries;
};

} // namespace quire
