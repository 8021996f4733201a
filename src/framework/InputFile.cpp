#include "framework/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavora::framework {

namespace {

const char* notRegularText(mode_t mode) {
    if (S_ISDIR(mode))
        return "a directory, not a file";
    if (S_ISFIFO(mode))
        return "a FIFO, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device, not a regular file";
    if (S_ISSOCK(mode))
        return "a socket, not a regular file";
    return "not a regular file";
}

} // namespace

InputFile::~InputFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool InputFile::open(const std::filesystem::path& path) {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_reason.clear();
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait for one forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        m_reason = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        m_reason = std::strerror(errno);
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        m_reason = notRegularText(st.st_mode);
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    m_fd = fd;
    m_size = static_cast<std::int64_t>(st.st_size);
    return true;
}

long InputFile::read(void* into, std::size_t count) {
    for (;;) {
        const ssize_t n = ::read(m_fd, into, count);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno != EINTR) {
            m_reason = std::strerror(errno);
            return -1;
        }
    }
}

std::string readInputFile(const std::filesystem::path& path, std::string& bytes, std::size_t maxBytes) {
    InputFile file;
    if (!file.open(path))
        return file.reason();
    const std::string tooLarge = "larger than " + std::to_string(maxBytes) + " bytes";
    if (static_cast<std::uint64_t>(file.size()) > maxBytes)
        return tooLarge;
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(file.size()));
    char buf[1 << 16];
    // Read to the end rather than to the size seen at open: a file that grows meanwhile is
    // still bounded by maxBytes.
    for (;;) {
        const long got = file.read(buf, sizeof buf);
        if (got < 0)
            return file.reason();
        if (got == 0)
            return {};
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes)
            return tooLarge;
        bytes.append(buf, static_cast<std::size_t>(got));
    }
}

} // namespace tavora::framework
