#pragma once
// The check before the program writes a file the user named (an export, a PDF, a picture, a
// document): only a new name in an existing folder or an existing regular file may be
// written, never a directory, a FIFO, a device or a socket, and never anything inside the
// folders the program keeps its own data in (a database there would be replaced by the
// output). Symbolic links are followed, so a link to a kept file is refused like the file.
// Pure apart from looking at the file system; safe from any thread.
#include <filesystem>
#include <string>
#include <vector>

namespace tavora::framework {

enum class OutputRefusal {
    None,
    KeptData,   // inside one of the kept folders
    Directory,  // an existing directory
    NotRegular, // a FIFO, a device, a socket or another special file
    NoFolder,   // the folder it would go into does not exist (or is no folder)
    Unusable,   // the path cannot be looked at (permissions, a link loop, an empty name)
};

struct OutputTarget {
    OutputRefusal refusal = OutputRefusal::None;
    std::string reason;             // one line saying why (naming the path); empty when writable
    std::filesystem::path resolved; // where to write: the path with every link followed
    bool ok() const { return refusal == OutputRefusal::None; }
};

// Checks `path` against the rules above. `keptFolders` are compared after following their own
// links, so a kept folder reached through another name is still recognised.
OutputTarget checkOutputTarget(const std::filesystem::path& path,
                               const std::vector<std::filesystem::path>& keptFolders);

} // namespace tavora::framework
