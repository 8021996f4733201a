#pragma once
// The recently used documents: table `fileopentb` of "fileopenhis.db" in the application
// root, one row per path with the time of its last open or save-as (seconds since 1970).
// Our own file: opened (and created) for each call. UI thread.
#include <cstdint>
#include <string>
#include <vector>

namespace tavora::annotations {

inline constexpr std::size_t kRecentFilesShown = 5;

class RecentFiles {
public:
    explicit RecentFiles(std::string databasePath) : m_path(std::move(databasePath)) {}

    // Stores the path with the time (a path already listed gets the new time). False when
    // the database cannot be written.
    bool record(const std::string& documentPath, std::int64_t time) const;
    // The newest paths, newest first, whose files still exist: at most five.
    std::vector<std::string> list() const;

private:
    std::string m_path;
};

} // namespace tavora::annotations
