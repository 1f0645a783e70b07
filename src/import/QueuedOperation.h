#pragma once
// What an ImportOperationQueue runs: work started once on a thread of the
// queue, cancellable from any thread, finished when start() has returned.
namespace quire {

class QueuedOperation {
public:
    virtual ~QueuedOperation() = default;
    // Runs the work in the calling thread; an operation runs once.
    virtual void start() = 0;
    // Any thread, any time; after the end it changes nothing.
    virtual void cancel() = 0;
    virtual bool isFinished() const = 0;
};

} // namespace quire
