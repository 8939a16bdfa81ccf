#pragma once
// Reading the program's text files.
//
// Files are UTF-8 today; files that earlier Windows versions wrote are Windows-1252, and
// files edited by hand may mix both. Every well-formed UTF-8 sequence is read as UTF-8
// and only the bytes that are not UTF-8 as Windows-1252, so one stray byte cannot turn
// every "é" of a file into "Ã©"; the reader counts those bytes and says where they are.
// A leading byte-order mark is skipped. Ctrl+Z (byte 26) ends the file.
//
// A line ends with CR LF, LF alone or CR alone. CR CR LF, what a second conversion of
// CR LF ends leaves behind, is one line end too, not a line end and an empty line.
//
// Only regular files are read, and none larger than kMaximumFileSize (1 GiB, far
// beyond any menu): a device such as /dev/zero, a pipe or a larger file is refused
// with a message naming it, before anything is read.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qm {

inline constexpr std::uint64_t kMaximumFileSize = std::uint64_t{1} << 30;
inline constexpr std::string_view kMaximumFileSizeText = "1 GiB";

// A block of text bytes that is not zero-filled before it is written: a file's bytes
// go straight from the system into it.
class TextBuffer {
public:
    TextBuffer() = default;
    explicit TextBuffer(std::size_t capacity)
        : data_(capacity ? new char[capacity] : nullptr), capacity_(capacity) {}

    char* Data() { return data_.get(); }
    const char* Data() const { return data_.get(); }
    std::size_t Capacity() const { return capacity_; }
    std::size_t Size() const { return size_; }
    void SetSize(std::size_t size) { size_ = size; }  // size <= Capacity()
    std::string_view View() const { return {data_.get(), size_}; }
    // A larger block holding the same bytes.
    void Grow(std::size_t capacity);

private:
    std::unique_ptr<char[]> data_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

// Where a line ends: its text runs up to `end`, the next line starts at `next`.
struct LineEnd {
    std::size_t end;
    std::size_t next;
};
// The end of the line that starts at `from` (from < text.size()). An unterminated last
// line ends at the end of the text.
LineEnd FindLineEnd(std::string_view text, std::size_t from);

// Bytes that were not UTF-8 and were read as Windows-1252.
struct Windows1252Bytes {
    std::size_t count = 0;
    int firstLine = 0;  // the first line holding one (1-based), 0 when none
    int lines = 0;      // how many lines hold one
    bool operator==(const Windows1252Bytes&) const = default;
};

class TextFile {
public:
    // Reads and decodes the whole file. Throws qm::Error naming the file and the reason
    // when it cannot be opened or read, is not a regular file or is too large.
    // Every byte of the file as read goes to `seen` too, in order, to the file's end (past
    // a Ctrl+Z): what a caller that remembers the file's content gets without reading it
    // again.
    using ByteObserver = std::function<void(std::string_view)>;
    static TextFile Read(const std::filesystem::path& path, const ByteObserver& seen = {});
    // Decodes bytes already in memory, as Read does.
    static TextFile FromBytes(std::string_view bytes);

    // The decoded text: UTF-8, without the byte-order mark, up to any Ctrl+Z.
    std::string_view Text() const { return buffer_.View().substr(textStart_); }
    bool IsEmpty() const { return Text().empty(); }

    // Lines by number (0-based), without their line ends. The index is made on first
    // use; a reader that goes through the lines once uses LineCursor instead.
    std::size_t LineCount() const { return Index().size(); }
    std::string_view Line(std::size_t i) const {
        const auto& [start, length] = Index()[i];
        return buffer_.View().substr(start, length);
    }

    const Windows1252Bytes& Windows1252() const { return windows1252_; }
    bool WasWindows1252() const { return windows1252_.count > 0; }

    // The buffer that holds Text(), for a document that keeps the text as its storage;
    // the file is empty afterwards. Text() starts at TextStart() in it.
    std::size_t TextStart() const { return textStart_; }
    TextBuffer TakeBuffer() && {
        lines_.clear();
        indexed_ = false;
        textStart_ = 0;
        return std::move(buffer_);
    }

private:
    // Takes the bytes read, already cut at Ctrl+Z: skips a byte-order mark and decodes
    // what is not UTF-8 (knownUtf8: the reader has already checked every byte).
    static TextFile Decode(TextBuffer bytes, bool knownUtf8);
    const std::vector<std::pair<std::size_t, std::size_t>>& Index() const;

    TextBuffer buffer_;
    std::size_t textStart_ = 0;
    Windows1252Bytes windows1252_;
    mutable std::vector<std::pair<std::size_t, std::size_t>> lines_;  // offset, length
    mutable bool indexed_ = false;
};

// Goes through a text's lines once, in order, without an index.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}
    // Makes the next line current and returns true, or returns false at the end.
    bool Next(std::string_view& line) {
        if (next_ >= text_.size()) return false;
        const auto [end, next] = FindLineEnd(text_, next_);
        line = text_.substr(next_, end - next_);
        crLf_ = next - end == 2;
        next_ = next;
        ++number_;
        return true;
    }
    // The current line's number (1-based); 0 before the first.
    int LineNumber() const { return number_; }
    // Whether the current line ended in CR LF.
    bool EndedInCrLf() const { return crLf_; }
    // Where the rest of the text starts; whether nothing is left.
    std::size_t Offset() const { return next_; }
    bool AtEnd() const { return next_ >= text_.size(); }

private:
    std::string_view text_;
    std::size_t next_ = 0;
    int number_ = 0;
    bool crLf_ = false;
};

// The length of the longest prefix of bytes that is well-formed UTF-8.
std::size_t ValidUtf8Prefix(std::string_view bytes);
bool IsValidUtf8(std::string_view bytes);
std::string Windows1252ToUtf8(std::string_view bytes);

// The user-visible form of a path in messages: as given, in UTF-8.
std::string DisplayPath(const std::filesystem::path& path);

}  // namespace qm
