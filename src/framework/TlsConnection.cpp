#include "framework/TlsConnection.h"

#include "framework/TlsContext.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cerrno>
#include <cstring>

namespace tavora::framework {

namespace {

// Waits for what OpenSSL asked for after a WANT_READ / WANT_WRITE.
WaitResult waitFor(int fd, int sslError, Clock::time_point deadline, const CancelFlag* cancel) {
    return waitForSocket(fd, sslError == SSL_ERROR_WANT_WRITE, deadline, cancel);
}

std::string sslFailureText(const char* what, int sslError) {
    if (sslError == SSL_ERROR_SYSCALL && errno != 0)
        return std::string(what) + ": " + std::strerror(errno);
    if (sslError == SSL_ERROR_SYSCALL)
        return std::string(what) + ": connection closed by the peer";
    return std::string(what) + ": " + takeTlsErrorText();
}

} // namespace

TlsConnection::~TlsConnection() {
    if (m_ssl)
        SSL_free(m_ssl);
    m_socket.close();
}

bool TlsConnection::handshake(SSL_CTX* ctx, const std::string& host, SSL_SESSION* resume,
                              Clock::time_point deadline, const CancelFlag* cancel, std::string& error) {
    ERR_clear_error();
    m_ssl = SSL_new(ctx);
    if (!m_ssl || SSL_set_fd(m_ssl, m_socket.fd()) != 1) {
        error = "TLS setup: " + takeTlsErrorText();
        return false;
    }
    in_addr ip4{};
    in6_addr ip6{};
    bool isAddress =
        inet_pton(AF_INET, host.c_str(), &ip4) == 1 || inet_pton(AF_INET6, host.c_str(), &ip6) == 1;
    if (isAddress) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(m_ssl), host.c_str());
    } else {
        SSL_set_tlsext_host_name(m_ssl, host.c_str());
        SSL_set1_host(m_ssl, host.c_str());
    }
    if (resume && SSL_set_session(m_ssl, resume) != 1) {
        error = "TLS session reuse: " + takeTlsErrorText();
        return false;
    }
    for (;;) {
        errno = 0;
        int r = SSL_connect(m_ssl);
        if (r == 1)
            return true;
        int e = SSL_get_error(m_ssl, r);
        if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
            WaitResult w = waitFor(m_socket.fd(), e, deadline, cancel);
            if (w != WaitResult::Ready) {
                error = "TLS handshake " + waitFailureText(w);
                return false;
            }
            continue;
        }
        long verify = SSL_get_verify_result(m_ssl);
        if (verify != X509_V_OK) {
            ERR_clear_error();
            error = std::string("certificate verification failed: ") + X509_verify_cert_error_string(verify);
        } else {
            error = sslFailureText("TLS handshake", e);
        }
        return false;
    }
}

long TlsConnection::readNow(char* buf, std::size_t capacity, ReadStatus& status, std::string& error) {
    ERR_clear_error();
    errno = 0;
    int r = SSL_read(m_ssl, buf, static_cast<int>(capacity));
    if (r > 0) {
        status = ReadStatus::Data;
        return r;
    }
    int e = SSL_get_error(m_ssl, r);
    if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
        status = ReadStatus::WouldBlock;
    } else if (e == SSL_ERROR_ZERO_RETURN ||
               (e == SSL_ERROR_SYSCALL && errno == 0 && ERR_peek_error() == 0)) {
        // A close notification, or the stream ended without one (vsftpd closes that way).
        status = ReadStatus::Closed;
    } else {
        status = ReadStatus::Failed;
        error = sslFailureText("TLS read", e);
    }
    return 0;
}

long TlsConnection::readSome(char* buf, std::size_t capacity, Clock::time_point deadline,
                             const CancelFlag* cancel, std::string& error) {
    for (;;) {
        ReadStatus status;
        long n = readNow(buf, capacity, status, error);
        switch (status) {
        case ReadStatus::Data:
            return n;
        case ReadStatus::Closed:
            return 0;
        case ReadStatus::Failed:
            return -1;
        case ReadStatus::WouldBlock:
            break;
        }
        WaitResult w = waitForSocket(m_socket.fd(), false, deadline, cancel);
        if (w != WaitResult::Ready) {
            error = "TLS read " + waitFailureText(w);
            return -1;
        }
    }
}

bool TlsConnection::writeAll(const std::string& bytes, Clock::time_point deadline, const CancelFlag* cancel,
                             std::string& error) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ERR_clear_error();
        errno = 0;
        int r = SSL_write(m_ssl, bytes.data() + sent, static_cast<int>(bytes.size() - sent));
        if (r > 0) {
            sent += static_cast<std::size_t>(r);
            continue;
        }
        int e = SSL_get_error(m_ssl, r);
        if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
            WaitResult w = waitFor(m_socket.fd(), e, deadline, cancel);
            if (w != WaitResult::Ready) {
                error = "TLS write " + waitFailureText(w);
                return false;
            }
            continue;
        }
        error = sslFailureText("TLS write", e);
        return false;
    }
    return true;
}

void TlsConnection::shutdown() {
    if (m_ssl && !m_shutdownSent) {
        m_shutdownSent = true;
        SSL_shutdown(m_ssl); // non-blocking socket: sends our notification, does not wait
        ERR_clear_error();
    }
}

SSL_SESSION* TlsConnection::session() const {
    return m_ssl ? SSL_get_session(m_ssl) : nullptr;
}

bool TlsConnection::sessionResumable() const {
    SSL_SESSION* s = session();
    return s && SSL_SESSION_is_resumable(s) == 1;
}

bool TlsConnection::sessionReused() const {
    return m_ssl && SSL_session_reused(m_ssl) == 1;
}

std::string TlsConnection::peerSubject() const {
    if (!m_ssl)
        return {};
    X509* cert = SSL_get1_peer_certificate(m_ssl);
    if (!cert)
        return {};
    char line[512];
    X509_NAME_oneline(X509_get_subject_name(cert), line, sizeof line);
    X509_free(cert);
    return line;
}

} // namespace tavora::framework
