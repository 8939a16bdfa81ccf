#include "SafeSave.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <system_error>

#include "Error.h"
#include "TextFile.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

// A name no other writer in the folder uses at the same moment.
fs::path TemporaryNameBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    auto name = target.filename().string();
    name = "." + name + ".tmp-" + std::to_string(stamp % 1000000007) + "-" +
           std::to_string(counter.fetch_add(1));
    return target.parent_path() / name;
}

std::size_t SystemWrite(const void* data, std::size_t size, std::size_t count, std::FILE* file) {
    return std::fwrite(data, size, count, file);
}

SafeSaveWriteFunction writeFunction = &SystemWrite;

}  // namespace

SafeSaveWriteFunction SetSafeSaveWriteFunctionForTesting(SafeSaveWriteFunction write) {
    const auto previous = writeFunction;
    writeFunction = write ? write : &SystemWrite;
    return previous;
}

void SaveFileSafely(const fs::path& givenTarget, std::string_view content) {
    const auto shown = DisplayPath(givenTarget);
    std::error_code ec;
    if (fs::is_directory(givenTarget, ec)) throw Error(shown, 0, "cannot write the file: it is a folder");
    // Saving through a symbolic link updates the file it points to and keeps the link;
    // renaming over the link itself would replace it with a copy.
    fs::path target = givenTarget;
    if (fs::is_symlink(givenTarget, ec)) {
        const auto resolved = fs::weakly_canonical(givenTarget, ec);
        if (!ec) target = resolved;
    }

    const auto temporary = TemporaryNameBeside(target);
    errno = 0;
    // C stdio rather than a stream: fwrite/fflush/fclose report errno, which is what the
    // user needs to see ("No space left on device").
    std::FILE* out = std::fopen(temporary.string().c_str(), "wbx");
    if (!out) throw Error(shown, 0, "cannot write the file: " + SystemReason(errno ? errno : EIO));

    bool written = writeFunction(content.data(), 1, content.size(), out) == content.size();
    int failure = written ? 0 : errno;
    if (std::fflush(out) != 0 && failure == 0) failure = errno ? errno : EIO;
    if (std::fclose(out) != 0 && failure == 0) failure = errno ? errno : EIO;
    if (!written && failure == 0) failure = EIO;
    if (failure != 0) {
        fs::remove(temporary, ec);
        throw Error(shown, 0, "cannot write the file: " + SystemReason(failure));
    }

    // The replacement keeps the permissions of the file it replaces (a private project
    // stays private).
    if (const auto status = fs::status(target, ec); !ec && fs::is_regular_file(status))
        fs::permissions(temporary, status.permissions(), ec);

    fs::rename(temporary, target, ec);
    if (ec) {
        const int reason = ec.value();
        fs::remove(temporary, ec);
        throw Error(shown, 0, "cannot replace the file: " + SystemReason(reason));
    }
}

}  // namespace qm
