#include "framework/PipeClient.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>

namespace tavora::framework {

namespace {

PipeReply failure(PipeStatus status, std::string error) {
    PipeReply r;
    r.status = status;
    r.error = std::move(error);
    return r;
}

PipeStatus statusOfWait(WaitResult w) {
    switch (w) {
    case WaitResult::TimedOut:
        return PipeStatus::TimedOut;
    case WaitResult::Cancelled:
        return PipeStatus::Cancelled;
    default:
        return PipeStatus::Failed;
    }
}

bool isNoPeer(int err) {
    return err == ENOENT || err == ECONNREFUSED || err == ENOTDIR || err == ENOTSOCK;
}

// Connects before the deadline; an error result when that fails.
PipeReply connectUnix(SocketConnection& conn, const std::string& path, Clock::time_point deadline,
                      const CancelFlag* cancel) {
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof sa.sun_path)
        return failure(PipeStatus::Failed, "socket path is empty or too long: " + path);
    std::memcpy(sa.sun_path, path.data(), path.size());
    conn = SocketConnection(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!conn.isOpen())
        return failure(PipeStatus::Failed, std::string("socket: ") + std::strerror(errno));
    if (::connect(conn.fd(), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0)
        return PipeReply{PipeStatus::Ok, {}, {}};
    const int err = errno;
    if (isNoPeer(err))
        return failure(PipeStatus::NoPeer, "no companion at " + path + ": " + std::strerror(err));
    if (err != EINPROGRESS && err != EAGAIN)
        return failure(PipeStatus::Failed, "connect " + path + ": " + std::strerror(err));
    // A full backlog: wait until the peer accepts.
    const WaitResult w = waitForSocket(conn.fd(), true, deadline, cancel);
    if (w != WaitResult::Ready)
        return failure(statusOfWait(w), "connect " + path + ": " + waitFailureText(w));
    int soError = 0;
    socklen_t len = sizeof soError;
    if (getsockopt(conn.fd(), SOL_SOCKET, SO_ERROR, &soError, &len) != 0 || soError != 0)
        return failure(isNoPeer(soError) ? PipeStatus::NoPeer : PipeStatus::Failed,
                       "connect " + path + ": " + std::strerror(soError ? soError : errno));
    return PipeReply{PipeStatus::Ok, {}, {}};
}

} // namespace

PipeReply SendCommandToPipe(const std::string& socketPath, const std::string& request,
                            const PipeLimits& limits, const CancelFlag* cancel) {
    if (request.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return failure(PipeStatus::Failed, "the request holds a line break");
    const Clock::time_point deadline = Clock::now() + limits.timeout;
    SocketConnection conn;
    if (PipeReply connected = connectUnix(conn, socketPath, deadline, cancel); !connected.ok())
        return connected;
    std::string error;
    if (!conn.sendAll(request + "\n", deadline, cancel, error)) {
        if (cancel && cancel->load())
            return failure(PipeStatus::Cancelled, error);
        return failure(Clock::now() >= deadline ? PipeStatus::TimedOut : PipeStatus::Failed, error);
    }
    std::string reply;
    char buf[1024];
    for (;;) {
        const std::size_t newline = reply.find('\n');
        if (newline != std::string::npos) {
            reply.resize(newline);
            break;
        }
        if (reply.size() >= limits.maxReply)
            return failure(PipeStatus::TooLong,
                           "the reply is longer than " + std::to_string(limits.maxReply) + " bytes");
        const std::size_t room = std::min(sizeof buf, limits.maxReply - reply.size());
        const long n = conn.receiveSome(buf, room, deadline, cancel, error);
        if (n < 0) {
            if (cancel && cancel->load())
                return failure(PipeStatus::Cancelled, error);
            return failure(Clock::now() >= deadline ? PipeStatus::TimedOut : PipeStatus::Failed, error);
        }
        if (n == 0)
            break; // the end of the stream ends the reply
        reply.append(buf, static_cast<std::size_t>(n));
    }
    if (!reply.empty() && reply.back() == '\r')
        reply.pop_back();
    return PipeReply{PipeStatus::Ok, std::move(reply), {}};
}

} // namespace tavora::framework
