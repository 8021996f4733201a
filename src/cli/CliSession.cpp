#include "cli/CliSession.h"

#include "app/core/Startup.h"
#include "framework/Files.h"

#include <filesystem>

namespace tavora::cli {

bool CliSession::start() {
    const std::string root = app::resolveApplicationRoot();
    app::DataFolderClaim claim = app::claimDataFolder(root);
    if (!claim.claimed()) {
        m_error = claim.cliMessage();
        return false;
    }
    m_instance = std::move(claim.lock);
    if (!app::runCoreStartup(m_context, m_log, m_progress, root)) {
        m_error = "cannot create the data folder " + root;
        return false;
    }
    m_started = true;
    return true;
}

std::optional<market::PriceJobGuard::Ticket> CliSession::beginPriceJob(market::PriceJob job) {
    auto ticket = m_context.priceJobs.tryBegin(job);
    if (!ticket) {
        m_error = ticket.english();
        return std::nullopt;
    }
    return std::move(*ticket);
}

CliSession::~CliSession() {
    if (!m_started)
        return;
    app::deleteTemporaryDirectory(m_context);
    m_log.WriteLogTxt();
}

} // namespace tavora::cli
