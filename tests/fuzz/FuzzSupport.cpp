#include "FuzzSupport.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace tavora::fuzz {

namespace {

// The process's scratch folder, removed when the process ends normally.
struct ScratchDir {
    std::filesystem::path path;
    ScratchDir() : path(std::filesystem::temp_directory_path() / ("tavora-fuzz-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

} // namespace

std::string scratchPath(const char* name) {
    static const ScratchDir dir;
    return (dir.path / name).string();
}

bool writeScratch(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace tavora::fuzz
