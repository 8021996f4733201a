#pragma once
// A real nginx on 127.0.0.1 for one test: HTTPS with a fresh self-signed certificate (CN and
// SAN localhost and 127.0.0.1), HTTP Basic authentication on the KABU+ daily folder, a free
// port and a folder of its own. Besides the files put into its tree it can answer a path with
// a fixed status and text, or with a body cut short (through a small peer in the test process
// that announces more than it sends), or serve a file slowly (nginx's limit_rate: the server
// that drips). Stopped by its PID (and its workers') when destroyed.
#include "support/TempDir.h"

#include <sys/types.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace tavora::test {

class NginxServer {
public:
    struct Account {
        std::string user = "kabuplus-user";
        std::string password = "pX7#q2;Lw";
    };

    NginxServer() : NginxServer(Account{}) {}
    explicit NginxServer(Account account);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // Before start(): what particular paths answer.
    void setReply(const std::string& remotePath, int status, const std::string& text);
    void setTruncated(const std::string& remotePath, const std::string& sent, std::size_t announced);
    // The file at the path (put with putFile) is sent at this many bytes per second.
    void setRateLimit(const std::string& remotePath, std::size_t bytesPerSecond);
    // A served file (world-readable, as nginx's workers run as nobody when started by root).
    void putFile(const std::string& remotePath, const std::string& bytes) const;

    // Writes the configuration and starts nginx; false with problem() set when it does not run.
    bool start();
    void stop();

    bool available() const { return m_pid > 0; }
    const std::string& problem() const { return m_problem; }
    int port() const { return m_port; }
    const Account& account() const { return m_account; }
    std::string baseUrl() const { return "https://localhost:" + std::to_string(m_port); }
    std::string caFile() const { return (m_dir.path() / "cert.pem").string(); }
    // The requests nginx logged, one per line: "GET /path HTTP/1.1 STATUS USER-AGENT CONNECTION"
    // (the connection's serial number).
    std::string accessLog() const;

private:
    bool prepare();
    void writeConfig() const;
    void serveTruncated();

    struct Fixed {
        int status;
        std::string text;
    };
    Account m_account;
    TempDir m_dir;
    std::map<std::string, Fixed> m_replies;
    std::map<std::string, std::string> m_truncated; // path -> raw HTTP reply of the peer
    std::map<std::string, std::size_t> m_rateLimits; // path -> bytes per second
    int m_port = 0;
    pid_t m_pid = -1;
    std::string m_problem;
    bool m_prepared = false;
    // The peer that cuts bodies short.
    int m_peerFd = -1;
    int m_peerPort = 0;
    std::atomic<bool> m_peerStop{false};
    std::thread m_peer;
};

} // namespace tavora::test
