// tavora-cli today: asks the running companion program for a code's prices of today, as the
// chart does when it opens, and prints what it answered once read as the chart reads it (or
// why the chart would ignore it). Nothing is stored.
#include "acquisition/CompanionToday.h"
#include "app/core/CompanionSync.h"
#include "app/core/Startup.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "framework/Dates.h"
#include "framework/Progress.h"
#include "market/Keisen.h"

#include <iostream>

namespace tavora::cli {

namespace {

const char* const kName = "today";

int run(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-')
        return usageError(kName, args.empty() ? "no code given" : "give exactly one code");
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    app::AppContext& ctx = session.context();
    app::runCatalogueStartup(ctx, session.log(), quiet);
    const market::CodeElm* entry = market::FindCode(ctx.catalogue, args[0]);
    if (!entry)
        return fail("no code " + args[0] + " in the code list");
    if (!ctx.settings.use_moravel_day_data)
        std::cerr << "tavora-cli: note: use_moravel_day_data is off, so the chart does not ask\n";

    const std::string today = framework::todayDate();
    const std::string socket = app::companionPathsOf(ctx).socket;
    const auto answer = acquisition::AskCompanionToday(socket, entry->symbol, today);
    if (!answer.accepted())
        return fail("ignored (" + std::string(acquisition::kTodayRequest) + entry->symbol + " to " + socket +
                    "): " + answer.prices.english());
    const auto& t = *answer.prices;
    using market::KeisenElm;
    std::cout << "date,open,high,low,close,volume\n"
              << t.date << "," << KeisenElm::priceText(t.open) << "," << KeisenElm::priceText(t.high) << ","
              << KeisenElm::priceText(t.low) << "," << KeisenElm::priceText(t.close) << "," << t.volume
              << "\n";
    return ExitOk;
}

CliRegistration reg{
    {kName, "CODE",
     "ask the running companion program for CODE's prices of today and print them (stores nothing)", &run}};

} // namespace

} // namespace tavora::cli
