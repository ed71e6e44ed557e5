#pragma once

#include <QtGlobal>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "batch/ProcessDocument.h"

namespace batch {

// Threads that process one document each at a time, handed out by the run's thread: a worker
// holds at most one document, so a run holds at most as many documents as it has workers.
// Everything a worker uses while it processes (its engine, its save group) is its own; the run's
// thread touches a worker's things only while that worker is idle.
class WorkerPool {
  public:
    // Processes the document at index on worker; runs on that worker's thread. Never raises.
    using Job = std::function<DocumentResult(int worker, qsizetype index)>;
    // A document processed.
    struct Done {
        int worker = 0;
        qsizetype index = 0;
        DocumentResult result;
    };

    // Starts count threads, idle.
    WorkerPool(int count, Job job);
    // Lets the documents being processed finish, then ends the threads.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int Count() const noexcept { return static_cast<int>(busy_.size()); }
    // Whether worker has no document; only the run's thread changes that (Give, Wait).
    bool Idle(int worker) const noexcept { return !busy_[static_cast<size_t>(worker)]; }
    // The first idle worker, if any.
    std::optional<int> AnyIdle() const noexcept;
    bool AnyBusy() const noexcept;
    // Hands the document at index to worker, which must be idle.
    void Give(int worker, qsizetype index);
    // The documents finished since the last call, their workers idle again; waits up to
    // timeout for one when none has finished (and returns none when timeout passes first).
    std::vector<Done> Wait(std::chrono::milliseconds timeout);

  private:
    void Serve(int worker);

    Job job_;
    std::vector<bool> busy_;  // the run's thread's view
    std::mutex mutex_;
    std::condition_variable work_, finished_;
    std::vector<std::optional<qsizetype>> given_;  // under mutex_
    std::vector<Done> done_;                       // under mutex_
    bool stop_ = false;                            // under mutex_
    std::vector<std::thread> threads_;
};

}  // namespace batch
