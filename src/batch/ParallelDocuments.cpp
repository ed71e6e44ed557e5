#include "batch/ParallelDocuments.h"

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "batch/WorkerPool.h"
#include "filesafe/SaveGroup.h"

namespace batch {

namespace {

// One worker's own engine and save group; the messages its documents raise are kept with their
// results and shown when those are reported.
struct Worker {
    filesafe::SaveGroup group;
    word::Registry engine;
    DocumentReports reports{[](DocumentReports::Kind, const QString&) {}};
    std::unique_ptr<DocumentServices> services;
    QStringList pending;  // the files whose saves wait in group
    QString processing;   // the file being processed
};

// The file a path names, links resolved, so that a file named twice is known as one.
QString FileOf(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

}  // namespace

void ParallelDocuments(const ParallelRun& run, HeldResults& held,
                       const std::function<void()>& report,
                       const std::function<void(qsizetype place, const QString& path)>& progress) {
    const qsizetype count = run.documents.size();
    const int n = static_cast<int>(std::min<qsizetype>(run.jobs, count));
    std::vector<std::unique_ptr<Worker>> workers;
    for (int w = 0; w < n; ++w) {
        auto worker = std::make_unique<Worker>();
        run.env.runEngine(worker->engine, run.hook, &worker->group, w);
        worker->services.reset(new DocumentServices{
            {worker->engine, worker->reports, worker->reports, run.view}, worker->reports});
        workers.push_back(std::move(worker));
    }
    // A worker's due group is handed to a commit of its own thread, so that the worker goes on
    // while the files are flushed and renamed. One commit runs at a time, which alone tells the
    // journal; the next waits for it, and so does a document whose file it holds.
    // (A thread and a flag rather than std::async: a future's one-time setup would make the
    // program need the dynamic loader's thread-local lookup.)
    struct InFlight {
        std::unique_ptr<filesafe::SaveGroup> group;
        QStringList files;
        std::vector<filesafe::SaveGroup::Outcome> outcomes;  // once done
        std::exception_ptr failure;  // what Commit raised, to raise again here
        std::atomic<bool> done{false};
        std::thread thread;
        ~InFlight() {
            if (thread.joinable())
                thread.join();
        }
    };
    std::unique_ptr<InFlight> inFlight;
    auto settle = [&](bool wait) {
        if (!inFlight || (!wait && !inFlight->done.load(std::memory_order_acquire)))
            return;
        inFlight->thread.join();
        const std::unique_ptr<InFlight> ended = std::move(inFlight);
        if (ended->failure)
            std::rethrow_exception(ended->failure);
        held.Settle(ended->outcomes);
    };
    auto commit = [&](Worker& worker) {
        settle(true);
        if (worker.group.Size() == 0) {
            worker.pending.clear();
            return;
        }
        auto next = std::make_unique<InFlight>();
        next->group = worker.group.Detach();
        next->files = std::move(worker.pending);
        worker.pending.clear();
        try {
            next->thread = std::thread([job = next.get()] {
                try {
                    job->outcomes = job->group->Commit();
                } catch (...) {
                    job->failure = std::current_exception();
                }
                job->done.store(true, std::memory_order_release);
            });
        } catch (const std::system_error&) {
            // No thread to be had: the commit is made here, as with one worker.
            held.Settle(next->group->Commit());
            return;
        }
        inFlight = std::move(next);
    };

    // Declared after the workers: ended, its documents finished, before them.
    WorkerPool pool(n, [&](int w, qsizetype i) {
        return ProcessDocument(*workers[static_cast<size_t>(w)]->services, run.mode,
                               run.documents[i], run.x);
    });
    qsizetype next = 0;
    while (next < count || pool.AnyBusy()) {
        while (next < count) {
            const std::optional<int> idle = pool.AnyIdle();
            if (!idle)
                break;
            const QString& path = run.documents[next];
            const QString file = FileOf(path);
            if (inFlight && inFlight->files.contains(file))
                settle(true);
            bool wait = false;
            for (int w = 0; w < n; ++w) {
                Worker& worker = *workers[static_cast<size_t>(w)];
                if (!pool.Idle(w))
                    wait = wait || worker.processing == file || worker.pending.contains(file);
                else if (worker.pending.contains(file) ||
                         worker.group.HoldsFileAt(path.toStdString())) {
                    commit(worker);
                    settle(true);
                }
            }
            if (wait)
                break;
            Worker& worker = *workers[static_cast<size_t>(*idle)];
            worker.group.Tag(static_cast<std::uint64_t>(next));
            worker.processing = file;
            held.Expect(static_cast<std::uint64_t>(next));
            pool.Give(*idle, next);
            ++next;
            progress(next, path);
        }
        for (WorkerPool::Done& done : pool.Wait(filesafe::SaveGroup::kMaxWait)) {
            Worker& worker = *workers[static_cast<size_t>(done.worker)];
            const bool waits = worker.group.Holds(static_cast<std::uint64_t>(done.index));
            if (waits)
                worker.pending << worker.processing;
            worker.processing.clear();
            held.Fill(static_cast<std::uint64_t>(done.index), std::move(done.result), waits);
        }
        settle(false);
        for (int w = 0; w < n; ++w)
            if (pool.Idle(w) && workers[static_cast<size_t>(w)]->group.Due())
                commit(*workers[static_cast<size_t>(w)]);
        report();
    }
    for (const std::unique_ptr<Worker>& worker : workers)
        commit(*worker);
    settle(true);
    report();
}

}  // namespace batch
