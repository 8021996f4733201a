#include "framework/CsvReader.h"

#include "framework/Encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tavora::framework {

namespace {

std::size_t lineOf(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    return 1 +
           static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
}

std::string lineError(std::string_view text, std::size_t offset, const std::string& what) {
    return "line " + std::to_string(lineOf(text, offset)) + ": " + what;
}

// The offset of the first physical line longer than the limit, or npos.
std::size_t findOverlongLine(std::string_view t) {
    std::size_t start = 0;
    while (start < t.size()) {
        const void* hit = std::memchr(t.data() + start, '\n', t.size() - start);
        std::size_t end = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - t.data()) : t.size();
        if (end - start > kMaxCsvLineBytes) {
            // Lone CRs may still split it into short lines.
            std::size_t piece = start;
            for (std::size_t i = start; i <= end; ++i) {
                if (i == end || t[i] == '\r') {
                    if (i - piece > kMaxCsvLineBytes)
                        return piece;
                    piece = i + 1;
                }
            }
        }
        start = end + 1;
    }
    return std::string_view::npos;
}

CsvResult unknownEncoding(std::string_view encoding) {
    CsvResult result;
    result.error = "unknown text encoding \"" + std::string(encoding) + "\"";
    return result;
}

} // namespace

std::optional<CsvEncoding> csvEncodingFromName(std::string_view name) {
    std::string key;
    for (char c : name)
        if (c != '-' && c != '_' && c != ' ')
            key += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (key == "UTF8")
        return CsvEncoding::Utf8;
    if (key == "SHIFTJIS" || key == "SJIS" || key == "CP932")
        return CsvEncoding::ShiftJis;
    if (key == "UTF16")
        return CsvEncoding::Utf16;
    return std::nullopt;
}

CsvResult ParseCsvText(std::string_view t, char sep, std::optional<char> quote) {
    CsvResult result;
    if (quote && *quote == sep) {
        result.error = "the quote character and the separator must differ";
        return result;
    }
    if (sep == '\n' || sep == '\r' || (quote && (*quote == '\n' || *quote == '\r'))) {
        result.error = "a line break cannot be the separator or the quote character";
        return result;
    }
    if (std::size_t at = findOverlongLine(t); at != std::string_view::npos) {
        result.error = lineError(t, at, "longer than " + std::to_string(kMaxCsvLineBytes) + " bytes");
        return result;
    }
    const bool quoting = quote.has_value();
    const char q = quoting ? *quote : '\0';
    const std::size_t n = t.size();
    std::size_t i = 0;
    std::size_t trailingEmpty = 0; // empty lines at the end so far
    bool stops[256] = {};
    stops[static_cast<unsigned char>(sep)] = stops['\n'] = stops['\r'] = true;
    result.rows.reserve(static_cast<std::size_t>(std::count(t.begin(), t.end(), '\n')) + 1);
    std::size_t width = 0; // cells of the previous row, to size the next one

    while (i < n) {
        std::vector<std::string> row;
        row.reserve(width);
        bool emptyLine = t[i] == '\n' || t[i] == '\r';
        for (;;) {
            std::string& cell = row.emplace_back();
            if (quoting && i < n && t[i] == q) {
                std::size_t opened = i++;
                for (;;) {
                    std::size_t close = t.find(q, i);
                    if (close == std::string_view::npos) {
                        result.rows.clear();
                        result.error = lineError(t, opened, "quoted field is not closed");
                        return result;
                    }
                    cell.append(t.substr(i, close - i));
                    i = close + 1;
                    if (i < n && t[i] == q) {
                        cell += q;
                        ++i;
                        continue;
                    }
                    break;
                }
            }
            std::size_t k = i;
            while (k < n && !stops[static_cast<unsigned char>(t[k])])
                ++k;
            cell.append(t.substr(i, k - i));
            i = k;
            if (i < n && t[i] == sep) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n && t[i] == '\r') // CR LF, or a lone CR
            ++i;
        if (i < n && t[i] == '\n')
            ++i;
        trailingEmpty = emptyLine ? trailingEmpty + 1 : 0;
        width = row.size();
        result.rows.push_back(std::move(row));
    }
    result.rows.resize(result.rows.size() - trailingEmpty);
    return result;
}

CsvResult ParseCsvBytes(std::string_view bytes, CsvEncoding encoding, char sep, std::optional<char> quote) {
    CsvResult result;
    switch (encoding) {
    case CsvEncoding::Utf8: {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
            bytes.remove_prefix(3);
        if (std::size_t bad = firstInvalidUtf8(bytes); bad != std::string_view::npos) {
            result.error = lineError(bytes, bad, "not valid UTF-8 text");
            return result;
        }
        return ParseCsvText(bytes, sep, quote);
    }
    case CsvEncoding::ShiftJis: {
        auto text = ConvSJIStoUTF(bytes);
        if (!text.ok()) {
            // 0x0A is never part of a CP932 character, so counting it in the bytes gives the line.
            result.error = lineError(bytes, text.errorOffset, "not valid Shift-JIS (CP932) text");
            return result;
        }
        return ParseCsvText(text.text, sep, quote);
    }
    case CsvEncoding::Utf16: {
        auto text = decodeUtf16WithBom(bytes);
        if (!text.ok()) {
            result.error = "not valid UTF-16 text: " + text.error;
            return result;
        }
        return ParseCsvText(text.text, sep, quote);
    }
    }
    result.error = "unknown text encoding";
    return result;
}

CsvResult ParseCsvBytes(std::string_view bytes, std::string_view encoding, char sep,
                        std::optional<char> quote) {
    auto enc = csvEncodingFromName(encoding);
    return enc ? ParseCsvBytes(bytes, *enc, sep, quote) : unknownEncoding(encoding);
}

CsvResult ReadCsvFileInfo(const std::filesystem::path& path, CsvEncoding encoding, char sep,
                          std::optional<char> quote) {
    CsvResult result;
    auto fail = [&](const std::string& why) {
        result.error = path.string() + ": " + why;
        return result;
    };
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return fail(std::strerror(errno));
    std::string bytes;
    char buf[1 << 16];
    for (;;) {
        std::size_t got = std::fread(buf, 1, sizeof buf, file.get());
        bytes.append(buf, got);
        if (bytes.size() > kMaxCsvFileBytes)
            return fail("larger than " + std::to_string(kMaxCsvFileBytes) + " bytes");
        if (got < sizeof buf)
            break;
    }
    if (std::ferror(file.get()))
        return fail(std::strerror(errno));
    result = ParseCsvBytes(bytes, encoding, sep, quote);
    if (!result.ok())
        result.error = path.string() + ": " + result.error;
    return result;
}

CsvResult ReadCsvFileInfo(const std::filesystem::path& path, std::string_view encoding, char sep,
                          std::optional<char> quote) {
    auto enc = csvEncodingFromName(encoding);
    return enc ? ReadCsvFileInfo(path, *enc, sep, quote) : unknownEncoding(encoding);
}

} // namespace tavora::framework
