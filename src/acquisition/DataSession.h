#pragma once
// The session with the reference-data server: FTP commands inside explicit TLS, one control
// connection kept open, checked with NOOP before each operation and re-opened when that
// fails; listings and files move over passive data connections that resume the control
// connection's TLS session. Every wait is bounded (SessionConfig::timeouts).
// Blocking; used by one thread at a time (start-up and shutdown on the UI thread, or the
// update check's own thread with its own session).
#include "framework/FtpsCommand.h"
#include "framework/Progress.h"
#include "framework/Result.h"
#include "framework/TlsContext.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tavora::acquisition {

inline constexpr std::size_t kMaxListingBytes = 16u * 1024 * 1024;

// Where and as whom the session logs in, and how long it may wait.
struct SessionConfig {
    std::string host;
    std::string port = "60000";
    std::string user;
    std::string password;
    framework::NetTimeouts timeouts;
    const framework::CancelFlag* cancel = nullptr; // ends every wait early when set
};

// The byte counts of one batch of downloads (all files flagged in one listing), so that the
// percentage runs once from 0 to 100 over the batch.
struct BatchProgress {
    std::uint64_t total = 0;
    std::uint64_t received = 0;
};

class DataSession {
public:
    DataSession(std::shared_ptr<framework::TlsContext> tls, SessionConfig config);
    ~DataSession();
    DataSession(const DataSession&) = delete;
    DataSession& operator=(const DataSession&) = delete;

    // Where status texts, the download percentage and log lines go (a null sink by default).
    void setProgress(framework::ProgressSink* sink);

    // Drops the current control connection (if any) and logs in afresh: connect, AUTH TLS,
    // handshake with a verified certificate, PBSZ, PROT, USER, PASS, OPTS UTF8 ON, TYPE I.
    // Succeeds when logged in and in binary mode.
    framework::Result<> ReopenDataSession();
    bool isOpen() const { return m_control != nullptr; }
    // The reason of the session's last failure (technical English), for a caller that reports
    // on a whole run after it.
    const std::string& lastError() const { return m_lastError; }

    // Checks the control connection with NOOP and runs operation when the server answers, or
    // after a successful re-open; skips it otherwise. Returns whether it ran.
    bool ProbeDataSession(const std::string& remotePath, const std::function<void()>& operation);

    // A connected data socket (PASV); its TLS is built after the transfer command is accepted.
    framework::SocketConnection OpenDataChannel();

    // The listing of a directory (file empty) or of one file in it, as UTF-8 text; fails when
    // the channel, the command or the transfer failed, or the listing exceeds 16 MiB.
    framework::Result<std::string> ListRemote(const std::string& directory, const std::string& file = {});

    // Fetches remotePath into out. Succeeds only when exactly listedSize bytes arrived and the
    // server reported the transfer complete.
    framework::Result<> RetrieveRemoteFile(const std::string& remotePath, std::FILE* out,
                                           std::uint64_t listedSize, BatchProgress& batch);

    // NOOP, and QUIT when the server still answers it; then drops the connection. Does nothing
    // when no session is open. Waits at most kCloseWait (or the reply timeout when shorter) in
    // all, so a silent server cannot hold up the program's exit.
    void CloseDataSession();
    static constexpr framework::Millis kCloseWait{3000};

private:
    enum class ProbeAnswer { Alive, Gone };
    ProbeAnswer probe(framework::Clock::time_point deadline);
    framework::Result<> login();
    // Builds the TLS of a data connection, resuming the control connection's session.
    framework::Result<std::unique_ptr<framework::TlsConnection>>
    startDataTls(framework::SocketConnection socket);
    void log(const std::string& line);
    // Records a failure of the session (logged as a failed connection) and returns it.
    framework::Failure fail(const std::string& what);
    // Records a failure of one command or transfer and returns it.
    framework::Failure failed(std::string what);

    std::shared_ptr<framework::TlsContext> m_tls;
    SessionConfig m_config;
    framework::NullProgress m_nullProgress;
    framework::ProgressSink* m_sink = &m_nullProgress;
    std::unique_ptr<framework::FtpsCommand> m_control;
    std::string m_lastError;
};

} // namespace tavora::acquisition
