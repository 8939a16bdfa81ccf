#pragma once
// A page's bytes as they lie on disk: a page is rewritten around the menu only, so it
// is read without any decoding.

#include <filesystem>
#include <string>

namespace qm {

// The whole file. Throws qm::Error naming the file when it cannot be opened or read,
// is not a regular file, or is larger than kMaximumFileSize.
std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace qm
