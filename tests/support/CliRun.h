#pragma once
// Runs the built tavora-cli as a user runs it: on a data folder of its own (TAVORA_APPDATA),
// with extra environment settings and, optionally, text on standard input. Standard output
// and standard error are kept apart.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

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

// tavora-cli started in the background on a data folder of its own, for tests that signal it
// while it runs. Standard input is /dev/null; standard output and error go to files. A process
// still running when the object goes is killed and reaped.
class CliProcess {
public:
    CliProcess(const std::filesystem::path& appdata, const std::vector<std::string>& args,
               const std::map<std::string, std::string>& env = {})
        : m_out(appdata / "cli-bg-stdout.txt"), m_err(appdata / "cli-bg-stderr.txt") {
        std::map<std::string, std::string> vars;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            const auto eq = entry.find('=');
            if (eq != std::string::npos)
                vars[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
        vars["TAVORA_APPDATA"] = appdata.string();
        for (const auto& [name, value] : env)
            vars[name] = value;
        // Everything the child needs is made before fork: it may only exec.
        std::vector<std::string> envText, argText{std::string(TAVORA_BIN_DIR) + "/tavora-cli"};
        for (const auto& [name, value] : vars)
            envText.push_back(name + "=" + value);
        argText.insert(argText.end(), args.begin(), args.end());
        std::vector<char*> envp, argv;
        for (auto& e : envText)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        for (auto& a : argText)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        const int out = ::open(m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int err = ::open(m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(in, 0);
            ::dup2(out, 1);
            ::dup2(err, 2);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        for (int fd : {in, out, err})
            ::close(fd);
    }
    ~CliProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    bool started() const { return m_pid > 0; }
    void signal(int sig) const { ::kill(m_pid, sig); }
    // What it wrote on standard error so far.
    std::string errSoFar() const { return readFile(m_err); }
    // Waits for the end; status -1 when a signal ended it.
    CliRun wait() {
        CliRun run;
        int status = 0;
        if (m_pid > 0 && ::waitpid(m_pid, &status, 0) == m_pid)
            run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        m_pid = -1;
        run.out = readFile(m_out);
        run.err = readFile(m_err);
        return run;
    }

private:
    std::filesystem::path m_out;
    std::filesystem::path m_err;
    pid_t m_pid = -1;
};

} // namespace tavora::test
