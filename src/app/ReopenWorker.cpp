#include "app/ReopenWorker.h"

#include "framework/Sql.h"

#include <optional>

namespace tavora::app {

ReopenWorker::ReopenWorker(QObject* parent) : QObject(parent) {}

ReopenWorker::~ReopenWorker() {
    for (auto& job : m_jobs)
        job.cancel->store(true);
    for (auto& job : m_jobs)
        if (job.thread.joinable())
            job.thread.join();
}

void ReopenWorker::cancelAll() {
    for (auto& job : m_jobs)
        job.cancel->store(true);
    ++m_generation;  // whatever arrives now is older than the newest
    m_pending = false;
}

void ReopenWorker::start(market::OpenChartInput input, const std::string& priceDbPath,
                         market::PriceJobGuard* readers) {
    cancelAll();  // an older opening stops at its next check
    const std::uint64_t generation = ++m_generation;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_pending = true;
    std::thread thread([this, generation, cancel, input = std::move(input), priceDbPath, readers]() mutable {
        std::optional<market::PriceJobGuard::ReadLease> lease;
        if (readers)
            lease.emplace(readers->beginRead());
        // A connection of its own: nothing is shared with the UI thread or an older opening.
        framework::ZSqlElement db;
        framework::SQL_Open(db, priceDbPath);
        input.priceDb = &db;
        input.scaleDb = nullptr;  // the UI thread reads the code's scale from its own table
        auto series = std::make_shared<market::ChartSeries>(market::OpenChart(input, cancel.get()));
        if (cancel->load())
            series->cancelled = true;
        framework::SQL_Close(db);
        lease.reset();
        // The destructor joins this thread before the object goes, so `this` is alive here;
        // the queued call is dropped if the object is gone by the time it would run.
        QMetaObject::invokeMethod(
            this, [this, generation, series] { finished(generation, series); }, Qt::QueuedConnection);
    });
    m_jobs.push_back(Job{generation, std::move(cancel), std::move(thread)});
}

void ReopenWorker::finished(std::uint64_t generation, std::shared_ptr<market::ChartSeries> series) {
    for (auto it = m_jobs.begin(); it != m_jobs.end(); ++it) {
        if (it->generation != generation)
            continue;
        if (it->thread.joinable())
            it->thread.join();  // it has posted its result and is returning
        m_jobs.erase(it);
        break;
    }
    if (generation != m_generation || series->cancelled)
        return;  // replaced by a newer opening: discard
    m_pending = false;
    emit opened(std::move(series));
}

}  // namespace tavora::app
