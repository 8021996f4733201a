#pragma once
// Runs the built tavora-cli as a user runs it: on a data folder of its own (TAVORA_APPDATA),
// with extra environment settings and, optionally, text on standard input. Standard output
// and standard error are kept apart.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace tavora::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;

    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
};

// `env` is prepended to the command as it stands ("TAVORA_TODAY=2026-12-11 ...").
inline CliRun runCli(const std::filesystem::path& appdata, const std::string& args,
                     const std::string& env = {}, const std::optional<std::string>& input = std::nullopt) {
    const auto errPath = appdata / "cli-stderr.txt";
    const auto inPath = appdata / "cli-stdin.txt";
    if (input)
        writeFile(inPath, *input);
    const std::string command =
        env + " TAVORA_APPDATA='" + appdata.string() + "' '" + TAVORA_BIN_DIR + "/tavora-cli' " + args +
        " <" + (input ? "'" + inPath.string() + "'" : "/dev/null") + " 2>'" + errPath.string() + "'";
    CliRun run;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[65536];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
            run.out.append(buf, n);
        const int status = ::pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    run.err = readFile(errPath);
    std::error_code ec;
    std::filesystem::remove(errPath, ec);
    std::filesystem::remove(inPath, ec);
    return run;
}

} // namespace tavora::test
