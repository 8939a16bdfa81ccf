#include "TextFile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cstdio>

#include "Error.h"

namespace qm {

namespace {

// Windows-1252 bytes 0x80..0x9F; the five bytes the code page leaves undefined map to
// the C1 control of the same value, as Windows itself converts them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence that starts with the non-ASCII byte at
// p, or 0 when there is none (a stray continuation byte, an overlong form, a surrogate,
// a value beyond U+10FFFF, or a sequence cut short by end).
std::size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
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
        return 0;
    }
    if (end - p <= extra) return 0;
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return static_cast<std::size_t>(extra) + 1;
}

constexpr std::uint64_t kHighs = 0x8080808080808080ull;

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        // Most of a file is ASCII: step over it 32 bytes at a time.
        if (end - p >= 32) {
            std::uint64_t words[4];
            std::memcpy(words, p, sizeof words);
            if (((words[0] | words[1] | words[2] | words[3]) & kHighs) == 0) {
                p += 32;
                continue;
            }
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const auto length = Utf8SequenceLength(p, end);
        if (length == 0) return false;
        p += length;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out += ch;
        else if (c < 0xA0)
            AppendUtf8(out, kCp1252High[c - 0x80]);
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::string DisplayPath(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

TextFile TextFile::Read(const std::filesystem::path& path) {
    // C stdio rather than a stream: a stream reading through istreambuf_iterator hides
    // read errors (or throws its own exception type for a folder); fread and ferror
    // report them with errno.
    errno = 0;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) throw Error(DisplayPath(path), 0, "cannot open the file: " + SystemReason(errno ? errno : ENOENT));
    // Straight into the string, at the size the file has now; a file that grows while
    // it is read is read on to its end.
    std::string bytes;
    std::error_code ec;
    std::size_t filled = 0;
    if (const auto size = std::filesystem::file_size(path, ec); !ec) bytes.resize(size);
    errno = 0;
    for (;;) {
        if (filled == bytes.size()) bytes.resize(bytes.size() + (1 << 16));
        const auto got = std::fread(bytes.data() + filled, 1, bytes.size() - filled, in);
        filled += got;
        if (got == 0) break;
    }
    bytes.resize(filled);
    const int failure = std::ferror(in) ? (errno ? errno : EIO) : 0;
    std::fclose(in);
    if (failure != 0) throw Error(DisplayPath(path), 0, "cannot read the file: " + SystemReason(failure));
    return FromBytes(std::move(bytes));
}

TextFile TextFile::FromBytes(std::string bytes) {
    TextFile file;
    // Separate passes, each a tight library loop (memchr), beat one pass that looks for
    // everything at once.
    if (const auto eof = bytes.find('\x1A'); eof != std::string::npos) bytes.resize(eof);
    std::size_t start = std::string_view(bytes).starts_with("\xEF\xBB\xBF") ? 3 : 0;
    if (IsValidUtf8(std::string_view(bytes).substr(start))) {
        file.text_ = std::move(bytes);  // the lines start after the byte-order mark
    } else {
        file.text_ = Windows1252ToUtf8(std::string_view(bytes).substr(start));
        file.windows1252_ = true;
        start = 0;
    }

    const std::string_view text(file.text_);
    file.lines_.reserve(text.size() / 64 + 1);
    while (start < text.size()) {
        auto end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) end = text.size();
        auto length = end - start;
        if (length > 0 && text[start + length - 1] == '\r') --length;
        file.lines_.emplace_back(start, length);
        start = last ? end : end + 1;
    }
    return file;
}

}  // namespace qm
