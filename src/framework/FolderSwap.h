#pragma once
// Replacing a live folder by a prepared one so that the live path always names a complete
// folder: the two are exchanged in one atomic rename (Linux renameat2 RENAME_EXCHANGE; two
// renames where the file system cannot exchange), the new folder is verified in place, and
// the old one is put back when the verification fails. Safe from any thread; the caller keeps
// other users of the folder away while it runs.
#include "framework/Result.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tavora::framework {

struct FolderSwapResult {
    Result<> outcome;       // a failure says why the live folder was not replaced
    bool liveIntact = true; // false only when a failed replacement could not be undone
    std::string leftover;   // a folder that could not be removed afterwards, if any

    bool ok() const { return outcome.ok(); }
};

// Puts `replacement` (a folder beside `live`, on the same file system) in place of `live`.
// `verify` runs once the replacement sits at the live path and fails when the folder is not
// good; its failure becomes the result's. On success the old folder is removed; on failure the old folder is
// back at `live` and the replacement is removed. A missing `live` is simply created.
FolderSwapResult ReplaceZDirectory(const std::filesystem::path& live,
                                   const std::filesystem::path& replacement,
                                   const std::function<Result<>()>& verify);

// Where the two-rename path of ReplaceZDirectory keeps the old folder meanwhile: beside `live`
// as ".NAME.previous". After a crash in between, the live path may be missing while this
// holds the old folder (start-up puts it back).
std::filesystem::path ZDirectoryAsidePath(const std::filesystem::path& live);

// Flushes a file or directory entry to disk (directories: so renames inside survive a crash).
bool SyncZPath(const std::filesystem::path& path);

} // namespace tavora::framework
