#pragma once
// Reading the program's text files. Files are UTF-8 today; files that earlier Windows
// versions wrote are Windows-1252. A file that is valid UTF-8 is read as UTF-8 (a
// leading byte-order mark is skipped), any other file as Windows-1252. Ctrl+Z (byte 26)
// ends the file; lines may end in CR LF or LF alone.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qm {

class TextFile {
public:
    // Reads and decodes the whole file. Throws qm::Error naming the file and the
    // system's reason when it cannot be opened or read.
    static TextFile Read(const std::filesystem::path& path);
    // Decodes bytes already in memory, as Read does.
    static TextFile FromBytes(std::string bytes);

    std::size_t LineCount() const { return lines_.size(); }
    // Line i (0-based), without its end-of-line mark. Valid while this object lives.
    std::string_view Line(std::size_t i) const {
        return std::string_view(text_).substr(lines_[i].first, lines_[i].second);
    }
    bool IsEmpty() const { return lines_.empty(); }
    // True when the bytes were not valid UTF-8 and were read as Windows-1252.
    bool WasWindows1252() const { return windows1252_; }

private:
    std::string text_;  // UTF-8, perhaps after a byte-order mark that no line includes
    std::vector<std::pair<std::size_t, std::size_t>> lines_;  // offset, length
    bool windows1252_ = false;
};

bool IsValidUtf8(std::string_view bytes);
std::string Windows1252ToUtf8(std::string_view bytes);

// The user-visible form of a path in messages: as given, in UTF-8.
std::string DisplayPath(const std::filesystem::path& path);

}  // namespace qm
