#pragma once
// Helpers for the fuzz targets: splitting one input into parts, and a check that stops the
// run (libFuzzer keeps the input that failed it) when an invariant is broken.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace tavora::fuzz {

// Aborts with the message when `condition` is false; libFuzzer and the replay test report it.
inline void check(bool condition, const char* what, std::string_view detail = {}) {
    if (condition)
        return;
    const std::string message =
        std::string("fuzz invariant broken: ") + what + ": " + std::string(detail) + "\n";
    std::fputs(message.c_str(), stderr);
    std::abort();
}

// Reads the input front to back: single bytes as choices, and the rest cut into parts at a
// separator line, so one input can carry several files.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_rest(reinterpret_cast<const char*>(data), size) {}

    // The next byte (0 when the input is used up).
    std::uint8_t byte() {
        if (m_rest.empty())
            return 0;
        const auto b = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return b;
    }
    // The text up to the next "\n--\n" (or the end): one part of a multi-part input.
    std::string_view part() {
        static constexpr std::string_view kSeparator = "\n--\n";
        const auto at = m_rest.find(kSeparator);
        const std::string_view piece = m_rest.substr(0, at);
        m_rest = at == std::string_view::npos ? std::string_view() : m_rest.substr(at + kSeparator.size());
        return piece;
    }
    std::string_view rest() const { return m_rest; }

private:
    std::string_view m_rest;
};

// A file path private to this process (fuzzers run several processes with -jobs).
std::string scratchPath(const char* name);
// Writes the bytes to the path, replacing the file. False when it cannot.
bool writeScratch(const std::string& path, std::string_view bytes);

// The first object of a target that uses SQLite (FuzzSqlite.cpp): before the first input it
// sets SQLite up for the sanitizer build (lean fenced allocations, see there); at the end of
// each input it checks that SQLite holds no more memory than before it, so a connection or
// statement left open is a finding.
class SqliteUse {
public:
    SqliteUse();
    ~SqliteUse();
    SqliteUse(const SqliteUse&) = delete;
    SqliteUse& operator=(const SqliteUse&) = delete;

private:
    long m_liveAtStart = 0;
};

// SQLite files that live in this process (MemoryFiles.cpp): code that opens an SQLite file by
// name opens, journals and writes a memory file exactly as it does a file on disk, so a target
// runs the real reader without the disk's cost.
// The name to open (SQL_Open, ATTACH) for the memory file `name`: an SQLite URI.
std::string memoryFileUri(std::string_view name);
// Creates or replaces the memory file `name` with the bytes.
void putMemoryFile(std::string_view name, std::string_view bytes);
// The bytes of the memory file `name`; none when there is no such file.
std::optional<std::string> memoryFile(std::string_view name);
// Removes every memory file (their journals too).
void clearMemoryFiles();

} // namespace tavora::fuzz
