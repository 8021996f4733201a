// tavora-cli download [--register] [--dry-run]: fetches the KABU+ daily files of the trading
// days the price database lacks, as the "株価ダウンロード" button does, into data/download/ of
// the data folder (kept there). One line per day, stored or failed with the reason, then a
// summary. With --register the files fetched by this run are then registered as
// `tavora-cli import` does, read with the KABU+ layout whatever mapping the page keeps (they
// are KABU+ files), so that cron fills the database in one step. Exit 1 on missing
// credentials, a refused account, any failed day or any file not registered; nothing to
// fetch is success. Each day's file is bounded in time (kabuplus_file_timeout, 120 s unless
// set). Ctrl+C or SIGTERM ends the run at once: the day in transfer is dropped, the days
// stored before it stay, nothing is registered, exit 130.
#include "acquisition/KabuPlusDownload.h"
#include "app/core/AcquisitionPlaces.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/Interruption.h"
#include "cli/RegistrationReport.h"
#include "cli/TextProgress.h"
#include "framework/Dates.h"
#include "framework/ShownText.h"

#include <iostream>

namespace tavora::cli {

namespace {

const char* const kName = "download";

int run(const std::vector<std::string>& args) {
    bool dryRun = false;
    bool registerFiles = false;
    for (const auto& a : args) {
        if (a == "--dry-run")
            dryRun = true;
        else if (a == "--register")
            registerFiles = true;
        else
            return usageError(kName, "unknown argument '" + a + "'");
    }
    const std::atomic<bool>& cancel = cancelOnInterrupt();
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    app::AppContext& ctx = session.context();
    if (interrupted())
        return cancelledExit("nothing was fetched");

    const auto plan = app::planKabuPlusDownload(ctx, ctx.priceDb);
    if (!plan.ok())
        return fail(plan.error);
    if (plan.badRows > 0)
        std::cerr << "skipped " << plan.badRows << " calendar rows that are not dates\n";
    if (dryRun) {
        for (const auto& day : plan.days)
            std::cout << framework::formatDate(day) << "\n";
        std::cerr << plan.days.size() << " days to fetch\n";
        return ExitOk;
    }
    if (ctx.settings.kabuplusid.empty() || ctx.settings.kabupluspw.empty())
        return fail("no KABU+ id and password are set (tavora-cli config kabuplusid ID; tavora-cli config "
                    "kabupluspw --stdin)");
    auto ticket = session.beginPriceJob(market::PriceJob::Download);
    if (!ticket)
        return fail(session.error());

    const std::string downloadDir = ctx.paths.root + "/data/download";
    TextProgress progress;
    const auto report = acquisition::RunKabuPlusDownload(app::kabuPlusRequest(ctx, downloadDir, plan.days),
                                                         progress, &cancel);
    progress.endLine();
    for (const auto& day : report.days) {
        if (day.stored)
            std::cout << "stored " << framework::formatDate(day.day) << " " << framework::shownText(day.path)
                      << "\n";
        else
            std::cout << "failed " << framework::formatDate(day.day) << ": "
                      << framework::shownLine(day.reason) << "\n";
    }
    session.log().UpdLog("KABU+ download: " + report.statusText);
    if (!report.fatal.empty())
        return fail(report.fatalEnglish);
    if (report.authenticationFailed)
        return fail("KABU+ refused the id and password; check them (tavora-cli config kabuplusid ID, "
                    "tavora-cli config kabupluspw --stdin); nothing was downloaded");
    if (plan.days.empty())
        std::cerr << "nothing to download: the prices are up to date\n";
    std::cout << plan.days.size() << " days: " << report.stored << " stored, " << report.failed << " failed"
              << (report.cancelled ? ", cancelled" : "") << "\n";
    if (report.cancelled)
        return cancelledExit(std::to_string(report.stored) + " of " + std::to_string(plan.days.size()) +
                             " days stored, nothing registered");
    int status = ExitOk;
    if (registerFiles && report.stored > 0) {
        ticket.reset(); // the registration is a job of its own
        csv::RegistrationRequest request;
        for (const auto& path : report.storedPaths())
            request.files.emplace_back(path);
        request.priceDbDir = ctx.paths.priceDbDir;
        request.backupDir = ctx.paths.backupDir;
        request.backupFirst = ctx.settings.buckupcreate_ch;
        status = registerAndReport(session, request, progress, &cancel);
    }
    if (report.failed > 0)
        return fail(std::to_string(report.failed) + " days could not be fetched");
    return status;
}

const CliRegistration reg{{kName, "[--register] [--dry-run]",
                           "fetch the KABU+ daily price files the price database lacks into data/download/ "
                           "(--register: and register them)",
                           &run}};

} // namespace

} // namespace tavora::cli
