#pragma once
// The price data of releases up to 1.25: one folder per code below data/code. They are
// listed so the user sees what is there; taking them over is not available, because their
// file layout is not known, and the folders are never changed. Safe from any thread.
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace tavora::csv {

// The list shows at most this many names.
inline constexpr std::size_t kMaxOldCodeRows = 4000;

// The names of the code folders in `codeDir`, by name, at most `limit`; `total` (when given)
// gets how many there are.
std::vector<std::string> listOldCodeFolders(const std::filesystem::path& codeDir,
                                            std::size_t* total = nullptr,
                                            std::size_t limit = kMaxOldCodeRows);

// The answer to "実行".
inline constexpr const char* kOldDataNotAvailableText =
    "旧式データの取込みはこのバージョンでは利用できません。旧式データのフォルダは変更されません。";

// "計 %d件".
std::string oldDataCountText(std::size_t count);

} // namespace tavora::csv
