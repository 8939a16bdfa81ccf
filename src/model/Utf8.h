#pragma once
// Reading and writing single UTF-8 sequences.

#include <cstddef>
#include <string>

namespace qm {

struct Utf8Sequence {
    char32_t codePoint = 0;
    std::size_t length = 0;  // 0: no well-formed sequence
};

// The well-formed UTF-8 sequence that starts with the non-ASCII byte at p, or length 0
// when there is none (a stray continuation byte, an overlong form, a surrogate, a value
// beyond U+10FFFF, or a sequence cut short by end).
inline Utf8Sequence DecodeUtf8Sequence(const unsigned char* p, const unsigned char* end) {
    const unsigned char c = *p;
    int extra;
    char32_t cp;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return {};
    }
    if (end - p <= extra) return {};
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) return {};
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {};
    return {cp, static_cast<std::size_t>(extra) + 1};
}

inline void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace qm
