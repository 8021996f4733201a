#pragma once
// The subcommands of tavora-cli. Each subcommand lives in its own file and registers
// itself with a static CliRegistration; main() dispatches by name.
#include <string>
#include <vector>

namespace tavora::cli {

// Exit statuses of every subcommand. ExitCancelled (128 + SIGINT, as a shell reports a
// program Ctrl+C ended) after SIGINT or SIGTERM stopped a long command (cli/Interruption.h).
enum ExitStatus : int { ExitOk = 0, ExitFailure = 1, ExitUsage = 2, ExitCancelled = 130 };

struct CliCommand {
    std::string name;
    std::string usage;    // one line: arguments after the name
    std::string summary;  // one line: what it does
    int (*run)(const std::vector<std::string>& args);  // arguments after the subcommand name
};

const std::vector<CliCommand>& cliCommands();

struct CliRegistration {
    explicit CliRegistration(CliCommand command);
};

// Prints "tavora-cli: MESSAGE" on standard error and returns ExitFailure.
int fail(const std::string& message);
// Prints the usage line of a command on standard error and returns ExitUsage.
int usageError(const std::string& command, const std::string& message = {});

}  // namespace tavora::cli
