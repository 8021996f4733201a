#pragma once
// The command channel of an FTP session inside explicit TLS (AUTH TLS): connect, greeting,
// AUTH, the handshake, PBSZ / PROT, commands with their expected replies, PASV. Every reply
// is read whole (multi-line replies included), bounded to 64 KiB and in time.
// Owned and used by one thread at a time.
#include "framework/SocketConnection.h"
#include "framework/TlsConnection.h"

#include <memory>
#include <optional>
#include <string>

namespace tavora::framework {

inline constexpr std::size_t kMaxReplyBytes = 65535;

class FtpsCommand {
public:
    // Looks up host, connects to port and reads the "220" greeting, all within
    // timeouts.connect. Null with error on failure.
    static std::unique_ptr<FtpsCommand> ZConnectServer(const std::string& host, std::uint16_t port,
                                                       const NetTimeouts& timeouts, const CancelFlag* cancel,
                                                       std::string& error);

    // Asks for TLS in clear ("AUTH TLS", reply "234") and performs the handshake; the peer must
    // verify for the host given to ZConnectServer.
    bool SendAUTH(SSL_CTX* ctx, std::string& error);
    bool SSL_SendPBSZ(std::string& error); // "PBSZ 0", reply "200"
    bool SSL_SendPROT(std::string& error); // "PROT P", reply "200"

    // Sends command and reads one whole reply into reply; true when the reply begins with
    // expected. A failed send or read leaves reply empty and error set.
    bool ZSSLServSend(const std::string& command, std::string& reply, const std::string& expected,
                      std::string& error);
    // Sends text without reading a reply.
    bool ZSSLServSendRtInt(const std::string& text, std::string& error);
    // Reads one whole reply (waiting at most the reply timeout). False with error when none came.
    bool readReply(std::string& reply, std::string& error);
    // The same, waiting at most until deadline.
    bool readReply(std::string& reply, std::string& error, Clock::time_point deadline);

    // Sends "PASV" and connects to the announced port at the control connection's address
    // (never at an address the reply names). A closed connection with error on failure.
    SocketConnection SSL_SendPASV(std::string& error);

    TlsConnection* tls() const { return m_tls.get(); }
    in_addr serverAddress() const { return m_serverAddress; }
    const std::string& host() const { return m_host; }
    const NetTimeouts& timeouts() const { return m_timeouts; }
    const CancelFlag* cancel() const { return m_cancel; }

    // Reads what the control connection has already received (TLS session tickets among
    // it) without waiting; replies stay buffered for readReply.
    void absorbPending();

private:
    FtpsCommand(SocketConnection socket, std::string host, in_addr address, const NetTimeouts& timeouts,
                const CancelFlag* cancel);
    bool sendText(const std::string& text, std::string& error);
    long receiveSome(char* buf, std::size_t capacity, Clock::time_point deadline, std::string& error);

    SocketConnection m_plain;             // until the handshake
    std::unique_ptr<TlsConnection> m_tls; // after it (owns the socket)
    std::string m_host;
    in_addr m_serverAddress{};
    NetTimeouts m_timeouts;
    const CancelFlag* m_cancel = nullptr;
    std::string m_pending; // received bytes not yet taken as a reply
};

// Splits the first whole reply off buffer. Returns false while the reply is incomplete.
bool takeFtpReply(std::string& buffer, std::string& reply);

// Parses "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)." into the port.
std::optional<std::uint16_t> parsePasvPort(const std::string& reply);

// One read on a data or control TLS connection that does not wait: the count read, or 0 with
// socketError EWOULDBLOCK (nothing yet), 0 (the peer closed) or another positive code (failed).
long ZSSLServReadByte(TlsConnection& tls, char* buf, std::size_t capacity, int& socketError);

} // namespace tavora::framework
