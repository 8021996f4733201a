// tavora-cli backup: one backup of the price database, as the "バックアップ" button makes it.
// Prints the new backup's name; the oldest backups beyond eight are removed (said on stderr).
// Ctrl+C or SIGTERM stops the copy, removes the partial backup and exits 130.
#include "acquisition/PriceBackup.h"
#include "app/core/AcquisitionPlaces.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/Interruption.h"
#include "cli/TextProgress.h"
#include "framework/ShownText.h"

#include <iostream>

namespace tavora::cli {

namespace {

const char* const kName = "backup";

int run(const std::vector<std::string>& args) {
    if (!args.empty())
        return usageError(kName, "unexpected argument '" + args[0] + "'");
    const std::atomic<bool>& cancel = cancelOnInterrupt();
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    app::AppContext& ctx = session.context();
    auto ticket = session.beginPriceJob(market::PriceJob::Backup);
    if (!ticket)
        return fail(session.error());
    TextProgress progress;
    const auto result = acquisition::CreatePriceBackup(app::priceBackupPlaces(ctx.paths), progress, &cancel);
    progress.endLine();
    session.log().UpdLog(result.ok() ? result.statusText + "_" + result.name
                                     : result.statusText + "_" + result.outcome.message());
    if (result.cancelled)
        return cancelledExit("no backup was made");
    if (!result.ok())
        return fail("the backup failed: " + result.outcome.english());
    for (const auto& name : result.pruned)
        std::cerr << "removed the oldest backup " << framework::shownText(name) << "\n";
    std::cout << framework::shownText(result.name) << "\n";
    return ExitOk;
}

const CliRegistration reg{{kName, "", "back up the price database (at most eight backups are kept)", &run}};

} // namespace

} // namespace tavora::cli
