#pragma once
// The check for a newer program at start-up: with the update account, list "/update" on the
// reference-data server and name every listed file that the installed program has under the
// same name and whose listed size differs or whose listed time is newer. Runs on its own
// thread; its only effect is the pending-update text it hands to `publish` (the names joined
// by one blank), which the owner stores in a thread-safe holder. stop() ends every wait within
// 100 ms and joins, so exit never hangs on the server.
#include "acquisition/DataSession.h"
#include "framework/FtpFileList.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tavora::acquisition {

// One file of the installed program, by the name the server lists it under.
struct InstalledFile {
    std::string name;
    std::string path;
};

// The executables "tavora" and "tavora-cli" in binDir and the files below binDir/data (the
// bundled data: reference files, calendars, sample prices), those that exist.
std::vector<InstalledFile> installedProgramFiles(const std::string& binDir);

// The names (listing order, joined by one blank) of listed files that an installed file of the
// same name has, with another size or an older modification time.
std::string findUpdatedFiles(const framework::FtpFileList& listed,
                             const std::vector<InstalledFile>& installed);

class UpdateCheck {
public:
    using Publish = std::function<void(const std::string& names)>;

    UpdateCheck(std::shared_ptr<framework::TlsContext> tls, SessionConfig account,
                std::vector<InstalledFile> installed, Publish publish);
    ~UpdateCheck(); // stops and joins
    UpdateCheck(const UpdateCheck&) = delete;
    UpdateCheck& operator=(const UpdateCheck&) = delete;

    void start();
    // Ends the check early (at the next wait) and waits for its thread.
    void stop();
    // Waits until the check has finished on its own.
    void join();
    bool running() const { return m_running.load(); }
    // Why the last check found nothing to say (session or listing failure); empty otherwise.
    // Read only after join() or stop().
    const std::string& lastError() const { return m_lastError; }

private:
    void run();

    std::shared_ptr<framework::TlsContext> m_tls;
    SessionConfig m_account;
    std::vector<InstalledFile> m_installed;
    Publish m_publish;
    framework::CancelFlag m_cancel{false};
    std::atomic<bool> m_running{false};
    std::string m_lastError;
    std::thread m_thread;
};

} // namespace tavora::acquisition
