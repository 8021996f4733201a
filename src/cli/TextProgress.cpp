#include "cli/TextProgress.h"

#include "framework/ShownText.h"

#include <unistd.h>

#include <iostream>

namespace tavora::cli {

TextProgress::TextProgress(bool verbose) : m_verbose(verbose), m_tty(::isatty(STDERR_FILENO) == 1) {}

void TextProgress::status(const std::string& text) {
    if (text.empty()) {
        endLine();
        m_last.clear();
        return;
    }
    if (m_tty) {
        std::cerr << "\r\033[K" << framework::shownLine(text) << std::flush;
        m_open = true;
    } else if (text != m_last) {
        std::cerr << framework::shownLine(text) << "\n";
    }
    m_last = text;
}

void TextProgress::logLine(const std::string& line) {
    if (!m_verbose)
        return;
    endLine();
    std::cerr << "log: " << framework::shownLine(line) << "\n";
}

void TextProgress::endLine() {
    if (m_open)
        std::cerr << "\n";
    m_open = false;
}

} // namespace tavora::cli
