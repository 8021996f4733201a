#include "support/VsftpdServer.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <thread>

namespace tavora::test {

namespace fs = std::filesystem;

namespace {

std::atomic<int> g_serverCount{0};

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

} // namespace

bool loopbackPortAnswers(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    ::close(fd);
    return ok;
}

bool waitUntilListening(pid_t pid, int port) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
        if (loopbackPortAnswers(port))
            return true;
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return false;
}

bool makeTestCertificate(const fs::path& dir) {
    // An EC key: as good for the tests as RSA and generated in a few milliseconds.
    return run("cd " + quoted(dir) +
               " && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -sha256 -days 2"
               " -subj /CN=localhost -addext subjectAltName=DNS:localhost,IP:127.0.0.1"
               " -keyout key.pem -out cert.pem >/dev/null 2>&1 && chmod 600 key.pem");
}

int freeLoopbackPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    socklen_t len = sizeof sa;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
    ::close(fd);
    return ntohs(sa.sin_port);
}

VsftpdServer::VsftpdServer(Options options) : m_options(options) {
    if (prepare())
        start();
}

VsftpdServer::~VsftpdServer() {
    stop();
    if (!m_pamService.empty())
        ::unlink(("/etc/pam.d/" + m_pamService).c_str());
}

bool VsftpdServer::prepare() {
    if (::geteuid() != 0) {
        m_problem = "vsftpd tests need root: they write a PAM service file in /etc/pam.d";
        return false;
    }
    if (::access("/usr/sbin/vsftpd", X_OK) != 0 || !run("command -v db_load >/dev/null 2>&1")) {
        m_problem = "vsftpd or db_load is not installed (scripts/install-deps installs vsftpd and db-util)";
        return false;
    }
    const fs::path dir = m_dir.path();
    ::chmod(dir.c_str(), 0755);
    fs::create_directories(root());
    fs::create_directories(dir / "empty");
    ::chmod(root().c_str(), 0755);
    ::chmod((dir / "empty").c_str(), 0755);
    if (!makeTestCertificate(dir)) {
        m_problem = "openssl could not make a test certificate";
        return false;
    }
    if (!run("cd " + quoted(dir) +
             " && (umask 077; printf '%s\\n%s\\n%s\\n%s\\n' tavoradata \"$(openssl passwd -6 Hd7kRx2N)\""
             " up.tavora \"$(openssl passwd -6 Wm3qTzLp)\" | db_load -T -t hash virtusers.db)")) {
        m_problem = "db_load could not write the virtual users";
        return false;
    }
    m_pamService = "vsftpd-tavoratest-" + std::to_string(::getpid()) + "-" + std::to_string(g_serverCount++);
    {
        std::ofstream pam("/etc/pam.d/" + m_pamService);
        pam << "auth    required pam_userdb.so db=" << (dir / "virtusers").string() << " crypt=crypt\n"
            << "account required pam_userdb.so db=" << (dir / "virtusers").string() << " crypt=crypt\n";
        if (!pam) {
            m_problem = "cannot write /etc/pam.d/" + m_pamService;
            return false;
        }
    }
    std::random_device rd;
    m_pasvMin = 40000 + static_cast<int>(rd() % 200) * 100;
    writeConfig();
    return true;
}

bool VsftpdServer::restart(Options options) {
    stop();
    m_options = options;
    writeConfig();
    return start();
}

void VsftpdServer::writeConfig() {
    const fs::path dir = m_dir.path();
    const int pasvMin = m_pasvMin;
    std::ofstream conf(dir / "vsftpd.conf", std::ios::trunc);
    conf << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nbackground=NO\n"
            "anonymous_enable=NO\nlocal_enable=YES\nwrite_enable=NO\n"
         << "pam_service_name=" << m_pamService << "\n"
         << "guest_enable=YES\nguest_username=ftp\nchroot_local_user=YES\n"
         << "local_root=" << root().string() << "\n"
         << "secure_chroot_dir=" << (dir / "empty").string() << "\n"
         << "seccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\nconnect_from_port_20=NO\n"
         << "pasv_enable=YES\npasv_min_port=" << pasvMin << "\npasv_max_port=" << pasvMin + 99 << "\n"
         << "ssl_enable=YES\nallow_anon_ssl=NO\nforce_local_logins_ssl=YES\nforce_local_data_ssl=YES\n"
         << "require_ssl_reuse=" << (m_options.requireSslReuse ? "YES" : "NO") << "\n"
         << "ssl_ciphers=HIGH\n"
         << "rsa_cert_file=" << (dir / "cert.pem").string() << "\n"
         << "rsa_private_key_file=" << (dir / "key.pem").string() << "\n"
         << "idle_session_timeout=" << m_options.idleSessionTimeout << "\n"
         << "use_localtime=NO\nxferlog_enable=YES\nlog_ftp_protocol=YES\n"
         << "vsftpd_log_file=" << (dir / "vsftpd.log").string() << "\n";
    if (m_options.maxRate > 0)
        conf << "local_max_rate=" << m_options.maxRate << "\n";
}

bool VsftpdServer::start() {
    const fs::path dir = m_dir.path();
    bool fixedPort = m_port != 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        int port = fixedPort ? m_port : freeLoopbackPort();
        std::string conf = (dir / "vsftpd.conf").string();
        std::string portOption = "-olisten_port=" + std::to_string(port);
        std::string err = (dir / "startup.err").string();
        pid_t pid = ::fork();
        if (pid == 0) {
            // vsftpd writes its start-up errors to descriptor 0.
            int fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            ::dup2(fd, 0);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            ::setpgid(0, 0);
            ::execl("/usr/sbin/vsftpd", "vsftpd", conf.c_str(), portOption.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (pid < 0)
            break;
        if (waitUntilListening(pid, port)) {
            m_pid = pid;
            m_port = port;
            m_problem.clear();
            return true;
        }
        std::ifstream in(err);
        std::stringstream ss;
        ss << in.rdbuf();
        m_problem = "vsftpd did not start: " + ss.str();
        if (fixedPort)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::vector<pid_t> VsftpdServer::descendants() const {
    std::multimap<pid_t, pid_t> children;
    if (DIR* proc = ::opendir("/proc")) {
        while (dirent* e = ::readdir(proc)) {
            pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
            if (pid <= 0)
                continue;
            std::ifstream stat("/proc/" + std::string(e->d_name) + "/stat");
            std::string line;
            std::getline(stat, line);
            auto close = line.rfind(')');
            if (close == std::string::npos)
                continue;
            std::istringstream rest(line.substr(close + 2));
            char state;
            pid_t ppid = 0;
            rest >> state >> ppid;
            children.emplace(ppid, pid);
        }
        ::closedir(proc);
    }
    std::vector<pid_t> found;
    std::vector<pid_t> todo{m_pid};
    while (!todo.empty()) {
        pid_t p = todo.back();
        todo.pop_back();
        auto [b, e] = children.equal_range(p);
        for (auto it = b; it != e; ++it) {
            found.push_back(it->second);
            todo.push_back(it->second);
        }
    }
    return found;
}

void VsftpdServer::killSessions() {
    if (m_pid <= 0)
        return;
    for (pid_t p : descendants())
        ::kill(p, SIGKILL);
}

void VsftpdServer::stop() {
    if (m_pid <= 0)
        return;
    auto sessions = descendants();
    ::kill(m_pid, SIGKILL);
    for (pid_t p : sessions)
        ::kill(p, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

void VsftpdServer::putFile(const std::string& remotePath, const std::string& bytes, long long mtime) const {
    fs::path path = root() / fs::path(remotePath).relative_path();
    fs::create_directories(path.parent_path());
    for (fs::path p = path.parent_path(); p != root(); p = p.parent_path())
        ::chmod(p.c_str(), 0755);
    writeFile(path, bytes);
    ::chmod(path.c_str(), 0644);
    if (mtime >= 0) {
        timeval times[2] = {{static_cast<time_t>(mtime), 0}, {static_cast<time_t>(mtime), 0}};
        ::utimes(path.c_str(), times);
    }
}

void VsftpdServer::removeFile(const std::string& remotePath) const {
    std::error_code ec;
    fs::remove(root() / fs::path(remotePath).relative_path(), ec);
}

std::string VsftpdServer::protocolLog() const {
    return readFile(m_dir.path() / "vsftpd.log");
}

} // namespace tavora::test
