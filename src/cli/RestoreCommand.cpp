// tavora-cli restore NAME: replaces the price database with backup NAME (see `backups`), as
// the restore panel does. The current database stays in place unless the backup is sound and
// holds nothing but the price table and its indexes (a trigger, a view or another table
// refuses it). Ctrl+C or SIGTERM before the swap leaves the database as it was (exit 130); the
// swap itself is one rename and is not interrupted.
#include "acquisition/PriceBackup.h"
#include "app/core/AcquisitionPlaces.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/Interruption.h"
#include "cli/TextProgress.h"
#include "framework/ShownText.h"
#include "market/PriceDatabase.h"

#include <iostream>

namespace tavora::cli {

namespace {

const char* const kName = "restore";

int run(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-')
        return usageError(kName,
                          args.empty() ? "which backup? (tavora-cli backups lists them)" : std::string());
    const std::atomic<bool>& cancel = cancelOnInterrupt();
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    app::AppContext& ctx = session.context();
    auto ticket = session.beginPriceJob(market::PriceJob::Restore);
    if (!ticket)
        return fail(session.error());
    TextProgress progress;
    framework::SQL_Close(ctx.priceDb); // our own connection must not outlive the old files
    const auto result = acquisition::RestorePriceBackup(app::priceBackupPlaces(ctx.paths), args[0], *ticket,
                                                        progress, &cancel);
    market::PriceDatabase::open(ctx.priceDb, ctx.paths.priceDbDir);
    progress.endLine();
    session.log().UpdLog(result.ok() ? result.statusText
                                     : result.statusText + "_" + result.outcome.message());
    if (result.cancelled)
        return cancelledExit("the price database is as it was");
    if (!result.ok())
        return fail("cannot restore " + framework::shownLine(args[0]) + ": " +
                    framework::shownLine(result.outcome.english()) +
                    (result.liveIntact ? "; the prices are as they were"
                                       : "; the old prices could not be put back either"));
    std::cerr << "restored the prices of " << framework::shownLine(result.name) << "\n";
    std::cout << framework::shownText(result.name) << "\n";
    return ExitOk;
}

const CliRegistration reg{{kName, "NAME", "replace the price database with one of its backups", &run}};

} // namespace

} // namespace tavora::cli
