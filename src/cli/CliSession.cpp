#include "cli/CliSession.h"

#include "app/core/Startup.h"
#include "framework/Files.h"

#include <filesystem>

namespace tavora::cli {

bool CliSession::start() {
    const std::string root = app::resolveApplicationRoot();
    if (!app::createApplicationRoot(root)) {
        m_error = "cannot create the data folder " + root;
        return false;
    }
    m_instance = std::make_unique<app::SingleInstance>(root);
    if (!m_instance->acquired()) {
        m_error = m_instance->error().empty() ? "Tavora is running on " + root + "; close it first"
                                              : m_instance->error();
        return false;
    }
    if (!app::runCoreStartup(m_context, m_log, m_progress, root)) {
        m_error = "cannot create the data folder " + root;
        return false;
    }
    m_started = true;
    return true;
}

std::optional<market::PriceJobGuard::Ticket> CliSession::beginPriceJob(market::PriceJob job) {
    return m_context.priceJobs.tryBegin(job, &m_error);
}

CliSession::~CliSession() {
    if (!m_started)
        return;
    app::deleteTemporaryDirectory(m_context);
    m_log.WriteLogTxt();
}

} // namespace tavora::cli
