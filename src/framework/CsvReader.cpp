#include "framework/CsvReader.h"

#include "framework/Encoding.h"
#include "framework/InputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
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

namespace {

// One cell being read: a view into the text while it is one piece, copied into the row's
// scratch space only when pieces must be joined (a doubled quote, text after a closing quote).
class CellText {
public:
    void append(std::string_view part, std::deque<std::string>& scratch) {
        if (part.empty())
            return;
        if (!m_any) {
            m_view = part;
            m_any = true;
            return;
        }
        if (!m_built)
            m_built = &scratch.emplace_back(m_view);
        m_built->append(part);
    }
    std::string_view text() const { return m_built ? std::string_view(*m_built) : m_view; }

private:
    std::string_view m_view;
    std::string* m_built = nullptr;
    bool m_any = false;
};

// The text of the bytes as UTF-8: a view into `bytes` or into `storage`; or the refusal.
std::string decodeCsv(std::string_view bytes, CsvEncoding encoding, std::string& storage,
                      std::string_view& text) {
    switch (encoding) {
    case CsvEncoding::Utf8: {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
            bytes.remove_prefix(3);
        if (std::size_t bad = firstInvalidUtf8(bytes); bad != std::string_view::npos)
            return lineError(bytes, bad, "not valid UTF-8 text");
        text = bytes;
        return {};
    }
    case CsvEncoding::ShiftJis: {
        auto converted = ConvSJIStoUTF(bytes);
        if (!converted
                 .ok()) // 0x0A is never part of a CP932 character, so counting it in the bytes gives the line
            return lineError(bytes, converted.errorOffset, "not valid Shift-JIS (CP932) text");
        storage = std::move(converted.text);
        text = storage;
        return {};
    }
    case CsvEncoding::Utf16: {
        auto converted = decodeUtf16WithBom(bytes);
        if (!converted.ok())
            return "not valid UTF-16 text: " + converted.error;
        storage = std::move(converted.text);
        text = storage;
        return {};
    }
    }
    return "unknown text encoding";
}

// Watches the bytes of a file as they are read for a line too long to be a CSV line, so that
// a file without line breaks (a device, a disk image) is refused after a few megabytes instead
// of being read whole. The bytes are still encoded: a line break is the byte 0x0A or 0x0D in
// every encoding read here (in UTF-16 one byte of the pair), and a line of N encoded bytes
// decodes to at least N / 2 UTF-8 bytes, so twice the text limit never refuses a line the
// decoded text would take.
class RawLineWatch {
public:
    static constexpr std::size_t kLimit = 2 * kMaxCsvLineBytes;

    // False when the chunk ends a line longer than the limit or leaves one open beyond it.
    bool take(std::string_view chunk) {
        for (std::size_t i = 0; i < chunk.size(); ++i) {
            const char c = chunk[i];
            if (c != '\n' && c != '\r')
                continue;
            if (m_open + (i - m_from) > kLimit)
                return false;
            if (c == '\n')
                ++m_breaks;
            m_open = 0;
            m_from = i + 1;
        }
        m_open += chunk.size() - m_from;
        m_from = 0;
        return m_open <= kLimit;
    }
    // The 1-based line that is too long.
    std::size_t line() const { return m_breaks + 1; }

private:
    std::size_t m_open = 0; // bytes of the open line in earlier chunks
    std::size_t m_from = 0; // where the open line starts in the current chunk
    std::size_t m_breaks = 0;
};

// Reads a whole file, refusing one larger than kMaxCsvFileBytes, with a line far beyond
// kMaxCsvLineBytes (as soon as it is seen) or that is no regular file (a FIFO would block);
// the refusal names the path.
std::string readCsvFile(const std::filesystem::path& path, std::string& bytes) {
    auto fail = [&](const std::string& why) { return path.string() + ": " + why; };
    InputFile file;
    if (!file.open(path))
        return fail(file.reason());
    RawLineWatch lines;
    char buf[1 << 16];
    for (;;) {
        const long n = file.read(buf, sizeof buf);
        if (n < 0)
            return fail(file.reason());
        const std::size_t got = static_cast<std::size_t>(n);
        if (!lines.take(std::string_view(buf, got))) {
            bytes.clear();
            bytes.shrink_to_fit();
            return fail("line " + std::to_string(lines.line()) + ": longer than " +
                        std::to_string(kMaxCsvLineBytes) + " bytes");
        }
        if (got == 0)
            break;
        bytes.append(buf, got);
        if (bytes.size() > kMaxCsvFileBytes)
            return fail("larger than " + std::to_string(kMaxCsvFileBytes) + " bytes");
    }
    return {};
}

} // namespace

std::string VisitCsvText(std::string_view t, char sep, std::optional<char> quote,
                         const CsvRowVisitor& visit) {
    if (quote && *quote == sep)
        return "the quote character and the separator must differ";
    if (sep == '\n' || sep == '\r' || (quote && (*quote == '\n' || *quote == '\r')))
        return "a line break cannot be the separator or the quote character";
    if (std::size_t at = findOverlongLine(t); at != std::string_view::npos)
        return lineError(t, at, "longer than " + std::to_string(kMaxCsvLineBytes) + " bytes");
    const bool quoting = quote.has_value();
    const char q = quoting ? *quote : '\0';
    const std::size_t n = t.size();
    std::size_t i = 0;
    bool stops[256] = {};
    stops[static_cast<unsigned char>(sep)] = true;
    stops[static_cast<unsigned char>('\n')] = stops[static_cast<unsigned char>('\r')] = true;
    std::vector<std::string_view> cells;
    std::deque<std::string> scratch;
    static constexpr std::string_view kEmptyRow[1] = {std::string_view()};
    std::size_t pendingEmpty = 0; // empty lines not yet passed on: they are dropped at the end
    std::size_t rowNumber = 0;

    while (i < n) {
        cells.clear();
        scratch.clear();
        const bool emptyLine = t[i] == '\n' || t[i] == '\r';
        for (;;) {
            CellText cell;
            if (quoting && i < n && t[i] == q) {
                const std::size_t opened = i++;
                for (;;) {
                    const std::size_t close = t.find(q, i);
                    if (close == std::string_view::npos)
                        return lineError(t, opened, "quoted field is not closed");
                    cell.append(t.substr(i, close - i), scratch);
                    i = close + 1;
                    if (i < n && t[i] == q) { // a doubled quote is one quote
                        cell.append(t.substr(close, 1), scratch);
                        ++i;
                        continue;
                    }
                    break;
                }
            }
            std::size_t k = i;
            while (k < n && !stops[static_cast<unsigned char>(t[k])])
                ++k;
            cell.append(t.substr(i, k - i), scratch);
            cells.push_back(cell.text());
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
        if (emptyLine) {
            ++pendingEmpty;
            continue;
        }
        for (; pendingEmpty > 0; --pendingEmpty)
            if (!visit(kEmptyRow, ++rowNumber))
                return {};
        if (!visit(cells, ++rowNumber))
            return {};
    }
    return {};
}

CsvResult ParseCsvText(std::string_view t, char sep, std::optional<char> quote) {
    CsvResult result;
    result.rows.reserve(static_cast<std::size_t>(std::count(t.begin(), t.end(), '\n')) + 1);
    result.error = VisitCsvText(t, sep, quote, [&](std::span<const std::string_view> cells, std::size_t) {
        result.rows.emplace_back(cells.begin(), cells.end());
        return true;
    });
    if (!result.ok())
        result.rows.clear();
    return result;
}

std::string VisitCsvBytes(std::string_view bytes, CsvEncoding encoding, char sep, std::optional<char> quote,
                          const CsvRowVisitor& row) {
    std::string storage;
    std::string_view text;
    if (auto error = decodeCsv(bytes, encoding, storage, text); !error.empty())
        return error;
    return VisitCsvText(text, sep, quote, row);
}

std::string ReadCsvFileBytes(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    return readCsvFile(path, bytes);
}

std::string VisitCsvFile(const std::filesystem::path& path, CsvEncoding encoding, char sep,
                         std::optional<char> quote, const CsvRowVisitor& row) {
    std::string bytes;
    if (auto error = readCsvFile(path, bytes); !error.empty())
        return error;
    if (auto error = VisitCsvBytes(bytes, encoding, sep, quote, row); !error.empty())
        return path.string() + ": " + error;
    return {};
}

CsvResult ParseCsvBytes(std::string_view bytes, CsvEncoding encoding, char sep, std::optional<char> quote) {
    std::string storage;
    std::string_view text;
    if (auto error = decodeCsv(bytes, encoding, storage, text); !error.empty()) {
        CsvResult result;
        result.error = std::move(error);
        return result;
    }
    return ParseCsvText(text, sep, quote);
}

CsvResult ParseCsvBytes(std::string_view bytes, std::string_view encoding, char sep,
                        std::optional<char> quote) {
    auto enc = csvEncodingFromName(encoding);
    return enc ? ParseCsvBytes(bytes, *enc, sep, quote) : unknownEncoding(encoding);
}

CsvResult ReadCsvFileInfo(const std::filesystem::path& path, CsvEncoding encoding, char sep,
                          std::optional<char> quote) {
    std::string bytes;
    if (auto error = readCsvFile(path, bytes); !error.empty()) {
        CsvResult result;
        result.error = std::move(error);
        return result;
    }
    CsvResult result = ParseCsvBytes(bytes, encoding, sep, quote);
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
