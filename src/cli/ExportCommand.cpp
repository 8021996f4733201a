// tavora-cli export: every stored day of one code, oldest first, as the per-code CSV
// ("date,open,high,low,close,volume", CR LF): on standard output, or with --out into a file
// written under a temporary name and renamed into place.
#include "app/core/AppContext.h"
#include "app/core/UserOutput.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "csv/CodeCsv.h"
#include "framework/Progress.h"
#include "framework/ShownText.h"

#include <cstdio>
#include <iostream>

namespace tavora::cli {

namespace {

const char* const kName = "export";

int run(const std::vector<std::string>& args) {
    std::string code;
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" || args[i].starts_with("--out=")) {
            if (args[i] == "--out" && i + 1 == args.size())
                return usageError(kName, "--out needs a file");
            out = args[i] == "--out" ? args[++i] : args[i].substr(6);
            if (out.empty())
                return usageError(kName, "--out needs a file");
        } else if (args[i].starts_with("--")) {
            return usageError(kName, "unknown option " + args[i]);
        } else if (code.empty()) {
            code = args[i];
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
    framework::ZSqlElement& db = session.context().priceDb;
    if (!out.empty()) {
        const framework::OutputTarget target = app::checkUserOutput(session.context().paths, out);
        if (!target.ok())
            return fail(target.reason);
        const auto result = csv::exportCodeCsv(db, code, target.resolved);
        if (!result.ok)
            return fail(result.messageEnglish);
        std::printf("exported %s: %zu rows to %s\n", framework::shownText(code).c_str(), result.rows,
                    framework::shownText(out).c_str());
        return std::fflush(stdout) == 0 ? ExitOk : fail("cannot write to standard output");
    }
    std::vector<market::PriceRow> rows;
    const auto result = csv::readCodeRows(db, code, rows);
    if (!result.ok)
        return fail(result.messageEnglish);
    const std::string text = csv::codeCsvText(rows);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        return fail("cannot write to standard output");
    return ExitOk;
}

CliRegistration reg{{kName, "CODE [--out FILE]",
                     "write every stored day of CODE as date,open,high,low,close,volume (oldest first)",
                     &run}};

} // namespace

} // namespace tavora::cli
