#pragma once
// How long-running core work reports to whoever shows it: the splash window and status
// bar of the desktop program, or a text progress line in tavora-cli. The core calls it;
// implementations may be called from a worker thread and must marshal to their UI.
#include <string>

namespace tavora::framework {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void status(const std::string& text) = 0;  // a status or splash text
    virtual void percent(int value) = 0;               // 0..100, or -1 to clear
    virtual void logLine(const std::string& line) = 0; // a line for the log
};

// Discards everything; for callers that do not show progress.
class NullProgress : public ProgressSink {
public:
    void status(const std::string&) override {}
    void percent(int) override {}
    void logLine(const std::string&) override {}
};

}  // namespace tavora::framework
