#include "framework/FtpFileList.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstring>
#include <sstream>

namespace tavora::framework {

namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;

int monthIndex(const std::string& text) {
    static const std::array<const char*, 12> names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (std::size_t i = 0; i < names.size(); ++i)
        if (text == names[i])
            return static_cast<int>(i);
    return -1;
}

bool allDigits(const std::string& text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

int toInt(const std::string& text) {
    int value = -1;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::int64_t utcSeconds(int year, int month, int day, int hour, int minute) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    return static_cast<std::int64_t>(timegm(&tm));
}

// Skips spaces and takes the next field; pos is left at the character after it.
bool nextField(const std::string& line, std::size_t& pos, std::string& field) {
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    if (pos >= line.size())
        return false;
    std::size_t end = line.find(' ', pos);
    if (end == std::string::npos)
        end = line.size();
    field = line.substr(pos, end - pos);
    pos = end;
    return true;
}

// Parses one line; false when it is no file or directory entry.
bool parseLine(const std::string& line, std::time_t now, FtpFileElement& entry) {
    std::size_t pos = 0;
    std::string fields[8];
    for (auto& f : fields)
        if (!nextField(line, pos, f))
            return false;
    const std::string& mode = fields[0];
    if (mode.size() != 10 || (mode[0] != '-' && mode[0] != 'd'))
        return false;
    if (!allDigits(fields[4]))
        return false;
    int month = monthIndex(fields[5]);
    int day = allDigits(fields[6]) ? toInt(fields[6]) : -1;
    if (month < 0 || day < 1 || day > 31)
        return false;
    // The name is everything after the one space that follows the time or year field.
    if (pos >= line.size() || line[pos] != ' ')
        return false;
    entry.name = line.substr(pos + 1);
    entry.isDirectory = mode[0] == 'd';
    entry.sizeText = fields[4];
    const std::string& when = fields[7];
    if (when.size() == 5 && when[2] == ':' && allDigits(when.substr(0, 2)) && allDigits(when.substr(3))) {
        int hour = toInt(when.substr(0, 2));
        int minute = toInt(when.substr(3));
        if (hour > 23 || minute > 59)
            return false;
        std::tm nowTm{};
        gmtime_r(&now, &nowTm);
        int year = nowTm.tm_year + 1900;
        entry.mtime = utcSeconds(year, month, day, hour, minute);
        // A time of day is shown for recent files only; if this year would put the entry in
        // the future (beyond a day of clock difference), it is from last year.
        if (entry.mtime > static_cast<std::int64_t>(now) + kDay)
            entry.mtime = utcSeconds(year - 1, month, day, hour, minute);
    } else if (when.size() == 4 && allDigits(when)) {
        entry.mtime = utcSeconds(toInt(when), month, day, 0, 0);
    } else {
        return false;
    }
    return true;
}

} // namespace

std::uint64_t FtpFileElement::size() const {
    std::uint64_t value = 0;
    std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), value);
    return value;
}

bool isSafeRemoteName(const std::string& name) {
    if (name.empty() || name == "." || name.find("..") != std::string::npos)
        return false;
    for (char c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    return true;
}

FtpFileList SetFtpFileList(const std::string& listing, std::time_t now, std::vector<std::string>* rejected) {
    FtpFileList list;
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        std::string line = listing.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        FtpFileElement entry;
        if (!parseLine(line, now, entry))
            continue;
        if (!isSafeRemoteName(entry.name)) {
            if (rejected)
                rejected->push_back(entry.name);
            continue;
        }
        list.push_back(std::move(entry));
    }
    return list;
}

} // namespace tavora::framework
