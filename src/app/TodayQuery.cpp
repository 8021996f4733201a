#include "app/TodayQuery.h"

#include "acquisition/CompanionToday.h"

namespace tavora::app {

TodayQuery::TodayQuery(QObject* parent) : QObject(parent) {}

// m_jobs stops and joins every exchange before the object goes.
TodayQuery::~TodayQuery() = default;

void TodayQuery::start(const std::string& socketPath, const std::string& code, const std::string& symbol,
                       const std::string& barDate) {
    m_jobs.start([this, socketPath, code, symbol, barDate, limits = m_limits](const std::atomic<bool>& cancel,
                                                                              std::uint64_t generation) {
        const auto answer = acquisition::AskCompanionToday(socketPath, symbol, barDate, limits, &cancel);
        QMetaObject::invokeMethod(
            this, [this, generation, code, prices = answer.prices] { done(generation, code, prices); },
            Qt::QueuedConnection);
    });
}

void TodayQuery::done(std::uint64_t generation, const std::string& code,
                      const framework::Result<market::TodayPrices>& prices) {
    if (!m_jobs.finish(generation))
        return; // a newer chart was opened meanwhile
    if (prices)
        emit answered(code, generation, *prices);
    emit finished();
}

} // namespace tavora::app
