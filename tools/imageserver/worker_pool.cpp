#include "worker_pool.h"

#include <algorithm>

namespace chronvale::imaged {

WorkerPool::WorkerPool(size_t threads, size_t capacity) : capacity_(std::max<size_t>(capacity, 1)) {
    for (size_t i = 0; i < std::max<size_t>(threads, 1); ++i) {
        threads_.emplace_back([this] { run(); });
    }
}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

bool WorkerPool::post(std::function<void()> task) {
    {
        const std::lock_guard lock(mutex_);
        if (tasks_.size() >= capacity_ || stopping_) {
            return false;
        }
        tasks_.push_back(std::move(task));
    }
    ready_.notify_one();
    return true;
}

size_t WorkerPool::threadsForMachine() {
    return std::max<size_t>(4, 2 * std::max(1u, std::thread::hardware_concurrency()));
}

void WorkerPool::run() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) {
                return;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

} // namespace chronvale::imaged
