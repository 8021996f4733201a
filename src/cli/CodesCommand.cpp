// tavora-cli codes: the catalogue, or the entries of the code list whose code or name contains
// a text (compared as the Home page's search box compares it), one line "CODE NAME" each.
#include "app/core/AppContext.h"
#include "app/core/Startup.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "framework/Progress.h"
#include "framework/ShownText.h"
#include "market/CodeList.h"

#include <cstdio>

namespace tavora::cli {

namespace {

const char* const kName = "codes";

void print(const market::CodeList& list) {
    for (const auto& entry : list)
        std::printf("%s %s\n", framework::shownText(entry.code).c_str(),
                    framework::shownText(entry.name).c_str());
}

int run(const std::vector<std::string>& args) {
    if (args.size() > 1)
        return usageError(kName, "more than one search text given");
    if (!args.empty() && args[0].empty())
        return usageError(kName, "the search text is empty");
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    app::runCatalogueStartup(session.context(), session.log(), quiet);
    const app::AppContext& ctx = session.context();
    if (args.empty()) {
        print(ctx.catalogue);
    } else {
        market::CodeList hits;
        market::SearchCodes(ctx.csvCodeList, args[0], hits);
        if (hits.empty())
            return fail("no code or name contains " + args[0]);
        print(hits);
    }
    return std::fflush(stdout) == 0 ? ExitOk : fail("cannot write the list");
}

CliRegistration reg{
    {kName, "[TEXT]", "list the catalogue, or the codes whose code or name contains TEXT", &run}};

} // namespace

} // namespace tavora::cli
