#include "framework/Encoding.h"

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

// Converts all of `in`. With `lossy`, bytes that do not convert become U+FFFD (the target must
// be UTF-8) and one byte is skipped; otherwise the first one ends the conversion with an error.
EncodingResult convert(std::string_view in, const char* to, const char* from, bool lossy = false) {
    EncodingResult r;
    Iconv cd(to, from);
    if (!cd.valid()) {
        r.error = std::string("conversion from ") + from + " to " + to + " is not available";
        return r;
    }
    std::string& out = r.text;
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    for (;;) {
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        std::size_t rc = srcLeft ? iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft)
                                 : iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft); // flush state
        int err = errno;
        used = out.size() - dstLeft;
        if (rc != static_cast<std::size_t>(-1)) {
            if (srcLeft == 0)
                break;
            continue;
        }
        if (err == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        std::size_t offset = in.size() - srcLeft;
        if (lossy && srcLeft > 0) {
            out.resize(used);
            out.append(kReplacement);
            used = out.size();
            out.resize(used + srcLeft * 2 + 16);
            ++src;
            --srcLeft;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr); // reset shift state
            continue;
        }
        r.errorOffset = offset;
        r.error = (err == EINVAL ? "incomplete " : "invalid ") + std::string(from) + " text at byte " +
                  std::to_string(offset);
        if (err == EILSEQ && std::string_view(from) == "UTF-8")
            r.error = firstInvalidUtf8(in) == std::string::npos
                          ? "a character at byte " + std::to_string(offset) + " has no " + to + " form"
                          : "invalid UTF-8 text at byte " + std::to_string(offset);
        out.clear();
        return r;
    }
    out.resize(used);
    return r;
}

} // namespace

EncodingResult ConvSJIStoUTF(std::string_view cp932) {
    for (unsigned char c : cp932)
        if (c >= 0x80)
            return convert(cp932, "UTF-8", "CP932");
    return {std::string(cp932), {}, 0}; // plain ASCII is the same in both
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
