#include "batch/WorkerPool.h"

#include <algorithm>

namespace batch {

WorkerPool::WorkerPool(int count, Job job)
    : job_(std::move(job)),
      busy_(static_cast<size_t>(count), false),
      given_(static_cast<size_t>(count)) {
    threads_.reserve(static_cast<size_t>(count));
    for (int w = 0; w < count; ++w)
        threads_.emplace_back([this, w] { Serve(w); });
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    work_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

std::optional<int> WorkerPool::AnyIdle() const noexcept {
    const auto it = std::find(busy_.begin(), busy_.end(), false);
    if (it == busy_.end())
        return std::nullopt;
    return static_cast<int>(it - busy_.begin());
}

bool WorkerPool::AnyBusy() const noexcept {
    return std::find(busy_.begin(), busy_.end(), true) != busy_.end();
}

void WorkerPool::Give(int worker, qsizetype index) {
    busy_[static_cast<size_t>(worker)] = true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        given_[static_cast<size_t>(worker)] = index;
    }
    work_.notify_all();
}

std::vector<WorkerPool::Done> WorkerPool::Wait(std::chrono::milliseconds timeout) {
    std::vector<Done> done;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        finished_.wait_for(lock, timeout, [this] { return !done_.empty(); });
        done.swap(done_);
    }
    for (const Done& d : done)
        busy_[static_cast<size_t>(d.worker)] = false;
    return done;
}

void WorkerPool::Serve(int worker) {
    const auto w = static_cast<size_t>(worker);
    for (;;) {
        qsizetype index = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            work_.wait(lock, [&] { return stop_ || given_[w].has_value(); });
            if (!given_[w])
                return;
            index = *given_[w];
        }
        DocumentResult result = job_(worker, index);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            given_[w].reset();
            done_.push_back({worker, index, std::move(result)});
        }
        finished_.notify_one();
    }
}

}  // namespace batch
