#pragma once
// Runs the price-database jobs of the データ取込 page (registration, download, backup,
// restore, per-code import) one at a time on a worker thread. The guard's ticket is taken on
// the UI thread: a request while any job runs (here or elsewhere in the program) is refused
// with the guard's text in the status bar. The worker reports through a progress sink that
// forwards to the status bar, builds its result, and hands back a closure that the UI thread
// runs to show it. The destructor tells a running job to stop and waits for it. UI thread only.
#include "framework/Progress.h"
#include "market/PriceJobGuard.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace tavora::framework::ui {
class StatusBar;
}

namespace tavora::csv::ui {

class PriceJobRunner : public QObject {
    Q_OBJECT
public:
    // What the UI thread does with the job's result.
    using Done = std::function<void()>;
    // The job itself, run on the worker with the ticket held; returns what to do on the UI thread.
    using Work = std::function<Done(framework::ProgressSink& progress, const std::atomic<bool>& cancel,
                                    market::PriceJobGuard::Ticket& ticket)>;

    PriceJobRunner(market::PriceJobGuard& guard, framework::ui::StatusBar* status, QObject* parent = nullptr);
    ~PriceJobRunner() override;

    // Starts `work` as `job`. False when another job runs: the status bar then says which.
    bool start(market::PriceJob job, Work work);
    // Asks the running job to stop at its next check.
    void cancel();
    bool running() const { return m_thread.joinable(); }
    // The text the last refused start showed.
    const QString& lastRefusal() const { return m_lastRefusal; }

signals:
    // The job ended and its result has been shown.
    void finished();

private:
    void deliver(Done done);

    market::PriceJobGuard& m_guard;
    QPointer<framework::ui::StatusBar> m_status;
    std::thread m_thread;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    QString m_lastRefusal;
};

} // namespace tavora::csv::ui
