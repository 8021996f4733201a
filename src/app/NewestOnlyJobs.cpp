#include "app/NewestOnlyJobs.h"

namespace tavora::app {

NewestOnlyJobs::~NewestOnlyJobs() {
    for (auto& job : m_jobs)
        job.cancel->store(true);
    for (auto& job : m_jobs)
        if (job.thread.joinable())
            job.thread.join();
}

bool NewestOnlyJobs::cancelAll() {
    for (auto& job : m_jobs)
        job.cancel->store(true);
    ++m_generation; // whatever arrives now is older than the newest
    const bool was = m_pending;
    m_pending = false;
    return was;
}

std::uint64_t NewestOnlyJobs::start(Body body) {
    cancelAll();
    const std::uint64_t generation = ++m_generation;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_pending = true;
    std::thread thread([body = std::move(body), cancel, generation] { body(*cancel, generation); });
    m_jobs.push_back(Job{generation, std::move(cancel), std::move(thread)});
    return generation;
}

bool NewestOnlyJobs::finish(std::uint64_t generation) {
    for (auto it = m_jobs.begin(); it != m_jobs.end(); ++it) {
        if (it->generation != generation)
            continue;
        if (it->thread.joinable())
            it->thread.join(); // it has handed its result over and is returning
        m_jobs.erase(it);
        break;
    }
    if (generation != m_generation || !m_pending)
        return false;
    m_pending = false;
    return true;
}

} // namespace tavora::app
