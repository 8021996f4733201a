#pragma once
// A TCP connection to an IPv4 peer with every wait bounded: name lookup and connect share one
// deadline, sends and receives wait at most the time they are given. The socket is
// non-blocking underneath; waits use poll(). Owned and used by one thread at a time.
#include <netinet/in.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tavora::framework {

using Millis = std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// The bounds of every network wait; tests shorten them.
struct NetTimeouts {
    Millis connect{10000};  // name lookup plus TCP connect plus TLS handshake
    Millis reply{15000};    // one command reply
    Millis dataIdle{30000}; // a data transfer without any byte arriving
};

// Lets another thread end a wait early (checked at least every 100 ms).
using CancelFlag = std::atomic<bool>;

// The outcome of a wait: ready, or why not.
enum class WaitResult { Ready, TimedOut, Cancelled, Failed };

// Waits until fd is readable (or writable) or the deadline passes.
WaitResult waitForSocket(int fd, bool forWrite, Clock::time_point deadline, const CancelFlag* cancel);

// Looks an IPv4 address up, giving up at the deadline (a hanging resolver never holds the
// caller longer). Numeric addresses need no lookup.
std::optional<in_addr> resolveIPv4(const std::string& host, Clock::time_point deadline, std::string& error,
                                   const CancelFlag* cancel = nullptr);

class SocketConnection {
public:
    SocketConnection() = default;
    explicit SocketConnection(int fd) : m_fd(fd) {}
    ~SocketConnection() { close(); }
    SocketConnection(const SocketConnection&) = delete;
    SocketConnection& operator=(const SocketConnection&) = delete;
    SocketConnection(SocketConnection&& other) noexcept;
    SocketConnection& operator=(SocketConnection&& other) noexcept;

    // Connects to address:port before the deadline; on failure the result is closed and
    // error says why.
    static SocketConnection connectTo(in_addr address, std::uint16_t port, Clock::time_point deadline,
                                      const CancelFlag* cancel, std::string& error);

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    void close();

    // Sends all bytes before the deadline; false (with error) when that fails.
    bool sendAll(const std::string& bytes, Clock::time_point deadline, const CancelFlag* cancel,
                 std::string& error);
    // Receives what has arrived (waiting for the first byte until the deadline) into buf.
    // Returns the count, 0 when the peer closed, -1 on failure or timeout (error says which).
    long receiveSome(char* buf, std::size_t capacity, Clock::time_point deadline, const CancelFlag* cancel,
                     std::string& error);

private:
    int m_fd = -1;
};

// Text of a WaitResult failure, for messages.
std::string waitFailureText(WaitResult r);

} // namespace tavora::framework
