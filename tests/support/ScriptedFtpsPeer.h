#pragma once
// A tiny FTPS server in the test process, for replies a real server will not give: it accepts
// control connections on 127.0.0.1, answers AUTH TLS, then answers each command with the
// reply its script gives; PASV, LIST and RETR serve the script's listings and files over a
// TLS data connection. Runs on its own thread until destroyed.
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"

typedef struct ssl_ctx_st SSL_CTX;

namespace tavora::test {

class ScriptedFtpsPeer {
public:
    ScriptedFtpsPeer();
    ~ScriptedFtpsPeer();
    ScriptedFtpsPeer(const ScriptedFtpsPeer&) = delete;
    ScriptedFtpsPeer& operator=(const ScriptedFtpsPeer&) = delete;

    // Replies by command word ("OPTS", "USER", ...); commands not scripted get vsftpd's replies
    // for a successful login, or "502 Command not implemented.".
    void setReply(const std::string& commandWord, const std::string& reply);
    // What LIST <path> sends on the data connection, and what RETR <path> sends.
    void setListing(const std::string& path, const std::string& listing);
    void setFile(const std::string& path, const std::string& bytes);

    bool available() const { return m_ctx != nullptr && m_listenFd >= 0; }
    int port() const { return m_port; }
    std::string caFile() const { return (m_dir.path() / "cert.pem").string(); }
    // Every command line received, in order.
    std::vector<std::string> commands() const;
    int connections() const { return m_connections; }

private:
    void serve();
    void session(int fd);
    std::string replyFor(const std::string& word);

    TempDir m_dir;
    SSL_CTX* m_ctx = nullptr;
    int m_listenFd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_mutex;
    std::map<std::string, std::string> m_replies;
    std::map<std::string, std::string> m_listings;
    std::map<std::string, std::string> m_files;
    std::vector<std::string> m_commands;
    std::thread m_thread;
};

} // namespace tavora::test
