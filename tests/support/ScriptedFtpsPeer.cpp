#include "support/ScriptedFtpsPeer.h"

#include "support/VsftpdServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace tavora::test {

namespace {

void setReadTimeout(int fd) {
    timeval tv{0, 100000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
}

int listenLoopback(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return -1;
    }
    socklen_t len = sizeof sa;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
    port = ntohs(sa.sin_port);
    return fd;
}

// Accepts one connection within two seconds, or gives up.
int acceptWithin(int listenFd, const std::atomic<bool>& stop) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!stop && std::chrono::steady_clock::now() < until) {
        pollfd p{listenFd, POLLIN, 0};
        if (::poll(&p, 1, 100) > 0) {
            int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                setReadTimeout(fd);
            return fd;
        }
    }
    return -1;
}

// Reads one line ending in "\n" over TLS (ssl) or in clear; empty when the peer went away.
std::string readLine(int fd, SSL* ssl, const std::atomic<bool>& stop) {
    std::string line;
    while (!stop) {
        char c;
        int n;
        if (ssl) {
            n = SSL_read(ssl, &c, 1);
            if (n <= 0) {
                int e = SSL_get_error(ssl, n);
                if (e == SSL_ERROR_WANT_READ)
                    continue;
                return {};
            }
        } else {
            n = static_cast<int>(::recv(fd, &c, 1, 0));
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
                continue;
            if (n <= 0)
                return {};
        }
        line += c;
        if (c == '\n')
            return line;
    }
    return {};
}

// The server handshake; the socket's read timeout makes it retry every 100 ms, up to 3 s.
bool acceptTls(SSL* ssl) {
    for (int i = 0; i < 30; ++i) {
        int r = SSL_accept(ssl);
        if (r == 1)
            return true;
        if (SSL_get_error(ssl, r) != SSL_ERROR_WANT_READ)
            return false;
    }
    return false;
}

void send(int fd, SSL* ssl, const std::string& text) {
    if (ssl)
        SSL_write(ssl, text.data(), static_cast<int>(text.size()));
    else
        ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
}

} // namespace

ScriptedFtpsPeer::ScriptedFtpsPeer() {
    if (!makeTestCertificate(m_dir.path()))
        return;
    m_ctx = SSL_CTX_new(TLS_server_method());
    if (SSL_CTX_use_certificate_chain_file(m_ctx, (m_dir.path() / "cert.pem").c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(m_ctx, (m_dir.path() / "key.pem").c_str(), SSL_FILETYPE_PEM) != 1) {
        SSL_CTX_free(m_ctx);
        m_ctx = nullptr;
        return;
    }
    SSL_CTX_set_session_id_context(m_ctx, reinterpret_cast<const unsigned char*>("peer"), 4);
    m_listenFd = listenLoopback(m_port);
    if (m_listenFd >= 0)
        m_thread = std::thread([this] { serve(); });
}

ScriptedFtpsPeer::~ScriptedFtpsPeer() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listenFd >= 0)
        ::close(m_listenFd);
    if (m_ctx)
        SSL_CTX_free(m_ctx);
}

void ScriptedFtpsPeer::setReply(const std::string& word, const std::string& reply) {
    std::lock_guard lock(m_mutex);
    m_replies[word] = reply;
}
void ScriptedFtpsPeer::setListing(const std::string& path, const std::string& listing) {
    std::lock_guard lock(m_mutex);
    m_listings[path] = listing;
}
void ScriptedFtpsPeer::setFile(const std::string& path, const std::string& bytes) {
    std::lock_guard lock(m_mutex);
    m_files[path] = bytes;
}
std::vector<std::string> ScriptedFtpsPeer::commands() const {
    std::lock_guard lock(m_mutex);
    return m_commands;
}

std::string ScriptedFtpsPeer::replyFor(const std::string& word) {
    std::lock_guard lock(m_mutex);
    auto it = m_replies.find(word);
    if (it != m_replies.end())
        return it->second;
    static const std::map<std::string, std::string> defaults = {{"AUTH", "234 Proceed with negotiation."},
                                                                {"PBSZ", "200 PBSZ set to 0."},
                                                                {"PROT", "200 PROT now Private."},
                                                                {"USER", "331 Please specify the password."},
                                                                {"PASS", "230 Login successful."},
                                                                {"OPTS", "200 Always in UTF8 mode."},
                                                                {"TYPE", "200 Switching to Binary mode."},
                                                                {"NOOP", "200 NOOP ok."},
                                                                {"QUIT", "221 Goodbye."}};
    auto d = defaults.find(word);
    return d != defaults.end() ? d->second : "502 Command not implemented.";
}

void ScriptedFtpsPeer::serve() {
    // One session at a time is all the tests need: the client drops its old connection before
    // it opens a new one.
    while (!m_stop) {
        int fd = acceptWithin(m_listenFd, m_stop);
        if (fd < 0)
            continue;
        ++m_connections;
        session(fd);
        ::close(fd);
    }
}

void ScriptedFtpsPeer::session(int fd) {
    send(fd, nullptr, "220 (scripted)\r\n");
    SSL* ssl = nullptr;
    int dataListen = -1;
    for (;;) {
        std::string line = readLine(fd, ssl, m_stop);
        if (line.empty())
            break;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        {
            std::lock_guard lock(m_mutex);
            m_commands.push_back(line);
        }
        std::string word = line.substr(0, line.find(' '));
        std::string arg = line.find(' ') == std::string::npos ? "" : line.substr(line.find(' ') + 1);
        if (word == "AUTH" && !ssl) {
            std::string reply = replyFor(word);
            send(fd, nullptr, reply + "\r\n");
            if (reply.rfind("234", 0) != 0)
                continue;
            ssl = SSL_new(m_ctx);
            SSL_set_fd(ssl, fd);
            if (!acceptTls(ssl))
                break;
            continue;
        }
        if (word == "PASV") {
            if (dataListen >= 0)
                ::close(dataListen);
            int port = 0;
            dataListen = listenLoopback(port);
            send(fd, ssl,
                 "227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) + "," +
                     std::to_string(port % 256) + ").\r\n");
            continue;
        }
        if ((word == "LIST" || word == "RETR") && dataListen >= 0) {
            std::string body;
            {
                std::lock_guard lock(m_mutex);
                auto& table = word == "LIST" ? m_listings : m_files;
                body = table.count(arg) ? table[arg] : std::string();
            }
            send(fd, ssl,
                 word == "LIST" ? "150 Here comes the directory listing.\r\n"
                                : "150 Opening BINARY mode data connection.\r\n");
            int dataFd = acceptWithin(dataListen, m_stop);
            ::close(dataListen);
            dataListen = -1;
            if (dataFd >= 0) {
                SSL* data = SSL_new(m_ctx);
                SSL_set_fd(data, dataFd);
                if (acceptTls(data)) {
                    if (!body.empty())
                        SSL_write(data, body.data(), static_cast<int>(body.size()));
                    SSL_shutdown(data);
                }
                SSL_free(data);
                ::close(dataFd);
            }
            send(fd, ssl, word == "LIST" ? "226 Directory send OK.\r\n" : "226 Transfer complete.\r\n");
            continue;
        }
        std::string reply = replyFor(word);
        send(fd, ssl, reply + "\r\n");
        if (word == "QUIT")
            break;
    }
    if (dataListen >= 0)
        ::close(dataListen);
    if (ssl)
        SSL_free(ssl);
    ERR_clear_error();
}

} // namespace tavora::test
