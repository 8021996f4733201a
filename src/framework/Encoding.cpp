#include "framework/Encoding.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace tavora::framework {

namespace {

// RAII over one iconv descriptor.
class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Appends the conversion of all of `in` to `out` through an open descriptor. On a byte that
// does not convert, `out` keeps what came before it and `bad` and `err` get its offset in `in`
// and the errno of the failure.
bool convertPiece(iconv_t cd, std::string_view in, std::string& out, std::size_t& bad, int& err) {
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = out.size();
    out.resize(used + in.size() * 2 + 16);
    for (;;) {
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        std::size_t rc = srcLeft ? iconv(cd, &src, &srcLeft, &dst, &dstLeft)
                                 : iconv(cd, nullptr, nullptr, &dst, &dstLeft); // flush state
        const int e = errno;
        used = out.size() - dstLeft;
        if (rc != static_cast<std::size_t>(-1)) {
            if (srcLeft == 0)
                break;
            continue;
        }
        if (e == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        out.resize(used);
        bad = in.size() - srcLeft;
        err = e;
        return false;
    }
    out.resize(used);
    return true;
}

EncodingResult failure(std::string_view in, const char* to, const char* from, std::size_t offset, int err) {
    EncodingResult r;
    r.errorOffset = offset;
    r.error = (err == EINVAL ? "incomplete " : "invalid ") + std::string(from) + " text at byte " +
              std::to_string(offset);
    if (err == EILSEQ && std::string_view(from) == "UTF-8")
        r.error = firstInvalidUtf8(in) == std::string::npos
                      ? "a character at byte " + std::to_string(offset) + " has no " + to + " form"
                      : "invalid UTF-8 text at byte " + std::to_string(offset);
    return r;
}

EncodingResult unavailable(const char* to, const char* from) {
    EncodingResult r;
    r.error = std::string("conversion from ") + from + " to " + to + " is not available";
    return r;
}

// Converts all of `in`. With `lossy`, bytes that do not convert become U+FFFD (the target must
// be UTF-8) and one byte is skipped; otherwise the first one ends the conversion with an error.
EncodingResult convert(std::string_view in, const char* to, const char* from, bool lossy = false) {
    Iconv cd(to, from);
    if (!cd.valid())
        return unavailable(to, from);
    EncodingResult r;
    std::size_t at = 0;
    for (;;) {
        std::size_t bad = 0;
        int err = 0;
        if (convertPiece(cd.get(), in.substr(at), r.text, bad, err))
            break;
        if (!lossy)
            return failure(in, to, from, at + bad, err);
        r.text.append(kReplacement);
        at += bad + 1;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr); // reset shift state
        if (at >= in.size())
            break;
    }
    return r;
}

// A CP932 lead byte: the byte after it belongs to the same character, whatever its value.
bool isCp932Lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

} // namespace

EncodingResult ConvSJIStoUTF(std::string_view cp932) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(cp932[i]); };
    const std::size_t n = cp932.size();
    std::size_t i = 0;
    while (i < n && byte(i) < 0x80)
        ++i;
    if (i == n)
        return {std::string(cp932), {}, 0}; // plain ASCII is the same in both
    Iconv cd("UTF-8", "CP932");
    if (!cd.valid())
        return unavailable("UTF-8", "CP932");
    // ASCII bytes stand for themselves; only the runs of other characters go through iconv
    // (most of a price file is ASCII, and iconv takes every character through UCS-4).
    EncodingResult r;
    r.text.reserve(n + n / 2);
    r.text.append(cp932.substr(0, i));
    while (i < n) {
        std::size_t end = i;
        while (end < n && byte(end) >= 0x80)
            end += isCp932Lead(byte(end)) ? 2 : 1;
        end = std::min(end, n);
        std::size_t bad = 0;
        int err = 0;
        if (!convertPiece(cd.get(), cp932.substr(i, end - i), r.text, bad, err))
            return failure(cp932, "UTF-8", "CP932", i + bad, err);
        i = end;
        const std::size_t ascii = i;
        while (i < n && byte(i) < 0x80)
            ++i;
        r.text.append(cp932.substr(ascii, i - ascii));
    }
    return r;
}

EncodingResult ConvUTFtoSJIS(std::string_view utf8) {
    for (unsigned char c : utf8)
        if (c >= 0x80)
            return convert(utf8, "CP932", "UTF-8");
    return {std::string(utf8), {}, 0};
}

EncodingResult ConvUTF16toUTF(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) {
        EncodingResult r;
        r.error = "UTF-16 text has an odd number of bytes";
        r.errorOffset = bytes.size() - 1;
        return r;
    }
    return convert(bytes, "UTF-8", bigEndian ? "UTF-16BE" : "UTF-16LE");
}

EncodingResult decodeUtf16WithBom(std::string_view bytes) {
    if (bytes.size() >= 2) {
        auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
        if (b0 == 0xFF && b1 == 0xFE)
            return ConvUTF16toUTF(bytes.substr(2), false);
        if (b0 == 0xFE && b1 == 0xFF)
            return ConvUTF16toUTF(bytes.substr(2), true);
    }
    return ConvUTF16toUTF(bytes, false);
}

std::size_t firstInvalidUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    std::size_t n = s.size(), i = 0;
    while (i < n) {
        unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0)
                lo = 0xA0; // overlong
            else if (c == 0xED)
                hi = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F; // above U+10FFFF
        } else {
            return i;
        }
        if (i + len > n || p[i + 1] < lo || p[i + 1] > hi)
            return i;
        for (std::size_t k = 2; k < len; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return i;
        i += len;
    }
    return std::string_view::npos;
}

bool isValidUtf8(std::string_view bytes) {
    return firstInvalidUtf8(bytes) == std::string_view::npos;
}

std::string textFromDatabase(std::string_view bytes) {
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return convert(bytes, "UTF-8", "CP932", true).text;
}

} // namespace tavora::framework
