#pragma once
// Asks the companion program for today's prices of the chart just opened, off the UI thread.
// Each start runs the exchange on a worker thread stamped with the chart's code and a new
// generation; an answer is handed to the UI thread (signal `answered`) only when it was
// accepted and is still the newest. Starting again or cancelling makes every older answer
// stale. No thread is killed: the destructor cancels and joins. UI thread only.
#include "app/NewestOnlyJobs.h"
#include "chart/TodayBar.h"
#include "framework/PipeClient.h"
#include "framework/Result.h"

#include <QObject>

#include <cstdint>
#include <optional>
#include <string>

namespace tavora::app {

class TodayQuery : public QObject {
    Q_OBJECT
public:
    explicit TodayQuery(QObject* parent = nullptr);
    ~TodayQuery() override;

    // Asks `socketPath` for `symbol`'s prices of the bar dated `barDate`, for chart `code`.
    void start(const std::string& socketPath, const std::string& code, const std::string& symbol,
               const std::string& barDate);
    // Makes any pending answer stale; true when one was pending.
    bool cancel() { return m_jobs.cancelAll(); }
    bool pending() const { return m_jobs.pending(); }
    std::uint64_t generation() const { return m_jobs.generation(); }
    // The bound of one exchange (3 s in the program; tests shorten it).
    void setLimits(const framework::PipeLimits& limits) { m_limits = limits; }

signals:
    // The companion's prices for the newest request (code, generation and prices).
    void answered(const std::string& code, std::uint64_t generation, const market::TodayPrices& prices);
    // The newest request is over, answered or not.
    void finished();

private:
    void done(std::uint64_t generation, const std::string& code,
              const framework::Result<market::TodayPrices>& prices);

    NewestOnlyJobs m_jobs;
    framework::PipeLimits m_limits;
};

} // namespace tavora::app
