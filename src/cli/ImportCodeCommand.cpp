// tavora-cli import-code: stores a per-code CSV ("date,open,high,low,close,volume", as export
// writes it) for CODE in one transaction, all or nothing, as the per-code panel does.
#include "app/core/AppContext.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "csv/CodeCsv.h"
#include "framework/Progress.h"

#include <cstdio>
#include <iostream>

namespace tavora::cli {

namespace {

const char* const kName = "import-code";

int run(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return usageError(kName, args.size() < 2 ? "a code and a file are needed" : "too many arguments");
    if (args[0].empty() || args[0].starts_with("--"))
        return usageError(kName, "no code given");
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    app::AppContext& ctx = session.context();
    auto ticket = session.beginPriceJob(market::PriceJob::CodeImport);
    if (!ticket)
        return fail(session.error());
    const auto result = csv::importCodeCsv(ctx.priceDb, args[0], args[1]);
    for (const auto& reason : result.skipReasons)
        std::cerr << args[1] << ": " << reason << "\n";
    if (!result.ok)
        return fail(result.message);
    std::printf("imported %s: %zu rows, %zu skipped\n", args[0].c_str(), result.stored, result.skipped);
    return std::fflush(stdout) == 0 ? ExitOk : fail("cannot write to standard output");
}

CliRegistration reg{{kName, "CODE FILE",
                     "store a per-code CSV (date,open,high,low,close,volume) for CODE, all or nothing",
                     &run}};

} // namespace

} // namespace tavora::cli
