#pragma once
// The progress of a tavora-cli command on standard error: on a terminal one status line
// rewritten in place, elsewhere one line per new status; log lines only when verbose.
#include "framework/Progress.h"

#include <string>

namespace tavora::cli {

class TextProgress : public framework::ProgressSink {
public:
    explicit TextProgress(bool verbose = false);
    ~TextProgress() override { endLine(); }

    void status(const std::string& text) override;
    void percent(int) override {} // the status texts carry the progress
    void logLine(const std::string& line) override;
    // Ends a line rewritten in place, so that the next output starts on a line of its own.
    void endLine();

private:
    bool m_verbose;
    bool m_tty;
    bool m_open = false;
    std::string m_last;
};

} // namespace tavora::cli
