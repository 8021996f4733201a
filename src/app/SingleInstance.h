#pragma once
// Keeps the desktop program to one running instance per data folder: an exclusive flock on
// <root>/.lock held for as long as the object lives. The kernel drops the lock when the
// process ends, however it ends, so a crash never leaves a stale lock.
#include <string>

namespace tavora::app {

class SingleInstance {
public:
    // Tries to take the lock; the directory must exist.
    explicit SingleInstance(const std::string& rootDir);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process holds the lock.
    bool acquired() const { return m_fd >= 0; }
    // Why the lock could not be taken: empty when another instance holds it.
    const std::string& error() const { return m_error; }

private:
    int m_fd = -1;
    std::string m_error;
};

}  // namespace tavora::app
