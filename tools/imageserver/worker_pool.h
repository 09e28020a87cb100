#pragma once
// A fixed set of worker threads taking tasks from a bounded queue: a task that
// finds the queue full is refused at once rather than queued without end.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace chronvale::imaged {

class WorkerPool {
public:
    WorkerPool(size_t threads, size_t capacity);
    // Runs the tasks queued before, then ends the threads.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues a task; false (and the task dropped) when the queue is full.
    bool post(std::function<void()> task);

    size_t threads() const { return threads_.size(); }

    // Worker threads for this machine: two per processor, as workers also wait
    // on files, and at least four.
    static size_t threadsForMachine();

private:
    void run();

    size_t capacity_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace chronvale::imaged
