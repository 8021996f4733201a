#pragma once
// Where the companion price-warehouse program (moravel) keeps what this program reads: its
// price database, the marker it leaves while writing that database, and its local socket.
// Everything lies below the roaming folder, the folder that holds our own application root.
// Pure functions; any thread.
#include <string>

namespace tavora::acquisition {

struct CompanionPaths {
    std::string database;   // <roaming>/moravel/data/kabukadb/kabuka.db
    std::string busyMarker; // <roaming>/moravel/data/kabukadb/updating.txt
    std::string socket;     // $XDG_RUNTIME_DIR/moravelPipe, else <roaming>/moravel/moravelPipe
};

// The roaming folder of an application root ("<roaming>/Tavora").
std::string roamingFolderOf(const std::string& applicationRoot);

// The companion's paths below a roaming folder; the socket follows $XDG_RUNTIME_DIR when set.
CompanionPaths companionPaths(const std::string& roamingFolder);

} // namespace tavora::acquisition
