#include "framework/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace tavora::framework {

namespace fs = std::filesystem;

bool CreateZDirectory(const fs::path& dir, int mode) {
    if (dir.empty())
        return false;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir, ec))
        return false;
    if (mode >= 0) {
        fs::permissions(dir, static_cast<fs::perms>(mode) & fs::perms::mask, fs::perm_options::replace, ec);
        if (ec)
            return false;
    }
    return true;
}

bool CopyZDirectory(const fs::path& source, const fs::path& destination) {
    std::error_code ec;
    if (!fs::is_directory(source, ec))
        return false;
    fs::create_directories(destination, ec);
    if (ec)
        return false;
    fs::copy(source, destination,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing |
                 fs::copy_options::copy_symlinks,
             ec);
    return !ec;
}

bool CopyZDirectory(const fs::path& source, const std::string& newName, const fs::path& parent) {
    if (newName.empty())
        return false;
    return CopyZDirectory(source, parent / newName);
}

bool DeleteZDirectory(const fs::path& dir) {
    if (dir.empty())
        return false;
    std::error_code ec;
    fs::remove_all(dir, ec);
    return !ec && !fs::exists(fs::symlink_status(dir, ec));
}

bool isliveFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool isliveDir(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool SetZFileMode(const fs::path& path, int mode) {
    std::error_code ec;
    fs::permissions(path, static_cast<fs::perms>(mode) & fs::perms::mask, fs::perm_options::replace, ec);
    return !ec;
}

bool WriteZFileAtomic(const fs::path& path, std::string_view bytes, int mode, std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    std::string tmpl = path.string() + ".tmp-XXXXXX";
    int fd = mkstemp(tmpl.data());
    if (fd < 0)
        return fail(path.string() + ": " + std::strerror(errno));
    auto abandon = [&](const std::string& why) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        return fail(why);
    };
    if (mode < 0) {
        struct stat old {};
        mode = ::stat(path.c_str(), &old) == 0 ? static_cast<int>(old.st_mode & 07777) : 0644;
    }
    if (fchmod(fd, static_cast<mode_t>(mode & 07777)) != 0)
        return abandon(tmpl + ": " + std::strerror(errno));
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t wrote = ::write(fd, p, left);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return abandon(tmpl + ": " + std::strerror(errno));
        p += wrote;
        left -= static_cast<std::size_t>(wrote);
    }
    if (fsync(fd) != 0)
        return abandon(tmpl + ": " + std::strerror(errno));
    if (::close(fd) != 0) {
        ::unlink(tmpl.c_str());
        return fail(tmpl + ": " + std::strerror(errno));
    }
    if (std::rename(tmpl.c_str(), path.c_str()) != 0) {
        std::string why = path.string() + ": " + std::strerror(errno);
        ::unlink(tmpl.c_str());
        return fail(why);
    }
    return true;
}

namespace {

template <typename Pred> std::vector<ZFileEntry> listEntries(const fs::path& dir, bool ascending, Pred keep) {
    std::vector<ZFileEntry> out;
    std::error_code ec;
    fs::directory_iterator it(dir, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (keep(*it, typeEc) && !typeEc)
            out.push_back({it->path().filename().string(), it->path()});
    }
    std::sort(out.begin(), out.end(), [ascending](const ZFileEntry& a, const ZFileEntry& b) {
        return ascending ? a.name < b.name : b.name < a.name;
    });
    return out;
}

} // namespace

std::vector<ZFileEntry> ListZFiles(const fs::path& dir, bool ascending) {
    return listEntries(dir, ascending, [](const fs::directory_entry& e, std::error_code& ec) {
        return e.is_regular_file(ec);
    });
}

std::vector<ZFileEntry> ListZDirectories(const fs::path& dir, bool ascending) {
    return listEntries(dir, ascending,
                       [](const fs::directory_entry& e, std::error_code& ec) { return e.is_directory(ec); });
}

} // namespace tavora::framework
