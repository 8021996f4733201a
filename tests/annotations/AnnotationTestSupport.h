#pragma once
// Rows of annotation elements for the document and history tests.
#include "annotations/GraphCtrlRow.h"
#include "annotations/WorkingDocument.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tavora::annotations::test {

inline GraphCtrlRow elementRow(int id, const std::string& classname = "LineElm",
                               market::ChartPeriod period = market::ChartPeriod::Day,
                               const std::string& code = "7203") {
    GraphCtrlRow row;
    row.id = id;
    row.classname = classname;
    row.kikan = period;
    row.code = code;
    row.date = "2024-03-01";
    row.enddate = "2024-03-08";
    return row;
}

inline GraphCtrlRow deleted(GraphCtrlRow row) {
    row.view_bl = false;
    return row;
}

// The ids of the code's elements shown at the current step (deleted ones left out).
inline std::vector<int> shownIds(const WorkingDocument& doc, const std::string& code = "7203") {
    std::vector<int> ids;
    for (const auto& row : doc.codeState(code))
        if (row.flag(ColViewBl).value_or(false))
            ids.push_back(static_cast<int>(row.integer(ColId).value_or(-1)));
    return ids;
}

// Makes a folder refuse new files while it lives. Root ignores permission bits, so as root the
// folder is made immutable (which root cannot write into either); ok() is false where the file
// system cannot do that.
class LockedFolder {
public:
    explicit LockedFolder(const std::filesystem::path& folder) : m_folder(folder) {
        if (::geteuid() != 0) {
            std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_exec);
            m_ok = true;
            return;
        }
        m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (m_fd >= 0 && ::ioctl(m_fd, FS_IOC_GETFLAGS, &m_flags) == 0) {
            const int locked = m_flags | FS_IMMUTABLE_FL;
            m_ok = ::ioctl(m_fd, FS_IOC_SETFLAGS, &locked) == 0;
        }
    }
    ~LockedFolder() {
        if (m_fd >= 0) {
            if (m_ok)
                ::ioctl(m_fd, FS_IOC_SETFLAGS, &m_flags);
            ::close(m_fd);
        } else if (m_ok) {
            std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all);
        }
    }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;
    bool ok() const { return m_ok; }

private:
    std::filesystem::path m_folder;
    int m_fd = -1;
    int m_flags = 0;
    bool m_ok = false;
};

} // namespace tavora::annotations::test
