#include "market/PriceJobGuard.h"

namespace tavora::market {

const char* priceJobName(PriceJob job) {
    switch (job) {
    case PriceJob::Download:
        return "株価ダウンロード";
    case PriceJob::Registration:
        return "データ登録";
    case PriceJob::Backup:
        return "バックアップ";
    case PriceJob::Restore:
        return "データの復元";
    case PriceJob::CodeImport:
        return "銘柄別データの取込み";
    case PriceJob::CompanionMerge:
        return "モラベルの株価データ取込み";
    }
    return "";
}

const char* priceJobEnglishName(PriceJob job) {
    switch (job) {
    case PriceJob::Download:
        return "a price download";
    case PriceJob::Registration:
        return "a price registration";
    case PriceJob::Backup:
        return "a backup";
    case PriceJob::Restore:
        return "a restore";
    case PriceJob::CodeImport:
        return "a per-code import";
    case PriceJob::CompanionMerge:
        return "the companion's price merge";
    }
    return "another job";
}

std::string PriceJobGuard::refusalText(PriceJob runningJob) {
    return std::string(priceJobName(runningJob)) + "の実行中です。終了してからもう一度実行してください。";
}

std::string PriceJobGuard::refusalEnglish(PriceJob runningJob) {
    return std::string(priceJobEnglishName(runningJob)) + " is running; try again when it has finished";
}

framework::Result<PriceJobGuard::Ticket> PriceJobGuard::tryBegin(PriceJob job) {
    std::lock_guard lock(m_mutex);
    if (m_running)
        return framework::Failure{refusalText(*m_running), refusalEnglish(*m_running)};
    m_running = job;
    return Ticket(this, job);
}

std::optional<PriceJob> PriceJobGuard::running() const {
    std::lock_guard lock(m_mutex);
    return m_running;
}

void PriceJobGuard::endJob() {
    std::lock_guard lock(m_mutex);
    m_running.reset();
}

PriceJobGuard::ReadLease PriceJobGuard::beginRead() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_readersExcluded; });
    ++m_readers;
    return ReadLease(this);
}

std::size_t PriceJobGuard::readers() const {
    std::lock_guard lock(m_mutex);
    return m_readers;
}

void PriceJobGuard::endRead() {
    {
        std::lock_guard lock(m_mutex);
        --m_readers;
    }
    m_changed.notify_all();
}

void PriceJobGuard::beginExclusion() {
    std::unique_lock lock(m_mutex);
    m_readersExcluded = true; // new readers wait from now on
    m_changed.wait(lock, [this] { return m_readers == 0; });
}

void PriceJobGuard::endExclusion() {
    {
        std::lock_guard lock(m_mutex);
        m_readersExcluded = false;
    }
    m_changed.notify_all();
}

PriceJobGuard::Ticket& PriceJobGuard::Ticket::operator=(Ticket&& other) noexcept {
    if (this != &other) {
        end();
        m_guard = other.m_guard;
        m_job = other.m_job;
        other.m_guard = nullptr;
    }
    return *this;
}

void PriceJobGuard::Ticket::end() {
    if (m_guard)
        m_guard->endJob();
    m_guard = nullptr;
}

PriceJobGuard::ReaderExclusion PriceJobGuard::Ticket::excludeReaders() {
    if (!m_guard)
        return ReaderExclusion(nullptr);
    m_guard->beginExclusion();
    return ReaderExclusion(m_guard);
}

PriceJobGuard::ReaderExclusion::~ReaderExclusion() {
    if (m_guard)
        m_guard->endExclusion();
}

PriceJobGuard::ReadLease::~ReadLease() {
    if (m_guard)
        m_guard->endRead();
}

} // namespace tavora::market
