#include "acquisition/CompanionPaths.h"

#include <cstdlib>
#include <filesystem>

namespace tavora::acquisition {

std::string roamingFolderOf(const std::string& applicationRoot) {
    std::filesystem::path root(applicationRoot);
    if (!root.has_filename())
        root = root.parent_path(); // "<roaming>/Tavora/"
    return root.parent_path().string();
}

CompanionPaths companionPaths(const std::string& roamingFolder) {
    const std::string companion = roamingFolder + "/moravel";
    CompanionPaths p;
    p.database = companion + "/data/kabukadb/kabuka.db";
    p.busyMarker = companion + "/data/kabukadb/updating.txt";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    p.socket = runtime && *runtime ? std::string(runtime) + "/moravelPipe" : companion + "/moravelPipe";
    return p;
}

} // namespace tavora::acquisition
