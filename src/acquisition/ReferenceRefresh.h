#pragma once
// The refresh of the reference files at start-up: mirrors the server's "/marketday" tree and
// three single files of "/others" into the application root, fetching only what is missing or
// out of date and deleting local files the mirrored tree no longer lists. A download goes to
// "NAME.part" and replaces NAME only when complete, so an old copy survives a broken transfer.
// Runs on the thread that owns the session.
#include "acquisition/DataSession.h"
#include "framework/FtpFileList.h"
#include "framework/Progress.h"

#include <optional>
#include <string>
#include <vector>

namespace tavora::acquisition {

// The local places of the refresh and whether the code list is fetched.
struct RefreshTargets {
    std::string marketDayDir; // root/marketday
    std::string othersDir;    // root/others
    bool codeauto = true;     // the setting codeauto_ch: fetch "code_info.csv"
};

// What one refresh did, by local path.
struct RefreshReport {
    std::vector<std::string> fetched;
    std::vector<std::string> deleted;
    std::vector<std::string> upToDate;
    std::vector<std::string> failed;  // flagged for update but not replaced (the old copy stays)
    std::vector<std::string> skipped; // remote steps not run: the server did not answer or re-open
};

class ReferenceRefresh {
public:
    ReferenceRefresh(DataSession& session, framework::ProgressSink& sink)
        : m_session(session), m_sink(sink) {}

    // The four steps in order, each behind the session probe: "/marketday", then
    // "bunkatsudata.csv", "bunseki.csv" and (with codeauto) "code_info.csv" of "/others".
    void RefreshReferenceData(const RefreshTargets& targets);
    // Mirrors remote directory R into local directory L, subdirectories first.
    void MirrorFtpDirectory(const std::string& remoteDir, const std::string& localDir);
    // Refreshes the one file name of remote directory R in local directory L; deletes nothing.
    void MirrorFtpFile(const std::string& remoteDir, const std::string& name, const std::string& localDir);

    const RefreshReport& report() const { return m_report; }

private:
    std::optional<framework::FtpFileList> listAndParse(const std::string& remoteDir, const std::string& file);
    // Flags the entries that need fetching and fetches them; listing order.
    void updateEntries(const std::string& remoteDir, const std::string& localDir,
                       framework::FtpFileList& entries);
    void fetch(const std::string& remotePath, const std::string& localPath, std::uint64_t size,
               BatchProgress& batch);
    void finish(const std::string& remoteDir);

    DataSession& m_session;
    framework::ProgressSink& m_sink;
    RefreshReport m_report;
};

// Opens the session and, when the login succeeded, runs the refresh. False when the session
// could not be opened (the reference files on disk stay as they are).
bool OpenDataSession(DataSession& session, const RefreshTargets& targets, framework::ProgressSink& sink,
                     RefreshReport* report = nullptr);

} // namespace tavora::acquisition
