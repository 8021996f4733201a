#pragma once
// The entries of an FTP directory listing in the Unix "ls -l" form that vsftpd sends:
//   -rw-r--r--    1 0        0              50 Dec 09 23:32 20261208.csv
//   drwxr-xr-x    2 0        0            4096 Dec 09 23:32 marketday
//   -rw-r--r--    1 0        0               8 Jan 15  2025 data.csv
// Times are UTC. Pure functions; any thread.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace tavora::framework {

struct FtpFileElement {
    std::string name;
    bool isDirectory = false;
    std::string sizeText;     // decimal digits as listed
    std::int64_t mtime = 0;   // seconds since 1970 (UTC)
    bool needsUpdate = false; // set by whoever decides what to fetch

    std::uint64_t size() const;
};

using FtpFileList = std::vector<FtpFileElement>;

// Parses the listing. Entries that show a time of day instead of a year take the year of now,
// or the year before when that would put them more than a day after now. Lines that are not
// plain files or directories (links, totals), and entries whose names are not safe as a local
// file name (see isSafeRemoteName), are left out; rejected, when given, receives those names.
FtpFileList SetFtpFileList(const std::string& listing, std::time_t now,
                           std::vector<std::string>* rejected = nullptr);

// True when name can be used as one local file name: not empty, not "." or "..", and free of
// "/", "\", "..", NUL and other control characters.
bool isSafeRemoteName(const std::string& name);

} // namespace tavora::framework
