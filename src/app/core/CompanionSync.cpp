#include "app/core/CompanionSync.h"

#include <iostream>

namespace tavora::app {

using acquisition::SyncOutcome;
using acquisition::SyncResult;

namespace {

void logOutcome(const SyncResult& r, framework::ZLog* log, bool toStderr) {
    if (r.outcome == SyncOutcome::Failed) {
        const std::string line = kSyncFailedLog + r.status.message();
        if (log)
            log->UpdLog(line);
        if (toStderr)
            std::cerr << line << std::endl;
    } else if (r.outcome == SyncOutcome::Merged && log) {
        log->UpdLog(kSyncSucceededLog);
    }
    if (log)
        log->WriteLogTxt();
}

// The merge under a price-job ticket; refused while another job runs.
SyncResult syncUnderTicket(AppContext& ctx, const std::atomic<bool>* cancel = nullptr) {
    const auto ticket = ctx.priceJobs.tryBegin(market::PriceJob::CompanionMerge);
    if (!ticket) {
        SyncResult r;
        r.outcome = SyncOutcome::Refused;
        r.status = ticket.failure();
        r.companionDatabase = companionPathsOf(ctx).database;
        return r;
    }
    return acquisition::SyncFromMoravel(ctx.priceDb, companionPathsOf(ctx), cancel);
}

} // namespace

acquisition::CompanionPaths companionPathsOf(const AppContext& ctx) {
    return acquisition::companionPaths(acquisition::roamingFolderOf(ctx.paths.root));
}

void RunStartupCompanionSync(AppContext& ctx, framework::ZLog& log, framework::ProgressSink& progress) {
    if (!ctx.settings.sync_moravel_db)
        return;
    progress.status(kSyncingText);
    const SyncResult r = syncUnderTicket(ctx);
    logOutcome(r, &log, true);
    if (r.outcome == SyncOutcome::Failed)
        progress.status(kSyncCancelledText);
}

SyncResult SyncCompanionNow(AppContext& ctx, framework::ZLog* log, const std::atomic<bool>* cancel) {
    const SyncResult r = syncUnderTicket(ctx, cancel);
    logOutcome(r, log, false);
    return r;
}

} // namespace tavora::app
