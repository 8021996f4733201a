#include "acquisition/UpdateCheck.h"

#include <sys/stat.h>

#include <ctime>
#include <filesystem>

namespace tavora::acquisition {

namespace fs = std::filesystem;

std::vector<InstalledFile> installedProgramFiles(const std::string& binDir) {
    std::vector<InstalledFile> files;
    std::error_code ec;
    for (const char* exe : {"tavora", "tavora-cli"}) {
        fs::path p = fs::path(binDir) / exe;
        if (fs::is_regular_file(p, ec))
            files.push_back({exe, p.string()});
    }
    for (const auto& e : fs::recursive_directory_iterator(fs::path(binDir) / "data", ec)) {
        std::error_code fec;
        if (e.is_regular_file(fec))
            files.push_back({e.path().filename().string(), e.path().string()});
    }
    return files;
}

std::string findUpdatedFiles(const framework::FtpFileList& listed,
                             const std::vector<InstalledFile>& installed) {
    std::string names;
    for (const auto& entry : listed) {
        if (entry.isDirectory)
            continue;
        for (const auto& file : installed) {
            if (file.name != entry.name)
                continue;
            struct stat st {};
            if (::stat(file.path.c_str(), &st) != 0)
                break;
            bool differs = static_cast<std::uint64_t>(st.st_size) != entry.size() ||
                           entry.mtime > static_cast<std::int64_t>(st.st_mtime);
            if (differs)
                names += (names.empty() ? "" : " ") + entry.name;
            break;
        }
    }
    return names;
}

UpdateCheck::UpdateCheck(std::shared_ptr<framework::TlsContext> tls, SessionConfig account,
                         std::vector<InstalledFile> installed, Publish publish)
    : m_tls(std::move(tls)), m_account(std::move(account)), m_installed(std::move(installed)),
      m_publish(std::move(publish)) {
    m_account.cancel = &m_cancel;
}

UpdateCheck::~UpdateCheck() {
    stop();
}

void UpdateCheck::start() {
    if (m_thread.joinable())
        return;
    m_cancel = false;
    m_running = true;
    m_thread = std::thread([this] { run(); });
}

void UpdateCheck::stop() {
    m_cancel = true;
    join();
}

void UpdateCheck::join() {
    if (m_thread.joinable())
        m_thread.join();
}

void UpdateCheck::run() {
    DataSession session(m_tls, m_account);
    auto listing = [&]() -> framework::Result<std::string> {
        if (auto opened = session.ReopenDataSession(); !opened)
            return opened.failure();
        return session.ListRemote("/update");
    }();
    if (listing) {
        std::string names =
            findUpdatedFiles(framework::SetFtpFileList(*listing, std::time(nullptr)), m_installed);
        if (!names.empty() && !m_cancel)
            m_publish(names);
    } else {
        m_lastError = listing.english();
    }
    if (!m_cancel)
        session.CloseDataSession();
    m_running = false;
}

} // namespace tavora::acquisition
