#include "site/SiteFiles.h"

#include <system_error>

#include "model/Error.h"
#include "model/FileSystem.h"
#include "model/TextFile.h"

namespace qm {

std::string ReadFileBytes(const std::filesystem::path& path) {
    // Opened once, and what was opened is checked and read: a name swapped meanwhile
    // for a link or a device changes nothing.
    const auto shown = DisplayPath(path);
    std::error_code error;
    const auto file = os::OpenForReading(path, error);
    if (error) throw Error(shown, 0, "cannot read the file: " + error.message());
    const auto status = os::StatusOf(file, error);
    if (error) throw Error(shown, 0, "cannot read the file: " + error.message());
    if (status.kind != os::FileKind::Regular) throw Error(shown, 0, "this is not a regular file");
    if (status.size > kMaximumFileSize)
        throw Error(shown, 0, "the file is larger than " + std::string(kMaximumFileSizeText));
    std::string bytes(static_cast<std::size_t>(status.size), '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const auto got = os::Read(file, bytes.data() + filled, bytes.size() - filled, error);
        if (got < 0) throw Error(shown, 0, "cannot read the file: " + error.message());
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

}  // namespace qm
