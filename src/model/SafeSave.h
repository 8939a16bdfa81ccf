#pragma once
// The one way the program puts a file on disk: the text goes into a temporary file in
// the target's folder, which replaces the target only once everything is written. On
// any failure the temporary file is removed and the target stays exactly as it was.

#include <filesystem>
#include <string_view>

namespace qm {

// Throws qm::Error naming the target and the system's reason.
void SaveFileSafely(const std::filesystem::path& target, std::string_view content);

}  // namespace qm
