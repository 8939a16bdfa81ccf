#include "site/SiteFiles.h"

#include <fstream>
#include <system_error>

#include "model/Error.h"
#include "model/TextFile.h"

namespace qm {

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec) throw Error(DisplayPath(path), 0, "cannot read the file: " + ec.message());
    if (!std::filesystem::is_regular_file(status)) throw Error(DisplayPath(path), 0, "this is not a regular file");
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) throw Error(DisplayPath(path), 0, "cannot read the file: " + ec.message());
    if (size > kMaximumFileSize)
        throw Error(DisplayPath(path), 0, "the file is larger than " + std::string(kMaximumFileSizeText));
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(size)))
        throw Error(DisplayPath(path), 0, "cannot read the file");
    return bytes;
}

}  // namespace qm
