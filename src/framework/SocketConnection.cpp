#include "framework/SocketConnection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace tavora::framework {

namespace {

// The longest single poll() when a cancel flag must be watched.
constexpr Millis kCancelSlice{100};

bool setNonBlocking(int fd) {
    int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::string errnoText(const char* what, int err) {
    return std::string(what) + ": " + std::strerror(err);
}

// What a lookup thread hands back. Shared, because the thread may outlive the caller that
// gave up waiting for it.
struct LookupState {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::optional<in_addr> address;
    std::string error;
};

} // namespace

WaitResult waitForSocket(int fd, bool forWrite, Clock::time_point deadline, const CancelFlag* cancel) {
    for (;;) {
        if (cancel && cancel->load())
            return WaitResult::Cancelled;
        auto now = Clock::now();
        if (now >= deadline)
            return WaitResult::TimedOut;
        auto left = std::chrono::duration_cast<Millis>(deadline - now) + Millis(1);
        if (cancel)
            left = std::min(left, kCancelSlice);
        pollfd p{fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
        int r = ::poll(&p, 1, static_cast<int>(left.count()));
        if (r > 0)
            return WaitResult::Ready; // readable, writable, or an error/hang-up the next call reports
        if (r < 0 && errno != EINTR)
            return WaitResult::Failed;
    }
}

std::string waitFailureText(WaitResult r) {
    switch (r) {
    case WaitResult::Ready:
        return "ready";
    case WaitResult::TimedOut:
        return "timed out";
    case WaitResult::Cancelled:
        return "cancelled";
    case WaitResult::Failed:
        break;
    }
    return "wait failed";
}

std::optional<in_addr> resolveIPv4(const std::string& host, Clock::time_point deadline, std::string& error,
                                   const CancelFlag* cancel) {
    in_addr numeric{};
    if (inet_pton(AF_INET, host.c_str(), &numeric) == 1)
        return numeric;
    if (host.empty()) {
        error = "no server host";
        return std::nullopt;
    }
    auto state = std::make_shared<LookupState>();
    std::thread([state, host] {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found);
        std::lock_guard lock(state->mutex);
        if (rc == 0 && found) {
            state->address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
        } else {
            state->error = "name lookup of " + host + " failed: " + gai_strerror(rc);
        }
        if (found)
            freeaddrinfo(found);
        state->finished = true;
        state->done.notify_all();
    }).detach();
    std::unique_lock lock(state->mutex);
    while (!state->finished) {
        if (cancel && cancel->load()) {
            error = "name lookup of " + host + " cancelled";
            return std::nullopt;
        }
        auto now = Clock::now();
        if (now >= deadline) {
            error = "name lookup of " + host + " timed out";
            return std::nullopt;
        }
        state->done.wait_until(lock, std::min(deadline, now + kCancelSlice));
    }
    if (!state->address)
        error = state->error;
    return state->address;
}

SocketConnection::SocketConnection(SocketConnection&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

SocketConnection& SocketConnection::operator=(SocketConnection&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

void SocketConnection::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

SocketConnection SocketConnection::connectTo(in_addr address, std::uint16_t port, Clock::time_point deadline,
                                             const CancelFlag* cancel, std::string& error) {
    SocketConnection conn(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!conn.isOpen()) {
        error = errnoText("socket", errno);
        return {};
    }
    if (!setNonBlocking(conn.fd())) {
        error = errnoText("fcntl", errno);
        return {};
    }
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr = address;
    if (::connect(conn.fd(), reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        if (errno != EINPROGRESS) {
            error = errnoText("connect", errno);
            return {};
        }
        WaitResult w = waitForSocket(conn.fd(), true, deadline, cancel);
        if (w != WaitResult::Ready) {
            error = "connect " + waitFailureText(w);
            return {};
        }
        int soError = 0;
        socklen_t len = sizeof soError;
        if (getsockopt(conn.fd(), SOL_SOCKET, SO_ERROR, &soError, &len) != 0 || soError != 0) {
            error = errnoText("connect", soError ? soError : errno);
            return {};
        }
    }
    return conn;
}

bool SocketConnection::sendAll(const std::string& bytes, Clock::time_point deadline, const CancelFlag* cancel,
                               std::string& error) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            WaitResult w = waitForSocket(m_fd, true, deadline, cancel);
            if (w != WaitResult::Ready) {
                error = "send " + waitFailureText(w);
                return false;
            }
            continue;
        }
        error = errnoText("send", errno);
        return false;
    }
    return true;
}

long SocketConnection::receiveSome(char* buf, std::size_t capacity, Clock::time_point deadline,
                                   const CancelFlag* cancel, std::string& error) {
    for (;;) {
        ssize_t n = ::recv(m_fd, buf, capacity, 0);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            error = errnoText("recv", errno);
            return -1;
        }
        WaitResult w = waitForSocket(m_fd, false, deadline, cancel);
        if (w != WaitResult::Ready) {
            error = "receive " + waitFailureText(w);
            return -1;
        }
    }
}

} // namespace tavora::framework
