#pragma once
// A real vsftpd on 127.0.0.1 for one test: explicit FTPS (AUTH TLS) with virtual users
// "tavoradata" and "up.tavora", a fresh self-signed certificate (CN and SAN localhost and
// 127.0.0.1), a free control port and a passive port range of its own, and its own PAM
// service file. Stopping kills the listener and every session process below it.
// Needs root (the PAM file lives in /etc/pam.d); available() says whether it runs.
#include "support/TempDir.h"

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tavora::test {

// Writes cert.pem and key.pem into dir (a self-signed certificate for localhost and
// 127.0.0.1). False when openssl fails.
bool makeTestCertificate(const std::filesystem::path& dir);

// A TCP port on 127.0.0.1 that nothing listens on right now.
int freeLoopbackPort();
// True when something accepts connections on the port of 127.0.0.1.
bool loopbackPortAnswers(int port);
// Waits up to five seconds for the child process `pid` to accept connections on `port`. False
// when it exits first or does not answer in time; it is then killed (if still running) and reaped.
bool waitUntilListening(pid_t pid, int port);

class VsftpdServer {
public:
    struct Options {
        int idleSessionTimeout = 300; // seconds
        bool requireSslReuse = true;
        long maxRate = 0; // bytes per second per transfer; 0 for no limit
    };

    VsftpdServer() : VsftpdServer(Options{}) {}
    explicit VsftpdServer(Options options);
    ~VsftpdServer();
    VsftpdServer(const VsftpdServer&) = delete;
    VsftpdServer& operator=(const VsftpdServer&) = delete;

    bool available() const { return m_pid > 0; }
    // Why the server does not run (for GTEST_SKIP), empty when it runs.
    const std::string& problem() const { return m_problem; }

    int port() const { return m_port; }
    std::string caFile() const { return (m_dir.path() / "cert.pem").string(); }
    // The served tree ("/" of the FTP session). Files written here must be world-readable.
    std::filesystem::path root() const { return m_dir.path() / "root"; }
    // Writes a served file (mode 0644; parents 0755) and optionally sets its modification time.
    void putFile(const std::string& remotePath, const std::string& bytes, long long mtime = -1) const;
    void removeFile(const std::string& remotePath) const;
    // The protocol log vsftpd keeps (log_ftp_protocol).
    std::string protocolLog() const;

    // Starts (again) on the same port and tree; false with problem() set when it fails.
    bool start();
    // Stops, takes new options and starts again on the same port and tree.
    bool restart(Options options);
    // Kills the listener and every session process.
    void stop();
    // Kills only the session processes (the listener keeps accepting).
    void killSessions();

private:
    bool prepare();
    void writeConfig();
    std::vector<pid_t> descendants() const;

    Options m_options;
    TempDir m_dir;
    std::string m_pamService;
    int m_pasvMin = 0;
    int m_port = 0;
    pid_t m_pid = -1;
    std::string m_problem;
};

} // namespace tavora::test
