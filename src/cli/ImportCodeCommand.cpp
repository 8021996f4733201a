// tavora-cli import-code: stores a per-code CSV ("date,open,high,low,close,volume", as export
// writes it) for CODE in one transaction, all or nothing, as the per-code panel does.
#include "app/core/AppContext.h"
#include "app/core/CatalogueStartup.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CodeArgument.h"
#include "csv/CodeCsv.h"
#include "framework/Progress.h"
#include "framework/ShownText.h"

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
    if (const market::StockCode code = market::foldStockCode(args[0]); !code.ok())
        return fail("refused code " + escapedCode(args[0]) + ": " + codeProblemName(code.problem));
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    app::AppContext& ctx = session.context();
    auto ticket = session.beginPriceJob(market::PriceJob::CodeImport);
    if (!ticket)
        return fail(session.error());
    for (const auto& line : app::LoadCodeListStep(ctx))
        session.log().UpdLog(line);
    const market::CatalogueCodes catalogue(ctx.csvCodeList);
    const auto result = csv::importCodeCsv(ctx.priceDb, args[0], args[1], &catalogue);
    for (const auto& reason : result.skipReasonsEnglish)
        std::cerr << framework::shownText(args[1]) << ": " << framework::shownLine(reason) << "\n";
    if (!result.ok)
        return fail(framework::shownLine(result.messageEnglish));
    std::string extra;
    if (result.skipped > 0)
        extra += " (" + csv::skipCountsNames(result.skipCounts) + ")";
    if (!result.codeInCatalogue)
        extra += ", the code is not in the catalogue";
    std::printf("imported %s: %zu rows, %zu skipped%s\n", framework::shownText(result.code).c_str(),
                result.stored, result.skipped, extra.c_str());
    return std::fflush(stdout) == 0 ? ExitOk : fail("cannot write to standard output");
}

CliRegistration reg{{kName, "CODE FILE",
                     "store a per-code CSV (date,open,high,low,close,volume, or a header naming them) for "
                     "CODE, all or nothing",
                     &run}};

} // namespace

} // namespace tavora::cli
