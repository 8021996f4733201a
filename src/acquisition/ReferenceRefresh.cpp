#include "acquisition/ReferenceRefresh.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>

namespace tavora::acquisition {

namespace fs = std::filesystem;
using framework::FtpFileElement;
using framework::FtpFileList;

namespace {

const char* const kOthersFiles[] = {"bunkatsudata.csv", "bunseki.csv", "code_info.csv"};

std::string joinLocal(const std::string& dir, const std::string& name) {
    return dir + "/" + name;
}
std::string joinRemote(const std::string& dir, const std::string& name) {
    return dir.empty() || dir.back() != '/' ? dir + "/" + name : dir + name;
}

// Whether a listed entry must be fetched: no local file, another size, or a newer remote time.
bool needsUpdate(const FtpFileElement& entry, const std::string& localPath) {
    struct stat st {};
    if (::stat(localPath.c_str(), &st) != 0)
        return true;
    if (static_cast<std::uint64_t>(st.st_size) != entry.size())
        return true;
    return entry.mtime > static_cast<std::int64_t>(st.st_mtime);
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(path, ec));
}

} // namespace

std::optional<FtpFileList> ReferenceRefresh::listAndParse(const std::string& remoteDir,
                                                          const std::string& file) {
    auto listing = m_session.ListRemote(remoteDir, file);
    if (!listing) {
        m_sink.logLine("LIST失敗_" + listing.english());
        return std::nullopt;
    }
    std::vector<std::string> rejected;
    FtpFileList entries = framework::SetFtpFileList(*listing, std::time(nullptr), &rejected);
    for (const auto& name : rejected)
        m_sink.logLine("不正なファイル名を無視_" + remoteDir + "/" + name);
    return entries;
}

void ReferenceRefresh::MirrorFtpDirectory(const std::string& remoteDir, const std::string& localDir) {
    auto listed = listAndParse(remoteDir, {});
    if (!listed)
        return; // a failed listing leaves the local directory untouched
    FtpFileList& entries = *listed;
    std::set<std::string> names;
    for (const auto& e : entries)
        names.insert(e.name);

    // Local files the server no longer lists go (directories are left alone).
    std::error_code ec;
    for (const auto& local : fs::directory_iterator(localDir, ec)) {
        std::error_code sec;
        if (!fs::is_regular_file(local.symlink_status(sec)))
            continue;
        std::string name = local.path().filename().string();
        if (names.count(name))
            continue;
        if (fs::remove(local.path(), sec)) {
            m_report.deleted.push_back(local.path().string());
            m_sink.logLine("削除_" + local.path().string());
        }
    }

    for (const auto& e : entries) {
        if (!e.isDirectory)
            continue;
        std::string sub = joinLocal(localDir, e.name);
        std::error_code cec;
        fs::create_directory(sub, cec);
        if (!isDirectory(sub)) {
            m_sink.logLine("ディレクトリ作成失敗_" + sub);
            continue;
        }
        MirrorFtpDirectory(joinRemote(remoteDir, e.name), sub);
    }
    updateEntries(remoteDir, localDir, entries);
    finish(remoteDir);
}

void ReferenceRefresh::MirrorFtpFile(const std::string& remoteDir, const std::string& name,
                                     const std::string& localDir) {
    auto entries = listAndParse(remoteDir, name);
    if (!entries)
        return;
    // A listing of one file names only that file; anything else it holds is ignored.
    FtpFileList wanted;
    for (auto& e : *entries)
        if (!e.isDirectory && e.name == name)
            wanted.push_back(std::move(e));
    updateEntries(remoteDir, localDir, wanted);
    finish(remoteDir);
}

void ReferenceRefresh::updateEntries(const std::string& remoteDir, const std::string& localDir,
                                     FtpFileList& entries) {
    BatchProgress batch;
    for (auto& e : entries) {
        if (e.isDirectory)
            continue;
        std::string localPath = joinLocal(localDir, e.name);
        if (isDirectory(localPath)) {
            continue; // never download into a path that is a local directory
        }
        if (!needsUpdate(e, localPath)) {
            m_report.upToDate.push_back(localPath);
            continue;
        }
        e.needsUpdate = true;
        batch.total += e.size();
        m_sink.logLine("needupdata_" + e.name);
    }
    batch.received = 0;
    for (const auto& e : entries)
        if (e.needsUpdate)
            fetch(joinRemote(remoteDir, e.name), joinLocal(localDir, e.name), e.size(), batch);
}

void ReferenceRefresh::fetch(const std::string& remotePath, const std::string& localPath, std::uint64_t size,
                             BatchProgress& batch) {
    std::string partPath = localPath + ".part";
    std::FILE* out = std::fopen(partPath.c_str(), "wb");
    if (!out) {
        m_sink.logLine("ファイル作成失敗_" + partPath + ": " + std::strerror(errno));
        m_report.failed.push_back(localPath);
        return;
    }
    const bool received = m_session.RetrieveRemoteFile(remotePath, out, size, batch).ok();
    bool written = std::fflush(out) == 0 && ::fsync(fileno(out)) == 0;
    written = (std::fclose(out) == 0) && written;
    std::error_code ec;
    if (received && written && fs::file_size(partPath, ec) == size) {
        fs::rename(partPath, localPath, ec);
        if (!ec) {
            m_report.fetched.push_back(localPath);
            return;
        }
    }
    fs::remove(partPath, ec);
    m_sink.logLine("ダウンロード失敗_" + remotePath + ": " + m_session.lastError());
    m_report.failed.push_back(localPath);
}

void ReferenceRefresh::finish(const std::string& remoteDir) {
    m_sink.status("");
    m_sink.percent(0);
    m_sink.logLine("サーバー接続完了_" + remoteDir);
}

void ReferenceRefresh::RefreshReferenceData(const RefreshTargets& targets) {
    auto step = [&](const std::string& remoteDir, const std::function<void()>& operation) {
        if (!m_session.ProbeDataSession(remoteDir, operation))
            m_report.skipped.push_back(remoteDir);
    };
    step("/marketday", [&] { MirrorFtpDirectory("/marketday", targets.marketDayDir); });
    for (const char* name : kOthersFiles) {
        if (std::strcmp(name, "code_info.csv") == 0 && !targets.codeauto)
            continue;
        step("/others", [&] { MirrorFtpFile("/others", name, targets.othersDir); });
    }
}

bool OpenDataSession(DataSession& session, const RefreshTargets& targets, framework::ProgressSink& sink,
                     RefreshReport* report) {
    if (!session.ReopenDataSession())
        return false;
    ReferenceRefresh refresh(session, sink);
    refresh.RefreshReferenceData(targets);
    if (report)
        *report = refresh.report();
    return true;
}

} // namespace tavora::acquisition
