// tavora-cli bars: a code opened exactly as the chart opens it (no network), one period's bars
// and analysis values printed as CSV from the oldest bar to the newest, future bars included.
#include "analysis/FormulaParser.h"
#include "app/core/AppContext.h"
#include "app/core/ChartOpening.h"
#include "app/core/Startup.h"
#include "chart/BarsCsv.h"
#include "chart/OpenChart.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "framework/Progress.h"
#include "framework/ShownText.h"

#include <iostream>

namespace tavora::cli {

namespace {

const char* const kName = "bars";

int run(const std::vector<std::string>& args) {
    std::string code;
    market::ChartPeriod period = market::ChartPeriod::Day;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--period") {
            if (i + 1 >= args.size())
                return usageError(kName, "--period needs d, w, m or y");
            const auto p = market::periodFromLetter(args[++i]);
            if (!p)
                return usageError(kName, "unknown period '" + args[i] + "' (d, w, m or y)");
            period = *p;
        } else if (!a.empty() && a[0] == '-') {
            return usageError(kName, "unknown option '" + a + "'");
        } else if (code.empty()) {
            code = a;
        } else {
            return usageError(kName, "more than one code given");
        }
    }
    if (code.empty())
        return usageError(kName, "no code given");

    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    app::runCatalogueStartup(session.context(), session.log(), quiet);
    app::AppContext& ctx = session.context();
    const market::CodeElm* entry = market::FindCode(ctx.catalogue, code);
    if (!entry)
        return fail("no code " + code + " in the code list");

    chart::OpenChartInput in = app::chartInputFor(ctx, *entry);
    in.priceDb = &ctx.priceDb;
    in.scaleDb = ctx.scaleDb.isOpen() ? &ctx.scaleDb : nullptr;
    const chart::ChartSeries series = chart::OpenChart(in);
    for (const auto& line : series.log)
        std::cerr << "tavora-cli: " << framework::shownLine(line) << "\n";
    // A formula graph that does not parse has an empty column: say why.
    for (const analysis::BunsekiElement& def : in.definitions) {
        if (!def.shown || def.kind != analysis::KindFormula || def.program || def.formula.empty())
            continue;
        const analysis::FormulaParse parsed = analysis::ParseFormula(def.formula);
        std::cerr << "tavora-cli: " << framework::shownLine(def.name)
                  << ": the formula is not drawn: " << analysis::formulaErrorEnglish(parsed.error) << "\n";
    }
    chart::WriteBarsCsv(series.period(period), std::cout);
    std::cout.flush();
    return std::cout ? ExitOk : fail("cannot write the bars");
}

CliRegistration reg{{kName, "CODE [--period d|w|m|y]",
                     "print a code's bars and analysis values of one period as CSV (oldest first)", &run}};

} // namespace

} // namespace tavora::cli
