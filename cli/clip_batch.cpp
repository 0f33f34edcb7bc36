#include "cli/clip_batch.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/clip_job.h"
#include "cli/clip_image.h"

namespace {

// Paths read ahead per worker: enough that no worker waits for the reader or
// for the slowest file before it, few enough to keep memory bounded.
constexpr std::uint64_t kAheadPerWorker = 4;

struct TBatchQueue {
    std::mutex mutex;
    std::condition_variable workToDo;
    std::condition_variable resultReady;
    std::deque<std::pair<std::uint64_t, std::string>> paths;  // in input order
    std::map<std::uint64_t, TClipBatch::Entry> results;      // done, not yet handed on
    bool noMorePaths = false;
};

// One loader with its host and job: what a worker clips with.
class TWorkerJob {
public:
    TWorkerJob(const kxRect& clipRect, const std::string& outputDirectory, std::unique_ptr<TClipImage> loader)
        : loader_(std::move(loader)), host_({}, outputDirectory), job_(host_, *loader_)
    {
        host_.LoadFailureReason = [this] { return loader_->FailureReason(); };
        job_.ClipRect = clipRect;
        // Time and memory follow the crop, not the file.
        job_.LoadRegionsOnly = true;
    }
    TClipBatch::Entry Clip(const std::string& path) { return host_.Clip(job_, path); }

private:
    std::unique_ptr<TClipImage> loader_;
    TConsoleClipHost host_;
    TClipJob job_;
};

void Work(TBatchQueue& queue, TWorkerJob& worker)
{
    for (;;) {
        std::pair<std::uint64_t, std::string> item;
        {
            std::unique_lock lock(queue.mutex);
            queue.workToDo.wait(lock, [&] { return !queue.paths.empty() || queue.noMorePaths; });
            if (queue.paths.empty()) return;
            item = std::move(queue.paths.front());
            queue.paths.pop_front();
        }
        TClipBatch::Entry entry = worker.Clip(item.second);
        {
            std::lock_guard lock(queue.mutex);
            queue.results.emplace(item.first, std::move(entry));
        }
        queue.resultReady.notify_one();
    }
}

}  // namespace

TClipBatch::TClipBatch(const kxRect& clipRect, std::string outputDirectory, int jobs, TClipReaderOptions readers,
                       std::unique_ptr<TClipImage> firstLoader)
    : clipRect_(clipRect), outputDirectory_(std::move(outputDirectory)), jobs_(jobs < 1 ? 1 : jobs),
      readers_(std::move(readers)), firstLoader_(std::move(firstLoader))
{
}

std::unique_ptr<TClipImage> TClipBatch::TakeLoader()
{
    std::unique_ptr<TClipImage> loader = std::move(firstLoader_);
    if (!loader) {
        loader = std::make_unique<TClipImage>();
        loader->Configure(readers_);
    }
    return loader;
}

void TClipBatch::Run(const PathSource& next, const ResultSink& onResult)
{
    if (jobs_ == 1) {
        // The calling thread clips: nothing to hand over between threads.
        TWorkerJob worker(clipRect_, outputDirectory_, TakeLoader());
        while (std::optional<std::string> path = next()) onResult(worker.Clip(*path));
        return;
    }
    TBatchQueue queue;
    std::vector<std::unique_ptr<TWorkerJob>> jobs;
    for (int i = 0; i < jobs_; ++i)
        jobs.push_back(std::make_unique<TWorkerJob>(clipRect_, outputDirectory_, TakeLoader()));
    std::vector<std::jthread> workers;
    for (auto& job : jobs) workers.emplace_back([&queue, &job] { Work(queue, *job); });
    const auto stopWorkers = [&] {
        {
            std::lock_guard lock(queue.mutex);
            queue.noMorePaths = true;
        }
        queue.workToDo.notify_all();
    };

    const std::uint64_t ahead = kAheadPerWorker * std::uint64_t(jobs_);
    std::uint64_t given = 0, handedOn = 0;
    bool morePaths = true;
    try {
        for (;;) {
            while (morePaths && given - handedOn < ahead) {
                std::optional<std::string> path = next();
                if (!path) {
                    morePaths = false;
                    break;
                }
                {
                    std::lock_guard lock(queue.mutex);
                    queue.paths.emplace_back(given++, std::move(*path));
                }
                queue.workToDo.notify_one();
            }
            if (handedOn == given) break;
            Entry entry;
            {
                std::unique_lock lock(queue.mutex);
                queue.resultReady.wait(lock, [&] { return queue.results.count(handedOn) != 0; });
                auto it = queue.results.find(handedOn);
                entry = std::move(it->second);
                queue.results.erase(it);
            }
            ++handedOn;
            onResult(entry);
        }
    } catch (...) {
        // The workers finish what they hold and stop; the error goes on.
        {
            std::lock_guard lock(queue.mutex);
            queue.paths.clear();
        }
        stopWorkers();
        throw;
    }
    stopWorkers();
}
