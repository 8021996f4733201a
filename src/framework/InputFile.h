#pragma once
// Opening a file the user named for reading (an import file, a per-code CSV, a chart document,
// a code list). The file is opened without blocking, so that a FIFO or a device given by
// mistake cannot hang the program while it holds the data folder's lock, and it is read only
// when the opened descriptor is a regular file. RAII over the descriptor; safe from any
// thread (it touches only its own descriptor).
#include <cstdint>
#include <filesystem>
#include <string>

namespace tavora::framework {

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens `path` read-only; false with reason() when it cannot be opened or is not a regular
    // file. The descriptor reads blocking again afterwards (a regular file never waits).
    bool open(const std::filesystem::path& path);
    int fd() const { return m_fd; }
    std::int64_t size() const { return m_size; }
    // Why open() failed, in a few words ("No such file or directory", "a FIFO, not a regular
    // file"), without the path.
    const std::string& reason() const { return m_reason; }
    // Reads up to `count` bytes, retrying after a signal; -1 on an error (reason() says which).
    long read(void* into, std::size_t count);

private:
    int m_fd = -1;
    std::int64_t m_size = 0;
    std::string m_reason;
};

// Reads the whole file into `bytes`. Empty on success; otherwise why (without the path), also
// for a file larger than `maxBytes`.
std::string readInputFile(const std::filesystem::path& path, std::string& bytes, std::size_t maxBytes);

} // namespace tavora::framework
