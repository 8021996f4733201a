#pragma once
// How every tavora-cli subcommand starts the core: the data folder made (0700), the
// single-instance lock taken (so a running desktop program's files are never touched), then
// the program's own start-up steps that need no window and no network. The temporary
// directory is removed again when the session ends. Main thread only.
#include "app/DataFolderClaim.h"
#include "app/core/AppContext.h"
#include "framework/Log.h"
#include "framework/Progress.h"

#include <memory>
#include <optional>
#include <string>

namespace tavora::cli {

class CliSession {
public:
    explicit CliSession(framework::ProgressSink& progress) : m_progress(progress) {}
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Runs the start-up; false with error() when the data folder cannot be made or the
    // desktop program holds it.
    bool start();
    const std::string& error() const { return m_error; }
    // The ticket of a price-database job; none, with error() naming the running job, while
    // another one holds the guard.
    std::optional<market::PriceJobGuard::Ticket> beginPriceJob(market::PriceJob job);

    app::AppContext& context() { return m_context; }
    framework::ZLog& log() { return m_log; }

private:
    framework::ProgressSink& m_progress;
    app::AppContext m_context;
    framework::ZLog m_log;
    std::unique_ptr<app::SingleInstance> m_instance;
    std::string m_error;
    bool m_started = false;
};

} // namespace tavora::cli
