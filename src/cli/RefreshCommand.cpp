// tavora-cli refresh: brings the reference files (market-day calendars, split data, analysis
// defaults and, with codeauto_ch on, the code list) up to date from the reference-data server,
// as every start of the program does, with a progress line on standard error. Prints what was
// fetched, deleted, left as it was, or could not be fetched.
#include "acquisition/DataSession.h"
#include "app/core/AppContext.h"
#include "app/core/ReferenceStartup.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/TextProgress.h"
#include "framework/Log.h"
#include "framework/ShownText.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace tavora::cli {

namespace {

const char* const kName = "refresh";

std::string relativeTo(const std::string& root, const std::string& path) {
    std::error_code ec;
    auto rel = std::filesystem::relative(path, root, ec);
    return ec || rel.empty() ? path : rel.string();
}

void printGroup(const char* label, const std::vector<std::string>& paths, const std::string& root) {
    for (const auto& p : paths)
        std::cout << label << " " << framework::shownText(relativeTo(root, p)) << "\n";
}

int run(const std::vector<std::string>& args) {
    bool verbose = false;
    for (const auto& a : args) {
        if (a == "--verbose" || a == "-v")
            verbose = true;
        else
            return usageError(kName, "unknown argument '" + a + "'");
    }
    framework::NullProgress quiet; // the start-up steps before the network say nothing here
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    app::AppContext& ctx = session.context();
    framework::ZLog& log = session.log();

    TextProgress progress(verbose);
    app::StartNetwork(ctx, progress, &log);
    acquisition::RefreshReport report;
    bool opened = app::StartReferenceRefresh(ctx, progress, &report, {}, &log);
    std::string error = ctx.dataSession ? ctx.dataSession->lastError() : std::string();
    app::CloseReferenceSession(ctx);
    app::ReleaseNetwork(ctx);
    progress.status("");
    const std::string& root = ctx.paths.root;
    if (!opened)
        return fail("cannot open the reference-data session with " + ctx.settings.refserver_host + ":" +
                    ctx.settings.refserver_port + (error.empty() ? "" : ": " + error) +
                    "; the reference files on disk are unchanged");

    printGroup("fetched", report.fetched, root);
    printGroup("deleted", report.deleted, root);
    printGroup("left   ", report.upToDate, root);
    printGroup("failed ", report.failed, root);
    for (const auto& remote : report.skipped)
        std::cout << "skipped " << framework::shownText(remote) << " (the server did not answer)\n";
    std::cout << report.fetched.size() << " fetched, " << report.deleted.size() << " deleted, "
              << report.upToDate.size() << " up to date, " << report.failed.size() << " failed\n";
    if (!report.failed.empty() || !report.skipped.empty())
        return fail("the refresh is incomplete: the old copies of what failed are kept");
    return ExitOk;
}

const CliRegistration reg{
    {kName, "[--verbose]",
     "fetch the reference files (calendars, splits, analysis defaults, code list) from the "
     "reference-data server",
     &run}};

} // namespace

} // namespace tavora::cli
