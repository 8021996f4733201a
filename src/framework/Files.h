#pragma once
// Directory and file helpers over std::filesystem. No exception escapes: failures come back
// as false or an empty list. Safe from any thread (they touch only the paths given).
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::framework {

// Creates the directory and its missing parents. With mode >= 0 (e.g. 0700 for the
// application root) the directory itself is given those permissions, also when it existed.
// True when the directory exists afterwards.
bool CreateZDirectory(const std::filesystem::path& dir, int mode = -1);

// Copies the directory `source` with everything below it to `destination` (created with its
// parents). Files of the same name that already exist in the destination are overwritten;
// other files there are kept. Symbolic links are copied as links. True on success.
bool CopyZDirectory(const std::filesystem::path& source, const std::filesystem::path& destination);
// The same, to `parent`/`newName`.
bool CopyZDirectory(const std::filesystem::path& source, const std::string& newName,
                    const std::filesystem::path& parent);

// Removes the directory with its contents. True when nothing is left at that path (also when
// there was nothing to begin with).
bool DeleteZDirectory(const std::filesystem::path& dir);

// True when the path names an existing regular file (after following links).
bool isliveFile(const std::filesystem::path& path);
// True when the path names an existing directory (after following links).
bool isliveDir(const std::filesystem::path& path);

// Sets the permission bits of an existing file or directory (e.g. 0600 for settei.db).
bool SetZFileMode(const std::filesystem::path& path, int mode);

// Replaces the file with `bytes` so that readers see either the old or the new contents, never
// half a file: written to a temporary file beside it, flushed to disk, then renamed over it.
// The new file gets `mode` when it is >= 0, else the old file's permissions, else 0644. False (and the old
// file untouched) on failure, with the reason in `error` when given.
bool WriteZFileAtomic(const std::filesystem::path& path, std::string_view bytes, int mode = -1,
                      std::string* error = nullptr);

struct ZFileEntry {
    std::string name; // the last path component
    std::filesystem::path path;
};

// The regular files / the subdirectories directly in `dir`, sorted by name (byte order),
// ascending or descending. Empty when the directory cannot be read.
std::vector<ZFileEntry> ListZFiles(const std::filesystem::path& dir, bool ascending = true);
std::vector<ZFileEntry> ListZDirectories(const std::filesystem::path& dir, bool ascending = true);

} // namespace tavora::framework
