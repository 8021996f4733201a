#pragma once
// One TLS client connection over a SocketConnection it owns, with bounded waits: the control
// connection of the reference-data session and each of its data connections. Owned and used
// by one thread at a time. Destruction frees the TLS object and then closes the socket.
#include "framework/SocketConnection.h"

#include <string>

typedef struct ssl_st SSL;
typedef struct ssl_session_st SSL_SESSION;
typedef struct ssl_ctx_st SSL_CTX;

namespace tavora::framework {

class TlsConnection {
public:
    explicit TlsConnection(SocketConnection socket) : m_socket(std::move(socket)) {}
    ~TlsConnection();
    TlsConnection(const TlsConnection&) = delete;
    TlsConnection& operator=(const TlsConnection&) = delete;

    // Performs the client handshake before the deadline. The peer's certificate must verify
    // and name host (a DNS name or an IP address). resume, when given, is offered for session
    // resumption. False with error on any failure, a failed verification included.
    bool handshake(SSL_CTX* ctx, const std::string& host, SSL_SESSION* resume, Clock::time_point deadline,
                   const CancelFlag* cancel, std::string& error);

    // One read attempt that does not wait: the count read (> 0), or 0 with status telling why
    // nothing came: wouldBlock (try again later), closed (the peer ended the stream), or failed.
    enum class ReadStatus { Data, WouldBlock, Closed, Failed };
    long readNow(char* buf, std::size_t capacity, ReadStatus& status, std::string& error);
    // Reads what has arrived, waiting for the first bytes until the deadline.
    // Returns the count, 0 when the peer closed the stream, -1 on failure or timeout.
    long readSome(char* buf, std::size_t capacity, Clock::time_point deadline, const CancelFlag* cancel,
                  std::string& error);
    bool writeAll(const std::string& bytes, Clock::time_point deadline, const CancelFlag* cancel,
                  std::string& error);
    // Sends the TLS close notification once, without waiting for the peer's.
    void shutdown();

    SSL* ssl() const { return m_ssl; }
    int fd() const { return m_socket.fd(); }
    // The session to offer on data connections (owned by this connection).
    SSL_SESSION* session() const;
    bool sessionResumable() const;
    bool sessionReused() const;
    // The certificate subject line of the peer, for the log.
    std::string peerSubject() const;

private:
    SocketConnection m_socket;
    SSL* m_ssl = nullptr;
    bool m_shutdownSent = false;
};

} // namespace tavora::framework
