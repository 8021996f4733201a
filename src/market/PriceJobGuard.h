#pragma once
// One price-database job at a time. Download, registration, backup, restore, per-code import
// and the companion merge each start by taking a ticket; a second request while one runs is
// refused with a status text naming the running job. Readers that open their own connection
// (opening a chart) take a read lease, so a restore can wait for them to finish and hold new
// ones back while it swaps the database folder.
//
// Thread-safe: the desktop program keeps one guard in its context and takes tickets on the
// UI thread, hands them to workers and lets them end there; tavora-cli uses the same guard
// from its only thread. The guard must outlive every ticket and lease.
#include "framework/Result.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

namespace tavora::market {

enum class PriceJob { Download, Registration, Backup, Restore, CodeImport, CompanionMerge };

// The job's name as the status bar shows it ("株価ダウンロード", ...).
const char* priceJobName(PriceJob job);
const char* priceJobEnglishName(PriceJob job); // "a price download", ... for tavora-cli

class PriceJobGuard {
public:
    // Held while readers are kept out (see Ticket::excludeReaders).
    class ReaderExclusion {
    public:
        ReaderExclusion(ReaderExclusion&& other) noexcept : m_guard(other.m_guard) {
            other.m_guard = nullptr;
        }
        ReaderExclusion& operator=(ReaderExclusion&&) = delete;
        ~ReaderExclusion();

    private:
        friend class PriceJobGuard;
        explicit ReaderExclusion(PriceJobGuard* guard) : m_guard(guard) {}
        PriceJobGuard* m_guard;
    };

    // The right to run one job; the job ends when the ticket is destroyed (or end() is called).
    // Move it into the worker that runs the job.
    class Ticket {
    public:
        Ticket(Ticket&& other) noexcept : m_guard(other.m_guard), m_job(other.m_job) {
            other.m_guard = nullptr;
        }
        Ticket& operator=(Ticket&& other) noexcept;
        ~Ticket() { end(); }

        PriceJob job() const { return m_job; }
        bool held() const { return m_guard != nullptr; }
        void end();
        // Waits until every read lease has ended and keeps new ones waiting until the returned
        // object is destroyed. Only for the short moment a job replaces the database files.
        ReaderExclusion excludeReaders();

    private:
        friend class PriceJobGuard;
        Ticket(PriceJobGuard* guard, PriceJob job) : m_guard(guard), m_job(job) {}
        PriceJobGuard* m_guard;
        PriceJob m_job;
    };

    // A reader's hold on the database files; see beginRead().
    class ReadLease {
    public:
        ReadLease(ReadLease&& other) noexcept : m_guard(other.m_guard) { other.m_guard = nullptr; }
        ReadLease& operator=(ReadLease&&) = delete;
        ~ReadLease();

    private:
        friend class PriceJobGuard;
        explicit ReadLease(PriceJobGuard* guard) : m_guard(guard) {}
        PriceJobGuard* m_guard;
    };

    PriceJobGuard() = default;
    PriceJobGuard(const PriceJobGuard&) = delete;
    PriceJobGuard& operator=(const PriceJobGuard&) = delete;

    // A ticket for `job`; while another job runs, a failure holding the status text to show
    // (refusalText) and the same in English for tavora-cli (refusalEnglish).
    framework::Result<Ticket> tryBegin(PriceJob job);
    // The job running now, if any.
    std::optional<PriceJob> running() const;
    // The status text shown when a request is refused because `runningJob` runs.
    static std::string refusalText(PriceJob runningJob);
    static std::string refusalEnglish(PriceJob runningJob);

    // Registers a reader that has its own connection to the price database; waits while a
    // job has the readers excluded (a restore swapping the folder, a fraction of a second).
    ReadLease beginRead();
    std::size_t readers() const;

private:
    void endJob();
    void endRead();
    void endExclusion();
    void beginExclusion();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<PriceJob> m_running;
    std::size_t m_readers = 0;
    bool m_readersExcluded = false;
};

} // namespace tavora::market
