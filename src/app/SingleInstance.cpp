#include "app/SingleInstance.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tavora::app {

SingleInstance::SingleInstance(const std::string& rootDir) {
    const std::string path = rootDir + "/.lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = path + ": " + std::strerror(errno);
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK)
            m_error = path + ": " + std::strerror(errno);
        ::close(fd);
        return;
    }
    m_fd = fd;
}

SingleInstance::~SingleInstance() {
    if (m_fd >= 0)
        ::close(m_fd);  // closing the descriptor releases the lock
}

}  // namespace tavora::app
