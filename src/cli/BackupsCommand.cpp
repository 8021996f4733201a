// tavora-cli backups: the backups of the price database, newest first, one name per line.
#include "acquisition/PriceBackup.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "framework/ShownText.h"

#include <iostream>

namespace tavora::cli {

namespace {

const char* const kName = "backups";

int run(const std::vector<std::string>& args) {
    if (!args.empty())
        return usageError(kName, "unexpected argument '" + args[0] + "'");
    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    for (const auto& name : acquisition::ListPriceBackups(session.context().paths.backupDir))
        std::cout << framework::shownText(name) << "\n";
    return ExitOk;
}

const CliRegistration reg{{kName, "", "list the backups of the price database, newest first", &run}};

} // namespace

} // namespace tavora::cli
