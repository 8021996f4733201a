#pragma once
// A fresh temporary directory for one test, removed with its contents afterwards.
#include <filesystem>
#include <string>

namespace tavora::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Writes bytes to a file, creating parent directories.
void writeFile(const std::filesystem::path& path, const std::string& bytes);
// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

}  // namespace tavora::test
