#pragma once
// The one way the program puts a file on disk: the text goes into a temporary file in
// the target's folder, which replaces the target only once everything is written. On
// any failure the temporary file is removed and the target stays exactly as it was.

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace qm {

// Throws qm::Error naming the target and the system's reason. A target that already
// exists keeps its permissions.
void SaveFileSafely(const std::filesystem::path& target, std::string_view content);

// For tests only: the function that writes the content into the temporary file (fwrite
// unless replaced), so that a failing write (a full disk) can be faked where no small
// file system can be mounted. nullptr restores fwrite; returns the previous function.
using SafeSaveWriteFunction = std::size_t (*)(const void* data, std::size_t size, std::size_t count,
                                              std::FILE* file);
SafeSaveWriteFunction SetSafeSaveWriteFunctionForTesting(SafeSaveWriteFunction write);

}  // namespace qm
