#include "model/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "model/ByteSearch.h"
#include "model/Error.h"
#include "model/FileSystem.h"
#include "model/Utf8.h"

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

// Appends one line of bytes that are not all UTF-8: well-formed sequences as they are,
// every other byte as its Windows-1252 character. Returns how many bytes were such.
std::size_t AppendDecodedLine(std::string& out, std::string_view line) {
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const auto* end = p + line.size();
    std::size_t foreign = 0;
    while (p < end) {
        if (*p < 0x80) {
            out += static_cast<char>(*p++);
        } else if (const auto length = DecodeUtf8Sequence(p, end).length; length > 0) {
            out.append(reinterpret_cast<const char*>(p), length);
            p += length;
        } else {
            AppendUtf8(out, *p < 0xA0 ? kCp1252High[*p - 0x80] : char32_t{*p});
            ++p;
            ++foreign;
        }
    }
    return foreign;
}

Error TooLarge(const std::string& shown) {
    return Error(shown, 0, "cannot read the file: it is larger than " + std::string(kMaximumFileSizeText));
}

}  // namespace

void TextBuffer::Grow(std::size_t capacity) {
    if (capacity <= capacity_) return;
    std::unique_ptr<char[]> larger(new char[capacity]);
    if (size_ > 0) std::memcpy(larger.get(), data_.get(), size_);
    data_ = std::move(larger);
    capacity_ = capacity;
}

LineEnd FindLineEnd(std::string_view text, std::size_t from) {
    const auto at = FindEitherByte(text, from, '\r', '\n');
    if (at == std::string_view::npos) return {text.size(), text.size()};
    if (text[at] == '\n') return {at, at + 1};
    const auto rest = text.substr(at + 1);
    if (rest.starts_with('\n')) return {at, at + 2};
    if (rest.starts_with("\r\n")) return {at, at + 3};
    return {at, at + 1};
}

std::size_t ValidUtf8Prefix(std::string_view bytes) {
    using byte_search::kHighs;
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* p = begin;
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
        const auto length = DecodeUtf8Sequence(p, end).length;
        if (length == 0) break;
        p += length;
    }
    return static_cast<std::size_t>(p - begin);
}

bool IsValidUtf8(std::string_view bytes) {
    return ValidUtf8Prefix(bytes) == bytes.size();
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

TextFile TextFile::Read(const std::filesystem::path& path, const ByteObserver& seen) {
    const auto shown = DisplayPath(path);
    // Opened once, and what was opened is checked and read: a pipe is refused here
    // instead of waiting for a writer, and a name changed meanwhile changes nothing.
    std::error_code error;
    const auto file = os::OpenForReading(path, error);
    if (error) throw Error(shown, 0, "cannot open the file: " + error.message());
    const auto status = os::StatusOf(file, error);
    if (error) throw Error(shown, 0, "cannot read the file: " + error.message());
    if (status.kind == os::FileKind::Folder)
        throw Error(shown, 0, "cannot read the file: " + std::make_error_code(std::errc::is_a_directory).message());
    if (status.kind != os::FileKind::Regular) throw Error(shown, 0, "cannot read the file: it is not a regular file");
    const auto size = status.size;
    if (size > kMaximumFileSize) throw TooLarge(shown);

    // One byte more than the file holds, so that the read that finds its end needs no
    // second buffer. A file that grows while it is read is read on to its end, within
    // the limit.
    TextBuffer bytes(static_cast<std::size_t>(size) + 1);
    constexpr std::size_t kChunk = std::size_t{1} << 20;  // stays in the cache until checked
    std::size_t filled = 0;
    std::size_t checked = 0;  // bytes known to be well-formed UTF-8
    bool utf8 = true;
    for (;;) {
        if (filled == bytes.Capacity()) {
            if (bytes.Capacity() > kMaximumFileSize) throw TooLarge(shown);
            bytes.SetSize(filled);
            bytes.Grow(static_cast<std::size_t>(
                std::min<std::uint64_t>(std::max<std::size_t>(bytes.Capacity() * 2, 1 << 16), kMaximumFileSize + 1)));
        }
        const auto got = os::Read(file, bytes.Data() + filled, std::min(bytes.Capacity() - filled, kChunk), error);
        if (got < 0) throw Error(shown, 0, "cannot read the file: " + error.message());
        if (got == 0) break;
        if (seen) seen(std::string_view(bytes.Data() + filled, static_cast<std::size_t>(got)));
        // While the new bytes are in the cache: Ctrl+Z ends the text, and the UTF-8 check
        // goes on. A sequence cut by the end of the chunk is checked with the next one.
        const auto* eof =
            static_cast<const char*>(std::memchr(bytes.Data() + filled, '\x1A', static_cast<std::size_t>(got)));
        filled = eof ? static_cast<std::size_t>(eof - bytes.Data()) : filled + static_cast<std::size_t>(got);
        if (utf8) {
            checked += ValidUtf8Prefix(std::string_view(bytes.Data() + checked, filled - checked));
            utf8 = filled - checked < 4;
        }
        if (eof) break;
    }
    // The rest of a file that a Ctrl+Z ended, for the observer alone, through the
    // block's free end (never the text).
    if (seen && filled < bytes.Capacity()) {
        for (;;) {
            const auto got = os::Read(file, bytes.Data() + filled, bytes.Capacity() - filled, error);
            if (got < 0) throw Error(shown, 0, "cannot read the file: " + error.message());
            if (got == 0) break;
            seen(std::string_view(bytes.Data() + filled, static_cast<std::size_t>(got)));
        }
    }
    bytes.SetSize(filled);
    return Decode(std::move(bytes), utf8 && checked == filled);
}

TextFile TextFile::FromBytes(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\x1A'));  // Ctrl+Z ends the text
    TextBuffer buffer(bytes.size());
    if (!bytes.empty()) std::memcpy(buffer.Data(), bytes.data(), bytes.size());
    buffer.SetSize(bytes.size());
    return Decode(std::move(buffer), false);
}

TextFile TextFile::Decode(TextBuffer bytes, bool knownUtf8) {
    TextFile file;
    const std::size_t start = bytes.View().starts_with("\xEF\xBB\xBF") ? 3 : 0;
    const auto text = bytes.View().substr(start);
    if (knownUtf8 || IsValidUtf8(text)) {
        file.buffer_ = std::move(bytes);
        file.textStart_ = start;
        return file;
    }
    // Line by line, to say where the bytes that are not UTF-8 stand. Line ends are ASCII,
    // so the lines of the bytes are the lines of the decoded text.
    std::string decoded;
    decoded.reserve(text.size() + text.size() / 8);
    auto& found = file.windows1252_;
    int line = 0;
    for (std::size_t from = 0; from < text.size();) {
        const auto [end, next] = FindLineEnd(text, from);
        ++line;
        if (const auto foreign = AppendDecodedLine(decoded, text.substr(from, end - from)); foreign > 0) {
            found.count += foreign;
            if (found.firstLine == 0) found.firstLine = line;
            ++found.lines;
        }
        decoded.append(text.substr(end, next - end));
        from = next;
    }
    file.buffer_ = TextBuffer(decoded.size());
    std::memcpy(file.buffer_.Data(), decoded.data(), decoded.size());
    file.buffer_.SetSize(decoded.size());
    return file;
}

const std::vector<std::pair<std::size_t, std::size_t>>& TextFile::Index() const {
    if (!indexed_) {
        LineCursor cursor(Text());
        for (std::string_view line; cursor.Next(line);)
            lines_.emplace_back(static_cast<std::size_t>(line.data() - buffer_.Data()), line.size());
        indexed_ = true;
    }
    return lines_;
}

}  // namespace qm
