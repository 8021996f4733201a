#pragma once
// Reading PDF files back with poppler's command-line tools in the printing tests.
#include <array>
#include <cstdio>
#include <string>

namespace tavora::printing::test {

// Standard output of a shell command.
inline std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer{};
        std::size_t n = 0;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            out.append(buffer.data(), n);
        ::pclose(pipe);
    }
    return out;
}

// What pdfinfo says of a file.
inline std::string pdfInfo(const std::string& pdf) {
    return commandOutput("pdfinfo '" + pdf + "' 2>&1");
}

// The value of a pdfinfo field ("Pages", "Title", "Page size"), blanks trimmed.
inline std::string pdfField(const std::string& info, const std::string& name) {
    const std::string lines = "\n" + info;
    const auto at = lines.find("\n" + name + ":");
    if (at == std::string::npos)
        return {};
    const auto from = lines.find_first_not_of(' ', at + name.size() + 2);
    return lines.substr(from, lines.find('\n', from) - from);
}

// The page count of a PDF file; -1 when it cannot be read.
inline int pdfPages(const std::string& pdf) {
    const std::string pages = pdfField(pdfInfo(pdf), "Pages");
    return pages.empty() ? -1 : std::stoi(pages);
}

// The text of the pages first..last (all when 0), UTF-8.
inline std::string pdfText(const std::string& pdf, int first = 0, int last = 0) {
    const std::string range = first > 0 ? " -f " + std::to_string(first) + " -l " + std::to_string(last) : "";
    return commandOutput("pdftotext -enc UTF-8" + range + " '" + pdf + "' - 2>&1");
}

} // namespace tavora::printing::test
