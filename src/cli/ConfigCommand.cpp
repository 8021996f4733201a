// tavora-cli config KEY VALUE: stores one setting after the checks the settings pages apply.
// `config kabupluspw --stdin` reads the password from standard input (without echo on a
// terminal); a password is never taken from the command line, where others could see it.
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "framework/ShownText.h"
#include "settings/SettingChecks.h"
#include "settings/SettingsStore.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <optional>
#include <string>

namespace tavora::cli {

namespace {

const char* const kName = "config";

// Turns the terminal's echo off while it lives.
class NoEcho {
public:
    NoEcho() {
        if (::tcgetattr(STDIN_FILENO, &m_saved) != 0)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        m_active = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~NoEcho() {
        if (m_active)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    NoEcho(const NoEcho&) = delete;
    NoEcho& operator=(const NoEcho&) = delete;

private:
    termios m_saved{};
    bool m_active = false;
};

// The value on standard input: one line, without its line end. A value from a pipe or a file
// must be that one line: text after it (a password with a line break inside) is refused
// rather than cut off, since the stored password would then silently differ from the one
// given.
struct StdinValue {
    std::optional<std::string> value;
    std::string error; // why nothing is taken; empty when a value was read
};

StdinValue readValueFromStdin(const std::string& key) {
    std::string line;
    if (::isatty(STDIN_FILENO) == 1) {
        std::cerr << key << ": " << std::flush;
        NoEcho quiet;
        const bool got = static_cast<bool>(std::getline(std::cin, line));
        std::cerr << "\n";
        if (!got)
            return {std::nullopt, "nothing to read on standard input"};
    } else {
        constexpr std::size_t kMaxValue = 64 * 1024;
        char buf[4096];
        while (std::cin.read(buf, sizeof buf) || std::cin.gcount() > 0) {
            line.append(buf, static_cast<std::size_t>(std::cin.gcount()));
            if (line.size() > kMaxValue)
                return {std::nullopt, "standard input holds more than one value"};
        }
        if (line.empty())
            return {std::nullopt, "nothing to read on standard input"};
        if (line.back() == '\n')
            line.pop_back();
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_of("\r\n") != std::string::npos)
            return {std::nullopt,
                    key + ": the value on standard input has a line break inside; give it as one line"};
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return {line, {}};
}

std::string keyList() {
    std::string list;
    for (const auto& key : settings::userSettableKeys())
        list += (list.empty() ? "" : ", ") + key;
    return list;
}

int run(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return usageError(kName, "settable keys: " + keyList());
    const std::string& key = args[0];
    if (!settings::isUserSettableKey(key))
        return usageError(kName, "unknown key '" + key + "'; settable keys: " + keyList());
    const bool fromStdin = args[1] == "--stdin";
    if (settings::isSecretKey(key) && !fromStdin)
        return usageError(kName,
                          "the password is read from standard input: tavora-cli config " + key + " --stdin");
    std::string value = args[1];
    if (fromStdin) {
        auto read = readValueFromStdin(key);
        if (!read.value)
            return fail(read.error);
        value = *read.value;
    }
    const auto check = settings::checkSetting(key, value);
    if (!check.ok)
        return fail(key + ": " + check.errorEnglish);

    framework::NullProgress quiet;
    CliSession session(quiet);
    if (!session.start())
        return fail(session.error());
    if (!settings::SettingsStore(session.context().paths.setteiDb).write({{key, check.value}}))
        return fail("cannot write " + session.context().paths.setteiDb);
    std::cout << key << " = " << (settings::isSecretKey(key) ? "********" : framework::shownText(check.value))
              << "\n";
    return ExitOk;
}

const CliRegistration reg{{kName, "KEY VALUE | kabupluspw --stdin",
                           "store a setting (the KABU+ account, server addresses, flags) after checking it",
                           &run}};

} // namespace

} // namespace tavora::cli
