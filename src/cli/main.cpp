// tavora-cli: the core of Tavora without windows, for scripting and batch work.
#include "app/core/AppContext.h"
#include "cli/CliCommand.h"
#include "framework/Dates.h"
#include "framework/ShownText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace tavora::cli {

namespace {
std::vector<CliCommand>& registry() {
    static std::vector<CliCommand> commands;
    return commands;
}

void printHelp(std::ostream& out) {
    out << "usage: tavora-cli <command> [arguments]\n       tavora-cli --version\n\ncommands:\n";
    auto commands = cliCommands();
    std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const auto& c : commands)
        out << "  " << c.name << (c.usage.empty() ? "" : " " + c.usage) << "\n      " << c.summary << "\n";
    out << "\nThe data folder is $TAVORA_APPDATA/Tavora (else $XDG_DATA_HOME/Tavora, else ~/.local/share/Tavora).\n";
}
}  // namespace

const std::vector<CliCommand>& cliCommands() { return registry(); }

CliRegistration::CliRegistration(CliCommand command) { registry().push_back(std::move(command)); }

int fail(const std::string& message) {
    std::cerr << "tavora-cli: " << framework::shownLine(message) << "\n";
    return ExitFailure;
}

int usageError(const std::string& command, const std::string& message) {
    for (const auto& c : cliCommands())
        if (c.name == command) {
            if (!message.empty())
                std::cerr << "tavora-cli " << command << ": " << framework::shownLine(message) << "\n";
            std::cerr << "usage: tavora-cli " << c.name << (c.usage.empty() ? "" : " " + c.usage) << "\n";
            return ExitUsage;
        }
    std::cerr << "tavora-cli: " << framework::shownLine(message) << "\n";
    return ExitUsage;
}

// The exit status after everything written to standard output has reached it: a result that
// could not be written (a full disk, a closed pipe) is a failure, not a success.
int finishOutput(int status) {
    std::cout.flush();
    const bool written = static_cast<bool>(std::cout) && std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (written)
        return status;
    if (status != ExitOk)
        return status; // the command has said why it failed
    const int error = errno;
    std::cerr << "tavora-cli: cannot write to standard output: " << std::strerror(error ? error : EIO)
              << "\n";
    return ExitFailure;
}

}  // namespace tavora::cli

int main(int argc, char** argv) {
    using namespace tavora::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printHelp(std::cerr);
        return ExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printHelp(std::cout);
        return finishOutput(ExitOk);
    }
    if (args[0] == "--version") {
        std::cout << tavora::app::kAppTitle << " " << tavora::app::kVersionText << "\n";
        return finishOutput(ExitOk);
    }
    // A wrong date override would silently be replaced by the clock: every result would be
    // computed for another day than the one asked for.
    if (const std::string problem = tavora::framework::todayOverrideProblem(); !problem.empty()) {
        fail(problem);
        return ExitUsage;
    }
    for (const auto& c : cliCommands())
        if (c.name == args[0])
            return finishOutput(c.run(std::vector<std::string>(args.begin() + 1, args.end())));
    std::cerr << "tavora-cli: unknown command '" << tavora::framework::shownText(args[0]) << "'\n";
    printHelp(std::cerr);
    return ExitUsage;
}
