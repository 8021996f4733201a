#include "support/NginxServer.h"

#include "support/VsftpdServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tavora::test {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDailyFolder = "/kabu.plus/csv/japan-all-stock-prices/daily/";

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// A text inside nginx's double quotes.
std::string nginxQuoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\' || c == '$')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string authLines(const fs::path& dir) {
    return "            auth_basic \"kabu.plus\";\n            auth_basic_user_file " +
           (dir / "htpasswd").string() + ";\n";
}

void writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

NginxServer::NginxServer(Account account) : m_account(std::move(account)) {
    m_prepared = prepare();
}

NginxServer::~NginxServer() {
    stop();
    m_peerStop = true;
    if (m_peer.joinable())
        m_peer.join();
    if (m_peerFd >= 0)
        ::close(m_peerFd);
}

bool NginxServer::prepare() {
    if (::access("/usr/sbin/nginx", X_OK) != 0) {
        m_problem = "nginx is not installed (scripts/install-deps installs nginx-light)";
        return false;
    }
    const fs::path dir = m_dir.path();
    ::chmod(dir.c_str(), 0755); // nginx's workers (nobody) must reach the tree
    for (const char* sub : {"logs", "tmp", "www"})
        fs::create_directories(dir / sub);
    ::chmod((dir / "www").c_str(), 0755);
    if (!makeTestCertificate(dir)) {
        m_problem = "openssl could not make a test certificate";
        return false;
    }
    if (!run("cd '" + dir.string() + "' && printf '%s:%s\\n' '" + m_account.user +
             "' \"$(openssl passwd -apr1 '" + m_account.password + "')\" > htpasswd && chmod 644 htpasswd")) {
        m_problem = "openssl could not write the password file";
        return false;
    }
    return true;
}

void NginxServer::setReply(const std::string& remotePath, int status, const std::string& text) {
    m_replies[remotePath] = {status, text};
}

void NginxServer::setTruncated(const std::string& remotePath, const std::string& sent,
                               std::size_t announced) {
    m_truncated[remotePath] =
        "HTTP/1.1 200 OK\r\nContent-Type: text/csv\r\nContent-Length: " + std::to_string(announced) +
        "\r\nConnection: close\r\n\r\n" + sent;
}

void NginxServer::setRateLimit(const std::string& remotePath, std::size_t bytesPerSecond) {
    m_rateLimits[remotePath] = bytesPerSecond;
}

void NginxServer::putFile(const std::string& remotePath, const std::string& bytes) const {
    const fs::path www = m_dir.path() / "www";
    const fs::path path = www / fs::path(remotePath).relative_path();
    fs::create_directories(path.parent_path());
    for (fs::path p = path.parent_path(); p != www; p = p.parent_path())
        ::chmod(p.c_str(), 0755);
    writeFile(path, bytes);
    ::chmod(path.c_str(), 0644);
}

void NginxServer::writeConfig() const {
    const fs::path dir = m_dir.path();
    std::ofstream conf(dir / "nginx.conf", std::ios::trunc);
    conf << "daemon off;\nmaster_process on;\nworker_processes 1;\n"
         << "pid " << (dir / "nginx.pid").string() << ";\n"
         << "error_log " << (dir / "logs/error.log").string() << " notice;\n"
         << "events { worker_connections 64; }\n"
         << "http {\n"
         << "    log_format tavora '$request $status $http_user_agent $connection';\n"
         << "    access_log " << (dir / "logs/access.log").string() << " tavora;\n";
    for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        conf << "    " << temp << "_temp_path " << (dir / "tmp" / temp).string() << ";\n";
    conf << "    types { text/csv csv; text/plain txt; }\n    default_type application/octet-stream;\n"
         << "    server {\n"
         << "        listen 127.0.0.1:" << m_port << " ssl;\n        server_name localhost;\n"
         << "        ssl_certificate " << (dir / "cert.pem").string() << ";\n"
         << "        ssl_certificate_key " << (dir / "key.pem").string() << ";\n"
         << "        ssl_protocols TLSv1.2 TLSv1.3;\n"
         << "        root " << (dir / "www").string() << ";\n"
         << "        location " << kDailyFolder << " {\n"
         << authLines(dir) << "        }\n";
    for (const auto& [path, reply] : m_replies)
        conf << "        location = " << path << " {\n"
             << authLines(dir) << "            default_type text/plain;\n"
             << "            return " << reply.status << " " << nginxQuoted(reply.text) << ";\n        }\n";
    for (const auto& entry : m_truncated)
        conf << "        location = " << entry.first << " {\n"
             << authLines(dir) << "            proxy_pass http://127.0.0.1:" << m_peerPort << ";\n"
             << "            proxy_buffering off;\n        }\n";
    for (const auto& [path, rate] : m_rateLimits)
        conf << "        location = " << path << " {\n"
             << authLines(dir) << "            limit_rate " << rate << ";\n        }\n";
    conf << "        location / { return 404; }\n    }\n}\n";
}

bool NginxServer::start() {
    if (!m_prepared)
        return false;
    if (!m_truncated.empty() && m_peerFd < 0) {
        m_peerFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof sa;
        if (::bind(m_peerFd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
            ::listen(m_peerFd, 8) != 0 ||
            ::getsockname(m_peerFd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
            m_problem = "the truncating peer could not listen";
            return false;
        }
        m_peerPort = ntohs(sa.sin_port);
        m_peer = std::thread([this] { serveTruncated(); });
    }
    const fs::path dir = m_dir.path();
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (m_port == 0 || attempt > 0)
            m_port = freeLoopbackPort();
        writeConfig();
        const std::string out = (dir / "logs/stdout.txt").string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            const int null = ::open("/dev/null", O_RDONLY);
            ::dup2(null, 0);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            ::setpgid(0, 0);
            ::execl("/usr/sbin/nginx", "nginx", "-p", dir.c_str(), "-c", (dir / "nginx.conf").c_str(), "-e",
                    (dir / "logs/error.log").c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (pid < 0)
            break;
        if (waitUntilListening(pid, m_port)) {
            m_pid = pid;
            m_problem.clear();
            return true;
        }
        m_problem = "nginx did not start: " + readFile(dir / "logs/error.log") + readFile(out);
    }
    return false;
}

void NginxServer::stop() {
    if (m_pid <= 0)
        return;
    // The master and its worker share the process group set up in start().
    ::kill(-m_pid, SIGQUIT);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (::waitpid(m_pid, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            ::kill(-m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(-m_pid, SIGKILL); // a worker still finishing a request
    m_pid = -1;
}

std::string NginxServer::accessLog() const {
    return readFile(m_dir.path() / "logs/access.log");
}

void NginxServer::serveTruncated() {
    while (!m_peerStop) {
        pollfd pfd{m_peerFd, POLLIN, 0};
        if (::poll(&pfd, 1, 50) <= 0)
            continue;
        const int fd = ::accept4(m_peerFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::string request;
        char buf[2048];
        while (request.find("\r\n\r\n") == std::string::npos) {
            pollfd in{fd, POLLIN, 0};
            if (::poll(&in, 1, 2000) <= 0)
                break;
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            request.append(buf, static_cast<std::size_t>(n));
        }
        // "GET /path HTTP/1.0"
        const auto from = request.find(' ') + 1;
        const std::string path = request.substr(from, request.find(' ', from) - from);
        if (auto it = m_truncated.find(path); it != m_truncated.end())
            writeAll(fd, it->second);
        else
            writeAll(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        ::close(fd); // before the announced length: the body is cut short
    }
}

} // namespace tavora::test
