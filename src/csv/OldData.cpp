#include "csv/OldData.h"

#include "framework/Files.h"

namespace tavora::csv {

std::vector<std::string> listOldCodeFolders(const std::filesystem::path& codeDir, std::size_t* total,
                                            std::size_t limit) {
    std::vector<std::string> names;
    const auto folders = framework::ListZDirectories(codeDir);
    if (total)
        *total = folders.size();
    for (const auto& folder : folders) {
        if (names.size() == limit)
            break;
        names.push_back(folder.name);
    }
    return names;
}

std::string oldDataCountText(std::size_t count) {
    return "計 " + std::to_string(count) + "件";
}

} // namespace tavora::csv
