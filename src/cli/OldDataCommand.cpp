// tavora-cli old-data: the code folders of releases up to 1.25 (data/code), one name per line.
// Taking them over is not available; the folders are left as they are.
#include "app/core/AppContext.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "csv/OldData.h"
#include "framework/Progress.h"
#include "framework/ShownText.h"

#include <cstdio>
#include <iostream>

namespace tavora::cli {

namespace {

const char* const kName = "old-data";

int run(const std::vector<std::string>& args) {
    if (!args.empty())
        return usageError(kName, "no arguments are taken");
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    std::size_t total = 0;
    for (const auto& name : csv::listOldCodeFolders(session.context().paths.codeDir, &total))
        std::printf("%s\n", framework::shownText(name).c_str());
    std::cerr << total << (total == 1 ? " code folder" : " code folders") << "\n"
              << "taking the old data over is not available in this version; its folders are left as they are\n";
    return std::fflush(stdout) == 0 ? ExitOk : fail("cannot write the list");
}

CliRegistration reg{
    {kName, "", "list the code folders of the old data format (taking them over is not available)", &run}};

} // namespace

} // namespace tavora::cli
