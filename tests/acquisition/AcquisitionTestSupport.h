#pragma once
// Helpers of the reference-data tests: a progress sink that records, and sessions pointed at
// a loopback vsftpd with short timeouts.
#include "acquisition/DataSession.h"
#include "framework/Progress.h"
#include "support/VsftpdServer.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace tavora::test {

class RecordingProgress : public framework::ProgressSink {
public:
    void status(const std::string& text) override { statuses.push_back(text); }
    void percent(int value) override { percents.push_back(value); }
    void logLine(const std::string& line) override { logs.push_back(line); }

    bool logged(const std::string& line) const {
        return std::find(logs.begin(), logs.end(), line) != logs.end();
    }
    bool loggedStartingWith(const std::string& prefix) const {
        return std::any_of(logs.begin(), logs.end(), [&](const auto& l) { return l.rfind(prefix, 0) == 0; });
    }

    std::vector<std::string> statuses;
    std::vector<int> percents;
    std::vector<std::string> logs;
};

// Timeouts short enough for tests that wait on purpose.
inline framework::NetTimeouts shortTimeouts() {
    framework::NetTimeouts t;
    t.connect = framework::Millis(2000);
    t.reply = framework::Millis(3000);
    t.dataIdle = framework::Millis(3000);
    return t;
}

inline acquisition::SessionConfig dataAccount(int port, const std::string& password = "Hd7kRx2N") {
    acquisition::SessionConfig c;
    c.host = "127.0.0.1";
    c.port = std::to_string(port);
    c.user = "tavoradata";
    c.password = password;
    c.timeouts = shortTimeouts();
    return c;
}

inline std::shared_ptr<framework::TlsContext> trustingContext(const std::string& caFile) {
    std::string warning;
    return framework::TlsContext::create(caFile, warning);
}

} // namespace tavora::test
