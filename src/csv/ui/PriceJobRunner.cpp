#include "csv/ui/PriceJobRunner.h"

#include "framework/ui/StatusBar.h"

#include <QMetaObject>

namespace tavora::csv::ui {

namespace {

// Forwards a worker's statuses and percentages to the status bar through queued calls; a
// status bar that is gone by then is skipped.
class StatusBarProgress : public framework::ProgressSink {
public:
    explicit StatusBarProgress(QPointer<framework::ui::StatusBar> status) : m_status(std::move(status)) {}

    void status(const std::string& text) override {
        const QString t = QString::fromStdString(text);
        post([t](framework::ui::StatusBar* bar) { bar->setText(t); });
    }
    void percent(int value) override {
        post([value](framework::ui::StatusBar* bar) { bar->setProgress(value); });
    }
    void logLine(const std::string&) override {}

private:
    template <class F> void post(F f) {
        framework::ui::StatusBar* bar = m_status.data();
        if (!bar)
            return;
        QPointer<framework::ui::StatusBar> guarded = m_status;
        QMetaObject::invokeMethod(
            bar,
            [guarded, f] {
                if (guarded)
                    f(guarded.data());
            },
            Qt::QueuedConnection);
    }

    QPointer<framework::ui::StatusBar> m_status;
};

} // namespace

PriceJobRunner::PriceJobRunner(market::PriceJobGuard& guard, framework::ui::StatusBar* status,
                               QObject* parent)
    : QObject(parent), m_guard(guard), m_status(status) {}

PriceJobRunner::~PriceJobRunner() {
    if (m_cancel)
        m_cancel->store(true);
    if (m_thread.joinable())
        m_thread.join();
}

void PriceJobRunner::cancel() {
    if (m_cancel)
        m_cancel->store(true);
}

bool PriceJobRunner::start(market::PriceJob job, Work work) {
    // A job of this runner that has not ended yet refuses as the guard would.
    using market::PriceJobGuard;
    framework::Result<PriceJobGuard::Ticket> ticket =
        framework::Failure{PriceJobGuard::refusalText(job), PriceJobGuard::refusalEnglish(job)};
    if (!m_thread.joinable())
        ticket = m_guard.tryBegin(job);
    if (!ticket) {
        m_lastRefusal = QString::fromStdString(ticket.message());
        if (m_status)
            m_status->setText(m_lastRefusal);
        return false;
    }
    m_lastRefusal.clear();
    if (m_status)
        m_status->startWait();
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_thread = std::thread([this, ticket = std::move(*ticket), work = std::move(work), cancel = m_cancel,
                            status = m_status]() mutable {
        StatusBarProgress progress(status);
        Done done = work(progress, *cancel, ticket);
        ticket.end(); // the next job may start as soon as the result is shown
        // The destructor joins this thread, so `this` is alive while the call is queued; a
        // runner that is gone drops it.
        QMetaObject::invokeMethod(
            this, [this, done = std::move(done)]() mutable { deliver(std::move(done)); },
            Qt::QueuedConnection);
    });
    return true;
}

void PriceJobRunner::deliver(Done done) {
    if (m_thread.joinable())
        m_thread.join();
    if (m_status)
        m_status->stopWait();
    if (done)
        done();
    emit finished();
}

} // namespace tavora::csv::ui
