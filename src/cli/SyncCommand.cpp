// tavora-cli sync: takes the companion program's price warehouse over, as the Home head's
// "更新" does (whatever sync_moravel_db says): every day it holds that the price database
// does not is added; days already stored keep their values. Ctrl+C or SIGTERM stops the copy,
// which keeps nothing of it, and exits 130.
#include "app/core/CompanionSync.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/Interruption.h"
#include "framework/Progress.h"
#include "framework/ShownText.h"

#include <iostream>

namespace tavora::cli {

namespace {

const char* const kName = "sync";

int run(const std::vector<std::string>& args) {
    if (!args.empty())
        return usageError(kName, "unknown argument '" + args[0] + "'");
    const std::atomic<bool>& cancel = cancelOnInterrupt();
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    if (interrupted())
        return cancelledExit("nothing was merged");
    const auto r = app::SyncCompanionNow(session.context(), &session.log(), &cancel);
    if (r.cancelled)
        return cancelledExit("nothing was merged");
    switch (r.outcome) {
    case acquisition::SyncOutcome::Merged:
        std::cout << "merged " << r.rowsAdded << " new rows from "
                  << framework::shownText(r.companionDatabase) << "\n";
        return ExitOk;
    case acquisition::SyncOutcome::NoCompanion:
        std::cout << "no companion database at " << framework::shownText(r.companionDatabase) << "\n";
        return ExitOk;
    case acquisition::SyncOutcome::Updating:
        return fail("companion is updating " + r.companionDatabase + "; try again when it has finished");
    case acquisition::SyncOutcome::Refused:
        return fail(r.status.english());
    case acquisition::SyncOutcome::Failed:
        break;
    }
    return fail("merge failed, nothing was stored: " + r.status.english());
}

CliRegistration reg{
    {kName, "", "merge the companion program's price warehouse into the price database", &run}};

} // namespace

} // namespace tavora::cli
