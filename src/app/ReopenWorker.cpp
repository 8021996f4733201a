#include "app/ReopenWorker.h"

#include "framework/Sql.h"

#include <optional>

namespace tavora::app {

ReopenWorker::ReopenWorker(QObject* parent) : QObject(parent) {}

// m_jobs stops and joins every thread before the object goes.
ReopenWorker::~ReopenWorker() = default;

void ReopenWorker::cancelAll() {
    m_jobs.cancelAll();
}

void ReopenWorker::start(chart::OpenChartInput input, const std::string& priceDbPath,
                         market::PriceJobGuard* readers) {
    m_jobs.start([this, input = std::move(input), priceDbPath, readers](const std::atomic<bool>& cancel,
                                                                        std::uint64_t generation) mutable {
        std::optional<market::PriceJobGuard::ReadLease> lease;
        if (readers)
            lease.emplace(readers->beginRead());
        // A connection of its own: nothing is shared with the UI thread or an older opening.
        framework::ZSqlElement db;
        framework::SQL_Open(db, priceDbPath);
        input.priceDb = &db;
        input.scaleDb = nullptr; // the UI thread reads the code's scale from its own table
        auto series = std::make_shared<chart::ChartSeries>(chart::OpenChart(input, &cancel));
        if (cancel.load())
            series->cancelled = true;
        framework::SQL_Close(db);
        lease.reset();
        // The jobs are joined before the object goes, so `this` is alive here; the queued call
        // is dropped if the object is gone by the time it would run.
        QMetaObject::invokeMethod(
            this, [this, generation, series] { finished(generation, series); }, Qt::QueuedConnection);
    });
}

void ReopenWorker::finished(std::uint64_t generation, std::shared_ptr<chart::ChartSeries> series) {
    if (!m_jobs.finish(generation) || series->cancelled)
        return; // replaced by a newer opening: discard
    emit opened(std::move(series));
}

} // namespace tavora::app
