#include "cli/RegistrationReport.h"

#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/Interruption.h"
#include "cli/TextProgress.h"
#include "framework/ShownText.h"

#include <cstdio>
#include <iostream>

namespace tavora::cli {

namespace {

// Prints the per-file lines and the total; returns the rows skipped over all files.
void printResult(const csv::RegistrationResult& result) {
    std::size_t skipped = 0;
    for (const auto& file : result.files) {
        skipped += file.rowsSkipped;
        const std::string path = framework::shownText(file.path.string());
        std::string extra;
        if (file.rowsSkipped > 0)
            extra += " (" + csv::skipCountsNames(file.skipCounts) + ")";
        if (file.stored && file.rowsNotInCatalogue > 0)
            extra += ", " + std::to_string(file.rowsNotInCatalogue) + " with a code not in the catalogue";
        if (file.stored)
            std::printf("registered %s: %zu rows, %zu skipped%s\n", path.c_str(), file.rowsStored,
                        file.rowsSkipped, extra.c_str());
        else
            std::printf(
                "refused %s: %s%s\n", path.c_str(), framework::shownLine(file.refusalEnglish).c_str(),
                file.missingCode ? " (for a file without a code column give the code with --code CODE)" : "");
        for (const auto& skip : file.skips)
            std::cerr << path << ": line " << skip.line << ": " << framework::shownLine(skip.reasonEnglish)
                      << "\n";
        if (file.rowsSkipped > file.skips.size())
            std::cerr << path << ": " << file.rowsSkipped - file.skips.size() << " more skipped\n";
    }
    std::printf("total: %zu rows, %zu skipped, %zu refused\n", result.rowsStored, skipped,
                result.filesRefused());
    std::fflush(stdout);
}

} // namespace

int registerAndReport(CliSession& session, const csv::RegistrationRequest& request, TextProgress& progress,
                      const std::atomic<bool>* cancel) {
    auto ticket = session.beginPriceJob(market::PriceJob::Registration);
    if (!ticket)
        return fail(session.error());
    const csv::RegistrationResult result = csv::registerPriceFiles(request, progress, cancel);
    progress.endLine();
    printResult(result);
    session.log().UpdLog("price registration: " + csv::registeredCountText(result.rowsStored) + ", " +
                         std::to_string(result.filesRefused()) + " files refused");
    if (result.cancelled) {
        std::size_t stored = 0;
        for (const auto& file : result.files)
            stored += file.stored ? 1 : 0;
        return cancelledExit(std::to_string(stored) + " of " + std::to_string(request.files.size()) +
                             " files registered, each whole; the others untouched");
    }
    if (!result.error.empty())
        return fail(result.errorEnglish);
    if (result.filesRefused() > 0)
        return fail(std::to_string(result.filesRefused()) + " of " + std::to_string(result.files.size()) +
                    " files were not registered");
    return ExitOk;
}

} // namespace tavora::cli
