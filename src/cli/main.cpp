// tavora-cli: the core of Tavora without windows, for scripting and batch work.
#include "app/core/AppContext.h"
#include "cli/CliCommand.h"

#include <algorithm>
#include <cstdio>
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
    std::cerr << "tavora-cli: " << message << "\n";
    return ExitFailure;
}

int usageError(const std::string& command, const std::string& message) {
    for (const auto& c : cliCommands())
        if (c.name == command) {
            if (!message.empty())
                std::cerr << "tavora-cli " << command << ": " << message << "\n";
            std::cerr << "usage: tavora-cli " << c.name << (c.usage.empty() ? "" : " " + c.usage) << "\n";
            return ExitUsage;
        }
    std::cerr << "tavora-cli: " << message << "\n";
    return ExitUsage;
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
        return ExitOk;
    }
    if (args[0] == "--version") {
        std::cout << tavora::app::kAppTitle << " " << tavora::app::kVersionText << "\n";
        return ExitOk;
    }
    for (const auto& c : cliCommands())
        if (c.name == args[0])
            return c.run(std::vector<std::string>(args.begin() + 1, args.end()));
    std::cerr << "tavora-cli: unknown command '" << args[0] << "'\n";
    printHelp(std::cerr);
    return ExitUsage;
}
