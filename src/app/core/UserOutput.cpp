#include "app/core/UserOutput.h"

#include "app/core/Startup.h"

namespace tavora::app {

std::vector<std::filesystem::path> keptFolders(const AppPaths& paths) {
    std::vector<std::filesystem::path> folders;
    for (const std::string* folder : {&paths.root, &paths.priceDbDir, &paths.backupDir})
        if (!folder->empty())
            folders.emplace_back(*folder);
    return folders;
}

framework::OutputTarget checkUserOutput(const AppPaths& paths, const std::string& path) {
    return framework::checkOutputTarget(path, keptFolders(paths));
}

framework::OutputTarget checkUserOutput(const std::string& path) {
    AppPaths paths;
    fillAppPaths(paths, resolveApplicationRoot());
    return checkUserOutput(paths, path);
}

} // namespace tavora::app
