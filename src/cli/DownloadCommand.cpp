// tavora-cli download [--register] [--dry-run]: fetches the KABU+ daily files of the trading
// days the price database lacks, as the "株価ダウンロード" button does, into data/download/ of
// the data folder (kept there). One line per day, stored or failed with the reason, then a
// summary. With --register the files fetched by this run are then registered as
// `tavora-cli import` does, read with the KABU+ layout whatever mapping the page keeps (they
// are KABU+ files), so that cron fills the database in one step. Exit 1 on missing
// credentials, a refused account, any failed day or any file not registered; nothing to
// fetch is success. Ctrl+C ends the run after the day in progress, without registering.
#include "acquisition/KabuPlusDownload.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/RegistrationReport.h"
#include "cli/TextProgress.h"
#include "framework/Dates.h"

#include <csignal>
#include <iostream>

namespace tavora::cli {

namespace {

const char* const kName = "download";

std::atomic<bool> g_interrupted{false};

void onInterrupt(int) {
    g_interrupted = true;
}

// SIGINT and SIGTERM set the cancel flag while the run lasts.
class InterruptAsCancel {
public:
    InterruptAsCancel() {
        m_int = std::signal(SIGINT, onInterrupt);
        m_term = std::signal(SIGTERM, onInterrupt);
    }
    ~InterruptAsCancel() {
        std::signal(SIGINT, m_int);
        std::signal(SIGTERM, m_term);
    }
    InterruptAsCancel(const InterruptAsCancel&) = delete;
    InterruptAsCancel& operator=(const InterruptAsCancel&) = delete;

private:
    void (*m_int)(int);
    void (*m_term)(int);
};

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
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    app::AppContext& ctx = session.context();

    const auto plan = acquisition::planKabuPlusDownload(ctx, ctx.priceDb);
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
        return fail(std::string(acquisition::kNoCredentialsText) +
                    " (tavora-cli config kabuplusid ID; tavora-cli config kabupluspw --stdin)");
    auto ticket = session.beginPriceJob(market::PriceJob::Download);
    if (!ticket)
        return fail(session.error());

    const std::string downloadDir = ctx.paths.root + "/data/download";
    TextProgress progress;
    acquisition::KabuPlusReport report;
    {
        InterruptAsCancel interrupts;
        report = acquisition::RunKabuPlusDownload(acquisition::kabuPlusRequest(ctx, downloadDir, plan.days),
                                                  progress, &g_interrupted);
    }
    progress.endLine();
    for (const auto& day : report.days) {
        if (day.stored)
            std::cout << "stored " << framework::formatDate(day.day) << " " << day.path << "\n";
        else
            std::cout << "failed " << framework::formatDate(day.day) << ": " << day.reason << "\n";
    }
    session.log().UpdLog("KABU+ download: " + report.statusText);
    if (!report.fatal.empty())
        return fail(report.fatal);
    if (report.authenticationFailed)
        return fail(report.statusText);
    if (plan.days.empty())
        std::cerr << acquisition::kNothingToDownloadText << "\n";
    std::cout << plan.days.size() << " days: " << report.stored << " stored, " << report.failed << " failed"
              << (report.cancelled ? ", cancelled" : "") << "\n";
    if (report.cancelled)
        return fail("the download was cancelled");
    int status = ExitOk;
    if (registerFiles && report.stored > 0) {
        ticket.reset(); // the registration is a job of its own
        csv::RegistrationRequest request;
        for (const auto& path : report.storedPaths())
            request.files.emplace_back(path);
        request.priceDbDir = ctx.paths.priceDbDir;
        request.backupDir = ctx.paths.backupDir;
        request.backupFirst = ctx.settings.buckupcreate_ch;
        status = registerAndReport(session, request, progress);
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
