#include "framework/FtpsCommand.h"

#include <cctype>
#include <cerrno>
#include <cstdio>

namespace tavora::framework {

namespace {

bool startsWithCode(const std::string& line) {
    return line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
           std::isdigit(static_cast<unsigned char>(line[1])) &&
           std::isdigit(static_cast<unsigned char>(line[2]));
}

} // namespace

bool takeFtpReply(std::string& buffer, std::string& reply) {
    // A reply is one line "ddd text", or "ddd-text" ... up to a line "ddd text" with the same code.
    std::size_t lineStart = 0;
    std::string code;
    for (;;) {
        std::size_t eol = buffer.find('\n', lineStart);
        if (eol == std::string::npos)
            return false;
        std::string line = buffer.substr(lineStart, eol - lineStart);
        lineStart = eol + 1;
        if (code.empty()) {
            if (!startsWithCode(line) || line.size() == 3 || line[3] != '-')
                break; // a one-line reply (or a line that is no reply at all: handed over as it is)
            code = line.substr(0, 3);
            continue;
        }
        if (line.size() >= 4 && line.compare(0, 3, code) == 0 && line[3] == ' ')
            break;
    }
    reply = buffer.substr(0, lineStart);
    buffer.erase(0, lineStart);
    return true;
}

std::optional<std::uint16_t> parsePasvPort(const std::string& reply) {
    if (reply.rfind("227", 0) != 0)
        return std::nullopt;
    std::size_t open = reply.find('(');
    if (open == std::string::npos)
        return std::nullopt;
    unsigned h[4], p1, p2;
    if (std::sscanf(reply.c_str() + open, "(%u,%u,%u,%u,%u,%u)", &h[0], &h[1], &h[2], &h[3], &p1, &p2) != 6)
        return std::nullopt;
    if (p1 > 255 || p2 > 255 || (p1 == 0 && p2 == 0))
        return std::nullopt;
    return static_cast<std::uint16_t>(p1 * 256 + p2);
}

long ZSSLServReadByte(TlsConnection& tls, char* buf, std::size_t capacity, int& socketError) {
    TlsConnection::ReadStatus status;
    std::string error;
    long n = tls.readNow(buf, capacity, status, error);
    switch (status) {
    case TlsConnection::ReadStatus::Data:
        socketError = 0;
        return n;
    case TlsConnection::ReadStatus::WouldBlock:
        socketError = EWOULDBLOCK;
        return 0;
    case TlsConnection::ReadStatus::Closed:
        socketError = 0;
        return 0;
    case TlsConnection::ReadStatus::Failed:
        break;
    }
    socketError = errno > 0 ? errno : EIO;
    return 0;
}

FtpsCommand::FtpsCommand(SocketConnection socket, std::string host, in_addr address,
                         const NetTimeouts& timeouts, const CancelFlag* cancel)
    : m_plain(std::move(socket)), m_host(std::move(host)), m_serverAddress(address), m_timeouts(timeouts),
      m_cancel(cancel) {}

std::unique_ptr<FtpsCommand> FtpsCommand::ZConnectServer(const std::string& host, std::uint16_t port,
                                                         const NetTimeouts& timeouts,
                                                         const CancelFlag* cancel, std::string& error) {
    auto deadline = Clock::now() + timeouts.connect;
    auto address = resolveIPv4(host, deadline, error, cancel);
    if (!address)
        return nullptr;
    SocketConnection socket = SocketConnection::connectTo(*address, port, deadline, cancel, error);
    if (!socket.isOpen())
        return nullptr;
    std::unique_ptr<FtpsCommand> session(
        new FtpsCommand(std::move(socket), host, *address, timeouts, cancel));
    // The greeting belongs to connecting: a server that accepts and never speaks is given no
    // more time than one that does not answer at all.
    std::string greeting;
    if (!session->readReply(greeting, error, deadline))
        return nullptr;
    if (greeting.rfind("220", 0) != 0) {
        error = "greeting: " + greeting;
        return nullptr;
    }
    return session;
}

bool FtpsCommand::sendText(const std::string& text, std::string& error) {
    auto deadline = Clock::now() + m_timeouts.reply;
    if (m_tls)
        return m_tls->writeAll(text, deadline, m_cancel, error);
    return m_plain.sendAll(text, deadline, m_cancel, error);
}

long FtpsCommand::receiveSome(char* buf, std::size_t capacity, Clock::time_point deadline,
                              std::string& error) {
    if (m_tls)
        return m_tls->readSome(buf, capacity, deadline, m_cancel, error);
    return m_plain.receiveSome(buf, capacity, deadline, m_cancel, error);
}

bool FtpsCommand::readReply(std::string& reply, std::string& error) {
    return readReply(reply, error, Clock::now() + m_timeouts.reply);
}

bool FtpsCommand::readReply(std::string& reply, std::string& error, Clock::time_point deadline) {
    reply.clear();
    char buf[4096];
    while (!takeFtpReply(m_pending, reply)) {
        if (m_pending.size() > kMaxReplyBytes) {
            error = "reply longer than 64 KiB";
            m_pending.clear();
            return false;
        }
        long n = receiveSome(buf, sizeof buf, deadline, error);
        if (n == 0) {
            error = "connection closed by the server";
            return false;
        }
        if (n < 0)
            return false;
        m_pending.append(buf, static_cast<std::size_t>(n));
    }
    if (reply.size() > kMaxReplyBytes) {
        error = "reply longer than 64 KiB";
        reply.clear();
        return false;
    }
    return true;
}

void FtpsCommand::absorbPending() {
    if (!m_tls)
        return;
    char buf[4096];
    for (;;) {
        TlsConnection::ReadStatus status;
        std::string error;
        long n = m_tls->readNow(buf, sizeof buf, status, error);
        if (status != TlsConnection::ReadStatus::Data || m_pending.size() > kMaxReplyBytes)
            return;
        m_pending.append(buf, static_cast<std::size_t>(n));
    }
}

bool FtpsCommand::SendAUTH(SSL_CTX* ctx, std::string& error) {
    std::string reply;
    if (!sendText("AUTH TLS\r\n", error) || !readReply(reply, error))
        return false;
    if (reply.rfind("234", 0) != 0) {
        error = "AUTH TLS refused: " + reply;
        return false;
    }
    if (!m_pending.empty()) {
        // Bytes sent in clear after the 234 would be taken as protected replies.
        error = "unexpected data after AUTH TLS";
        return false;
    }
    auto tls = std::make_unique<TlsConnection>(std::move(m_plain));
    if (!tls->handshake(ctx, m_host, nullptr, Clock::now() + m_timeouts.connect, m_cancel, error))
        return false;
    m_tls = std::move(tls);
    return true;
}

bool FtpsCommand::SSL_SendPBSZ(std::string& error) {
    std::string reply;
    if (ZSSLServSend("PBSZ 0\r\n", reply, "200", error))
        return true;
    if (error.empty())
        error = "PBSZ refused: " + reply;
    return false;
}

bool FtpsCommand::SSL_SendPROT(std::string& error) {
    std::string reply;
    if (ZSSLServSend("PROT P\r\n", reply, "200", error))
        return true;
    if (error.empty())
        error = "PROT refused: " + reply;
    return false;
}

bool FtpsCommand::ZSSLServSend(const std::string& command, std::string& reply, const std::string& expected,
                               std::string& error) {
    reply.clear();
    if (!sendText(command, error) || !readReply(reply, error))
        return false;
    return reply.compare(0, expected.size(), expected) == 0;
}

bool FtpsCommand::ZSSLServSendRtInt(const std::string& text, std::string& error) {
    return sendText(text, error);
}

SocketConnection FtpsCommand::SSL_SendPASV(std::string& error) {
    std::string reply;
    if (!ZSSLServSend("PASV\r\n", reply, "227", error)) {
        if (error.empty())
            error = "PASV refused: " + reply;
        return {};
    }
    auto port = parsePasvPort(reply);
    if (!port) {
        error = "PASV reply not understood: " + reply;
        return {};
    }
    return SocketConnection::connectTo(m_serverAddress, *port, Clock::now() + m_timeouts.connect, m_cancel,
                                       error);
}

} // namespace tavora::framework
