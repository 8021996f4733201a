#pragma once
// Opens a code off the UI thread. Each start runs OpenChart on a new std::thread with its own
// connection to the price database and its own cancel flag; starting again tells the running
// opening to stop (the flag) and drops its result when it arrives. Only the newest result is
// handed to the UI thread (signal `opened`). No thread is killed: the destructor stops and
// joins every thread still running. Created and used on the UI thread.
#include "app/NewestOnlyJobs.h"
#include "chart/OpenChart.h"
#include "market/PriceJobGuard.h"

#include <QObject>

#include <cstdint>
#include <memory>

namespace tavora::app {

class ReopenWorker : public QObject {
    Q_OBJECT
public:
    explicit ReopenWorker(QObject* parent = nullptr);
    ~ReopenWorker() override;

    // Opens `input.code`; `input.priceDb` is ignored: the thread opens `priceDbPath` itself,
    // holding a read lease of `readers` (when given) so a restore never swaps the files under it.
    void start(chart::OpenChartInput input, const std::string& priceDbPath,
               market::PriceJobGuard* readers = nullptr);
    // Tells every running opening to stop; none of their results will be delivered.
    void cancelAll();
    // True while the newest opening has not been delivered.
    bool running() const { return m_jobs.pending(); }
    // Threads started and not yet joined (the newest and the stopped older ones).
    std::size_t threadCount() const { return m_jobs.threadCount(); }

signals:
    void opened(std::shared_ptr<chart::ChartSeries> series);

private:
    void finished(std::uint64_t generation, std::shared_ptr<chart::ChartSeries> series);

    NewestOnlyJobs m_jobs;
};

}  // namespace tavora::app
