#include "framework/FolderSwap.h"

#include "framework/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace tavora::framework {

namespace fs = std::filesystem;

namespace {

// The reasons are a path with the system's text, the same in both languages.
Failure errnoFailure(const fs::path& path, int error = errno) {
    return Failure::untranslated(path.string() + ": " + std::strerror(error));
}

// Exchanges two existing paths atomically. Returns 0, or the errno of the failure.
int exchange(const fs::path& a, const fs::path& b) {
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0)
        return 0;
    return errno;
}

// Moves `replacement` to `live`; the old folder ends up at `old` (or nowhere when there was
// none).
Result<> swapIn(const fs::path& live, const fs::path& replacement, fs::path& old) {
    old.clear();
    if (!isliveDir(live)) {
        if (std::rename(replacement.c_str(), live.c_str()) != 0)
            return errnoFailure(live);
        return {};
    }
    const int rc = exchange(live, replacement);
    if (rc == 0) {
        old = replacement;
        return {};
    }
    if (rc != EINVAL && rc != ENOSYS && rc != ENOTSUP)
        return errnoFailure(live, rc);
    // No exchange on this file system: two renames, the old folder back on failure.
    const fs::path aside = ZDirectoryAsidePath(live);
    DeleteZDirectory(aside);
    if (std::rename(live.c_str(), aside.c_str()) != 0)
        return errnoFailure(live);
    if (std::rename(replacement.c_str(), live.c_str()) != 0) {
        Failure why = errnoFailure(live);
        std::rename(aside.c_str(), live.c_str());
        return why;
    }
    old = aside;
    return {};
}

// Undoes swapIn: the old folder back at `live`, the failed one at `failed` (then removed).
Result<> swapBack(const fs::path& live, const fs::path& old, const fs::path& failed) {
    if (old.empty()) { // there was no live folder: just take the new one away
        if (std::rename(live.c_str(), failed.c_str()) != 0)
            return errnoFailure(live);
        return {};
    }
    if (old == failed) { // exchanged: exchange again
        if (const int rc = exchange(live, old); rc != 0)
            return errnoFailure(live, rc);
        return {};
    }
    if (std::rename(live.c_str(), failed.c_str()) != 0)
        return errnoFailure(live);
    if (std::rename(old.c_str(), live.c_str()) != 0) {
        Failure why = errnoFailure(live);
        std::rename(failed.c_str(), live.c_str()); // never leave the live path empty
        return why;
    }
    return {};
}

} // namespace

fs::path ZDirectoryAsidePath(const fs::path& live) {
    return live.parent_path() / ("." + live.filename().string() + ".previous");
}

bool SyncZPath(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

FolderSwapResult ReplaceZDirectory(const fs::path& live, const fs::path& replacement,
                                   const std::function<Result<>()>& verify) {
    FolderSwapResult result;
    if (!isliveDir(replacement)) {
        result.outcome = Failure::untranslated(replacement.string() + ": not a folder");
        return result;
    }
    fs::path old;
    if (auto swapped = swapIn(live, replacement, old); !swapped) {
        result.outcome = swapped;
        return result;
    }
    SyncZPath(live.parent_path());
    if (Result<> good = verify ? verify() : Result<>(); !good) {
        result.outcome = good;
        if (auto back = swapBack(live, old, replacement); !back) {
            result.liveIntact = false;
            const std::string kept = "; the previous folder could not be put back (" + back.message() + ")" +
                                     (old.empty() ? std::string() : ", it is kept at " + old.string());
            result.outcome = Failure{good.message() + kept, good.english() + kept};
        } else if (!DeleteZDirectory(replacement))
            result.leftover = replacement.string();
        SyncZPath(live.parent_path());
        return result;
    }
    if (!old.empty() && !DeleteZDirectory(old))
        result.leftover = old.string();
    SyncZPath(live.parent_path());
    return result;
}

} // namespace tavora::framework
