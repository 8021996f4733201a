#pragma once
// A loopback socket that accepts connections (the kernel completes the handshake) and never
// says a word: the server that hangs. Closed when the object goes.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavora::test {

class SilentListener {
public:
    SilentListener() {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof sa;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
            ::listen(m_fd, 4) != 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
            return;
        m_port = ntohs(sa.sin_port);
    }
    ~SilentListener() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    // 0 when the socket could not be set up.
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace tavora::test
