#pragma once
// Worker threads of which only the newest result counts (opening a chart, asking the companion
// for today's bar). Each start runs a body on a new std::thread with its own cancel flag and a
// new generation; starting again or cancelling raises the flags of the older ones, whose
// results are then stale. The body hands its result to the owner's thread itself (a queued
// call) and the owner calls finish() there, which joins the thread and says whether the result
// is still the newest. No thread is killed: the destructor raises every flag and joins.
// Owned and called by one thread (the UI thread).
#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <thread>

namespace tavora::app {

class NewestOnlyJobs {
public:
    using Body = std::function<void(const std::atomic<bool>& cancel, std::uint64_t generation)>;

    NewestOnlyJobs() = default;
    ~NewestOnlyJobs();
    NewestOnlyJobs(const NewestOnlyJobs&) = delete;
    NewestOnlyJobs& operator=(const NewestOnlyJobs&) = delete;

    // Cancels the running jobs and starts `body` as the newest; returns its generation.
    std::uint64_t start(Body body);
    // Tells every running job to stop and makes their results stale; true when one was pending.
    bool cancelAll();
    // The job of `generation` has handed its result over: joins its thread. True when it is
    // the newest job and its result counts (the job is then no longer pending).
    bool finish(std::uint64_t generation);

    bool pending() const { return m_pending; }
    std::uint64_t generation() const { return m_generation; }
    std::size_t threadCount() const { return m_jobs.size(); }

private:
    struct Job {
        std::uint64_t generation;
        std::shared_ptr<std::atomic<bool>> cancel;
        std::thread thread;
    };

    std::list<Job> m_jobs;
    std::uint64_t m_generation = 0;
    bool m_pending = false;
};

} // namespace tavora::app
