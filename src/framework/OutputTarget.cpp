#include "framework/OutputTarget.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace tavora::framework {

namespace fs = std::filesystem;

namespace {

// As many links as the kernel follows before it gives up (ELOOP).
constexpr int kMaxLinks = 40;

OutputTarget refused(OutputRefusal refusal, std::string reason, fs::path resolved = {}) {
    return {refusal, std::move(reason), std::move(resolved)};
}

// The path with every link followed, also a last link whose target does not exist yet (a
// writer that follows links would create that target). Empty with `error` set on a loop or a
// folder that cannot be looked at.
fs::path followLinks(const fs::path& path, std::error_code& error) {
    fs::path p = fs::absolute(path, error);
    if (error)
        return {};
    for (int depth = 0;; ++depth) {
        const fs::file_status link = fs::symlink_status(p, error);
        if (error && error != std::errc::no_such_file_or_directory)
            return {};
        error.clear();
        if (!fs::is_symlink(link))
            break;
        if (depth == kMaxLinks) {
            error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
            return {};
        }
        const fs::path target = fs::read_symlink(p, error);
        if (error)
            return {};
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    // Links in the folders above are followed too; the last name stays as it is (it is no link).
    p = p.lexically_normal();
    if (!p.has_filename() || p.filename() == "." || p.filename() == "..")
        return fs::weakly_canonical(p, error);
    const fs::path folder = fs::weakly_canonical(p.parent_path(), error);
    return error ? fs::path() : folder / p.filename();
}

bool isInside(const fs::path& path, const fs::path& folder) {
    auto f = folder.begin();
    auto p = path.begin();
    for (; f != folder.end(); ++f, ++p) {
        if (f->empty() && std::next(f) == folder.end())
            break; // a trailing "/" of the folder
        if (p == path.end() || *p != *f)
            return false;
    }
    return true;
}

const char* specialKind(const struct stat& st) {
    if (S_ISFIFO(st.st_mode))
        return "a FIFO";
    if (S_ISCHR(st.st_mode))
        return "a character device";
    if (S_ISBLK(st.st_mode))
        return "a block device";
    if (S_ISSOCK(st.st_mode))
        return "a socket";
    return "a special file";
}

} // namespace

OutputTarget checkOutputTarget(const fs::path& path, const std::vector<fs::path>& keptFolders) {
    if (path.empty())
        return refused(OutputRefusal::Unusable, "no file name given");
    std::error_code error;
    const fs::path resolved = followLinks(path, error);
    if (error)
        return refused(OutputRefusal::Unusable, "cannot write " + path.string() + ": " + error.message());
    std::string name = path.string();
    if (resolved != fs::absolute(path, error).lexically_normal())
        name += " (" + resolved.string() + ")";

    for (const auto& kept : keptFolders) {
        if (kept.empty())
            continue;
        std::error_code keptError;
        const fs::path folder = fs::weakly_canonical(fs::absolute(kept, keptError), keptError);
        if (!keptError && isInside(resolved, folder))
            return refused(OutputRefusal::KeptData,
                           "will not write " + name + ": it lies in Tavora's data folder " + folder.string() +
                               ", which holds the program's databases",
                           resolved);
    }

    struct stat st {};
    if (::stat(resolved.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return refused(OutputRefusal::Directory, "will not write " + name + ": it is a directory",
                           resolved);
        if (!S_ISREG(st.st_mode))
            return refused(OutputRefusal::NotRegular,
                           "will not write " + name + ": it is " + specialKind(st) + ", not a regular file",
                           resolved);
        return {OutputRefusal::None, {}, resolved};
    }
    if (errno != ENOENT)
        return refused(OutputRefusal::Unusable, "cannot write " + name + ": " + std::strerror(errno),
                       resolved);
    const fs::path folder = resolved.parent_path();
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode))
        return refused(OutputRefusal::NoFolder,
                       "cannot write " + name + ": the folder " + folder.string() + " does not exist",
                       resolved);
    return {OutputRefusal::None, {}, resolved};
}

} // namespace tavora::framework
