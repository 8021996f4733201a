#include "acquisition/DataSession.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <thread>

namespace tavora::acquisition {

using framework::Clock;
using framework::FtpsCommand;
using framework::Millis;
using framework::SocketConnection;
using framework::TlsConnection;

namespace {

constexpr int kProbeReplies = 10;
constexpr Millis kProbeRetryWait{300};
constexpr Millis kWouldBlockWait{100};
constexpr std::size_t kListPiece = 32767;
constexpr std::size_t kFilePiece = 65535;

std::string firstLine(const std::string& reply) {
    std::size_t end = reply.find_first_of("\r\n");
    return end == std::string::npos ? reply : reply.substr(0, end);
}

std::optional<std::uint16_t> parsePort(const std::string& text) {
    unsigned value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value == 0 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

bool contains(const std::string& text, const char* what) {
    return text.find(what) != std::string::npos;
}

} // namespace

DataSession::DataSession(std::shared_ptr<framework::TlsContext> tls, SessionConfig config)
    : m_tls(std::move(tls)), m_config(std::move(config)) {}

DataSession::~DataSession() = default;

void DataSession::setProgress(framework::ProgressSink* sink) {
    m_sink = sink ? sink : &m_nullProgress;
}

void DataSession::log(const std::string& line) {
    m_sink->logLine(line);
}

framework::Failure DataSession::fail(const std::string& what) {
    log("サーバー接続失敗_" + m_config.host + ":" + m_config.port + " " + what);
    return failed(what);
}

framework::Failure DataSession::failed(std::string what) {
    m_lastError = what;
    return framework::Failure::untranslated(std::move(what));
}

framework::Result<> DataSession::ReopenDataSession() {
    if (m_control) {
        if (m_control->tls())
            m_control->tls()->shutdown();
        m_control.reset();
    }
    m_lastError.clear();
    if (!m_tls)
        return fail("no TLS context");
    // The host is used up to 127 characters, as the server records have always been kept.
    std::string host = m_config.host.substr(0, 127);
    auto port = parsePort(m_config.port);
    if (!port)
        return fail("invalid server port \"" + m_config.port + "\"");
    std::string error;
    auto control = FtpsCommand::ZConnectServer(host, *port, m_config.timeouts, m_config.cancel, error);
    if (!control)
        return fail(error);
    if (!control->SendAUTH(m_tls->get(), error))
        return fail(error);
    log("サーバー証明書_" + control->tls()->peerSubject());
    m_control = std::move(control);
    if (auto loggedIn = login(); !loggedIn) {
        m_control->tls()->shutdown();
        m_control.reset();
        return fail(loggedIn.english());
    }
    return {};
}

framework::Result<> DataSession::login() {
    std::string error;
    if (!m_control->SSL_SendPBSZ(error) || !m_control->SSL_SendPROT(error))
        return framework::Failure::untranslated(error);
    struct Step {
        std::string command;
        const char* expected;
        const char* shown; // the command as the log may show it (no password)
    };
    const Step steps[] = {
        {"USER " + m_config.user + "\r\n", "331 Please specify the password.", "USER"},
        {"PASS " + m_config.password + "\r\n", "230 Login successful.", "PASS"},
        {"OPTS UTF8 ON\r\n", "200", "OPTS UTF8 ON"},
        {"TYPE I\r\n", "200", "TYPE I"},
    };
    for (const auto& step : steps) {
        if (step.command.find_first_of("\r\n") != step.command.size() - 2)
            return framework::Failure::untranslated(std::string(step.shown) +
                                                    ": line break in the account data");
        std::string reply;
        if (!m_control->ZSSLServSend(step.command, reply, step.expected, error))
            return framework::Failure::untranslated(
                error.empty() ? std::string(step.shown) + " refused: " + firstLine(reply) : error);
    }
    return {};
}

DataSession::ProbeAnswer DataSession::probe(Clock::time_point deadline) {
    if (!m_control)
        return ProbeAnswer::Gone;
    std::string error;
    if (!m_control->ZSSLServSendRtInt("NOOP \r\n", error))
        return ProbeAnswer::Gone;
    // Replies of an earlier transfer may still be queued: read up to ten, all before the
    // deadline, before giving the connection up.
    for (int i = 0; i < kProbeReplies; ++i) {
        std::string reply;
        if (!m_control->readReply(reply, error, deadline))
            return ProbeAnswer::Gone;
        if (contains(reply, "200 NOOP ok."))
            return ProbeAnswer::Alive;
        if (contains(reply, "421 Timeout."))
            return ProbeAnswer::Gone;
        if (i + 1 < kProbeReplies && Clock::now() + kProbeRetryWait < deadline)
            std::this_thread::sleep_for(kProbeRetryWait);
    }
    return ProbeAnswer::Gone;
}

bool DataSession::ProbeDataSession(const std::string& remotePath, const std::function<void()>& operation) {
    log("サーバー接続_" + remotePath);
    if (probe(Clock::now() + m_config.timeouts.reply) == ProbeAnswer::Alive) {
        operation();
        return true;
    }
    m_sink->status("サーバーと再接続します");
    std::string line = "サーバー再接続_";
    if (ReopenDataSession()) {
        m_sink->status("サーバーと再接続しました");
        log(line + "成功");
        operation();
        return true;
    }
    m_sink->status("サーバーと再接続できません");
    log(line + "失敗");
    return false;
}

SocketConnection DataSession::OpenDataChannel() {
    if (!m_control) {
        m_lastError = "data channel: not connected";
        return {};
    }
    std::string error;
    SocketConnection data = m_control->SSL_SendPASV(error);
    if (!data.isOpen())
        m_lastError = "data channel: " + error;
    return data;
}

framework::Result<std::unique_ptr<TlsConnection>> DataSession::startDataTls(SocketConnection socket) {
    TlsConnection* control = m_control->tls();
    // With TLS 1.3 the resumable session arrives in a ticket after the handshake; make sure it
    // has been read before it is offered.
    if (!control->sessionResumable())
        m_control->absorbPending();
    auto data = std::make_unique<TlsConnection>(std::move(socket));
    std::string error;
    if (!data->handshake(m_tls->get(), m_control->host(), control->session(),
                         Clock::now() + m_config.timeouts.connect, m_config.cancel, error))
        return framework::Failure::untranslated(error);
    return data;
}

framework::Result<std::string> DataSession::ListRemote(const std::string& directory,
                                                       const std::string& file) {
    SocketConnection socket = OpenDataChannel();
    if (!socket.isOpen())
        return framework::Failure::untranslated(m_lastError);
    std::string path = file.empty() ? directory : directory + "/" + file;
    std::string reply, error;
    if (!m_control->ZSSLServSend("LIST " + path + "\r\n", reply, "150", error))
        return failed("LIST " + path + ": " + (error.empty() ? firstLine(reply) : error));
    log("LIST_OK");
    auto secured = startDataTls(std::move(socket));
    std::unique_ptr<TlsConnection> data = secured ? std::move(*secured) : nullptr;
    if (!secured)
        error = secured.english();
    std::string listing;
    bool complete = false;
    if (data) {
        std::string piece(kListPiece, '\0');
        for (;;) {
            long n = data->readSome(piece.data(), piece.size(), Clock::now() + m_config.timeouts.dataIdle,
                                    m_config.cancel, error);
            if (n == 0) {
                complete = true;
                break;
            }
            if (n < 0)
                break;
            if (listing.size() + static_cast<std::size_t>(n) > kMaxListingBytes) {
                error = "listing larger than 16 MiB";
                break;
            }
            listing.append(piece.data(), static_cast<std::size_t>(n));
        }
        data->shutdown();
    }
    data.reset();
    std::string done;
    std::string replyError;
    if (m_control->readReply(done, replyError))
        log(firstLine(done));
    // A listing is used only when the server says it sent all of it: a partial listing would
    // make the mirror delete files the server still has.
    if (!complete || done.rfind("226", 0) != 0)
        return failed("LIST " + path + ": " +
                      (error.empty() ? (replyError.empty() ? firstLine(done) : replyError) : error));
    return listing;
}

framework::Result<> DataSession::RetrieveRemoteFile(const std::string& remotePath, std::FILE* out,
                                                    std::uint64_t listedSize, BatchProgress& batch) {
    SocketConnection socket = OpenDataChannel();
    if (!socket.isOpen())
        return framework::Failure::untranslated(m_lastError);
    std::string reply, error;
    if (!m_control->ZSSLServSend("RETR " + remotePath + "\r\n", reply, "150", error))
        return failed("RETR " + remotePath + ": " + (error.empty() ? firstLine(reply) : error));
    auto secured = startDataTls(std::move(socket));
    std::unique_ptr<TlsConnection> data = secured ? std::move(*secured) : nullptr;
    if (!secured)
        error = secured.english();
    std::uint64_t received = 0;
    bool ended = false; // the server closed the data stream (the normal end)
    if (data) {
        std::string piece(kFilePiece, '\0');
        auto idleDeadline = Clock::now() + m_config.timeouts.dataIdle;
        int socketError = 0;
        while (received <= listedSize) {
            long n = framework::ZSSLServReadByte(*data, piece.data(), piece.size(), socketError);
            if (n == 0 && socketError == EWOULDBLOCK) {
                auto wait = framework::waitForSocket(data->fd(), false,
                                                     std::min(idleDeadline, Clock::now() + kWouldBlockWait),
                                                     m_config.cancel);
                if (wait == framework::WaitResult::Cancelled || Clock::now() >= idleDeadline) {
                    error = "no data for " + std::to_string(m_config.timeouts.dataIdle.count()) + " ms";
                    break;
                }
                continue;
            }
            if (n == 0 && socketError == 0) {
                ended = true;
                break;
            }
            if (n == 0) {
                error = "ダウンロード受信中にエラーが発生しました。error=" + std::to_string(socketError);
                break;
            }
            idleDeadline = Clock::now() + m_config.timeouts.dataIdle;
            if (std::fwrite(piece.data(), 1, static_cast<std::size_t>(n), out) !=
                static_cast<std::size_t>(n)) {
                error = "write failed";
                break;
            }
            received += static_cast<std::uint64_t>(n);
            batch.received += static_cast<std::uint64_t>(n);
            int percent = batch.total ? static_cast<int>(static_cast<double>(batch.received) /
                                                         static_cast<double>(batch.total) * 100.0)
                                      : 100;
            m_sink->status("ダウンロード中" + std::to_string(percent) + "％");
            m_sink->percent(percent);
        }
        if (ended)
            data->shutdown();
    }
    data.reset();
    std::string done, replyError;
    bool completed = m_control->readReply(done, replyError) && done.rfind("226", 0) == 0;
    if (!error.empty())
        log(error);
    if (ended && completed && received == listedSize)
        return {};
    return failed("RETR " + remotePath + ": " +
                  (!error.empty()
                       ? error
                       : "received " + std::to_string(received) + " of " + std::to_string(listedSize) +
                             " bytes" + (done.empty() ? "" : ", " + firstLine(done))));
}

void DataSession::CloseDataSession() {
    if (!m_control)
        return;
    auto deadline = Clock::now() + std::min(kCloseWait, m_config.timeouts.reply);
    if (probe(deadline) == ProbeAnswer::Alive) {
        std::string reply, error;
        if (m_control->ZSSLServSendRtInt("QUIT \r\n", error))
            m_control->readReply(reply, error, deadline); // "221"; nothing depends on it
        m_control->tls()->shutdown();
    }
    m_control.reset();
}

} // namespace tavora::acquisition
