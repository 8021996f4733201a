#include "support/CompanionPeer.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace tavora::test {

CompanionPeer::CompanionPeer(std::filesystem::path socketPath) : m_path(std::move(socketPath)) {
    std::filesystem::create_directories(m_path.parent_path());
    std::filesystem::remove(m_path);
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    const std::string p = m_path.string();
    if (p.size() >= sizeof sa.sun_path)
        return;
    std::memcpy(sa.sun_path, p.data(), p.size());
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        ::listen(m_fd, 8) != 0) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_thread = std::thread([this] { serve(); });
}

CompanionPeer::~CompanionPeer() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        ::close(m_fd);
    std::error_code ec;
    std::filesystem::remove(m_path, ec);
}

void CompanionPeer::answer(std::string bytes) {
    std::lock_guard lock(m_mutex);
    m_reply = std::move(bytes);
    m_stall = false;
}

void CompanionPeer::answerFor(const std::string& request, std::string bytes,
                              std::chrono::milliseconds delay) {
    std::lock_guard lock(m_mutex);
    m_scripted[request] = Scripted{std::move(bytes), delay};
}

void CompanionPeer::answerNext(std::string bytes) {
    std::lock_guard lock(m_mutex);
    m_queued.push_back(std::move(bytes));
}

bool CompanionPeer::waitOrStop(std::chrono::milliseconds delay) const {
    const auto until = std::chrono::steady_clock::now() + delay;
    while (std::chrono::steady_clock::now() < until)
        if (m_stop)
            return false;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !m_stop;
}

void CompanionPeer::stall() {
    std::lock_guard lock(m_mutex);
    m_stall = true;
}

std::vector<std::string> CompanionPeer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void CompanionPeer::serve() {
    while (!m_stop) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        handle(client);
        ::close(client);
    }
}

void CompanionPeer::handle(int client) {
    std::string request;
    char c;
    while (request.size() < 4096 && ::read(client, &c, 1) == 1 && c != '\n')
        request += c;
    std::string reply;
    bool stall;
    std::chrono::milliseconds delay{0};
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        reply = m_reply;
        stall = m_stall;
        if (auto it = m_scripted.find(request); it != m_scripted.end()) {
            reply = it->second.bytes;
            delay = it->second.delay;
            stall = false;
        }
        if (!m_queued.empty()) {
            reply = m_queued.front();
            m_queued.pop_front();
            stall = false;
        }
    }
    if (!waitOrStop(delay))
        return;
    if (stall) {
        // Hold the connection until the client closes it (or the peer stops).
        while (!m_stop) {
            pollfd p{client, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && ::read(client, &c, 1) <= 0)
                return;
        }
        return;
    }
    std::size_t sent = 0;
    while (sent < reply.size()) {
        const ssize_t n = ::send(client, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += std::size_t(n);
    }
}

} // namespace tavora::test
