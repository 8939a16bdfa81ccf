#include "model/SafeSave.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "model/Error.h"
#include "model/FileDescriptor.h"
#include "model/TextFile.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryPrefix = ".quillamere-tmp-";
constexpr long kUsualNameMax = 255;
constexpr int kMostLinksFollowed = 40;  // as the system itself gives up (ELOOP)
constexpr std::size_t kCopyChunk = 1 << 20;
constexpr off_t kWritebackStep = 1 << 20;

ssize_t SystemWrite(int descriptor, const void* data, std::size_t size) {
    return ::write(descriptor, data, size);
}

SafeSaveWriteFunction writeFunction = &SystemWrite;

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// True when name in folder is still the file open as descriptor.
bool NameIsFile(int folder, const std::string& name, int descriptor) {
    struct stat named {}, open {};
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(descriptor, &open) == 0 &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

// A temporary file whose save is still running is locked; one that a crashed save left
// is not (the lock went with the process), and is removed.
void RemoveStaleTemporaryFiles(int folder) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* entries = ::fdopendir(listing);
    if (!entries) {
        ::close(listing);
        return;
    }
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(entries))
        if (IsTemporaryFileName(entry->d_name)) stale.emplace_back(entry->d_name);
    ::closedir(entries);
    for (const auto& name : stale) {
        const FileDescriptor file(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat status {};
        if (!file.IsOpen() || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
        if (::flock(file.Get(), LOCK_EX | LOCK_NB) == 0 && NameIsFile(folder, name, file.Get()))
            ::unlinkat(folder, name.c_str(), 0);
    }
}

}  // namespace

struct SafeSave::State {
    struct Folder {
        fs::path path;
        FileDescriptor descriptor;
        long nameMax = kUsualNameMax;
    };
    struct Target {
        std::string shown;          // the target as the caller named it
        std::size_t folder = 0;     // into folders
        std::string name;           // within the folder (after following an own link)
        bool replacesFile = false;  // a regular file stands there now
        mode_t keptMode = 0;        // its permissions
        std::string temporary;      // the temporary file's name while it exists
        FileDescriptor file;        // the temporary file, locked
        // Where its new content is: a content begun and never completed (not ended, or
        // failed) keeps the whole save from being committed.
        enum class Content { None, Begun, Complete } content = Content::None;
        off_t written = 0;          // bytes in the temporary file
        off_t handedToDisk = 0;     // of those, how many the disk was asked to take
    };

    std::vector<Folder> folders;
    std::vector<Target> targets;

    std::size_t OpenFolder(const fs::path& given, const std::string& shown);
    void CreateTemporary(Target& target);
    void WriteAll(Target& target, const char* data, std::size_t size);
    void StartWriteback(Target& target);
    Target& BeingWritten(FileId file);
    void Finish(Target& target, std::optional<mode_t> mode);
    void Discard(Target& target);
    [[noreturn]] void Fail(Target& target, int reason);
};

std::size_t SafeSave::State::OpenFolder(const fs::path& given, const std::string& shown) {
    const auto path = given.empty() ? fs::path(".") : given.lexically_normal();
    for (std::size_t i = 0; i < folders.size(); ++i)
        if (folders[i].path == path) return i;
    FileDescriptor descriptor(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!descriptor.IsOpen()) throw Error(shown, 0, "cannot write the file: " + SystemReason(errno));
    const long nameMax = ::fpathconf(descriptor.Get(), _PC_NAME_MAX);
    RemoveStaleTemporaryFiles(descriptor.Get());
    folders.push_back({path, std::move(descriptor), nameMax > 0 ? nameMax : kUsualNameMax});
    return folders.size() - 1;
}

void SafeSave::State::CreateTemporary(Target& target) {
    static std::atomic<unsigned> counter{0};
    target.content = Target::Content::Begun;
    const int folder = folders[target.folder].descriptor.Get();
    for (int attempt = 0; attempt < 10000; ++attempt) {
        auto name = std::string(kTemporaryPrefix) + std::to_string(counter.fetch_add(1));
        FileDescriptor file(::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!file.IsOpen()) {
            if (errno == EEXIST) continue;
            throw Error(target.shown, 0, "cannot write the file: " + SystemReason(errno));
        }
        // Locked at once. A save that cleans the folder at this very moment may have
        // taken the new file for a stale one: then it holds the lock or has removed the
        // name, and another name is taken. (A file system without locks keeps the file.)
        if (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) continue;
        if (!NameIsFile(folder, name, file.Get())) continue;
        target.temporary = std::move(name);
        target.file = std::move(file);
        target.written = target.handedToDisk = 0;
        return;
    }
    throw Error(target.shown, 0, "cannot write the file: " + SystemReason(EEXIST));
}

void SafeSave::State::Discard(Target& target) {
    if (target.temporary.empty()) return;
    ::unlinkat(folders[target.folder].descriptor.Get(), target.temporary.c_str(), 0);
    target.temporary.clear();
    target.file.Close();
}

void SafeSave::State::Fail(Target& target, int reason) {
    Discard(target);
    throw Error(target.shown, 0, "cannot write the file: " + SystemReason(reason));
}

void SafeSave::State::WriteAll(Target& target, const char* data, std::size_t size) {
    while (size > 0) {
        errno = 0;
        const auto written = writeFunction(target.file.Get(), data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) Fail(target, written < 0 && errno ? errno : EIO);
        data += written;
        size -= static_cast<std::size_t>(written);
        target.written += written;
    }
}

// A large content is handed to the disk as it is written, not all at once when it is
// flushed: the disk works while the rest is being made, and the flush waits only for
// the last part. (A hint: nothing depends on it but the time.)
void SafeSave::State::StartWriteback(Target& target) {
#if defined(__linux__)
    if (target.written - target.handedToDisk < kWritebackStep) return;
    ::sync_file_range(target.file.Get(), target.handedToDisk, target.written - target.handedToDisk,
                      SYNC_FILE_RANGE_WRITE);
    target.handedToDisk = target.written;
#else
    (void)target;
#endif
}

// The target whose content is begun and can still take parts.
SafeSave::State::Target& SafeSave::State::BeingWritten(FileId file) {
    auto& target = targets.at(file);
    if (target.content != Target::Content::Begun || target.temporary.empty())
        throw Error(target.shown, 0, "cannot write the file: no new content is being written");
    return target;
}

void SafeSave::State::Finish(Target& target, std::optional<mode_t> mode) {
    if (mode) ::fchmod(target.file.Get(), *mode);
    // On the disk before the rename: a power cut must not leave an empty file in the
    // target's place.
    if (::fsync(target.file.Get()) != 0) Fail(target, errno);
    target.content = Target::Content::Complete;
}

SafeSave::SafeSave() : state_(std::make_unique<State>()) {}

SafeSave::~SafeSave() {
    for (auto& target : state_->targets) state_->Discard(target);
}

SafeSave::FileId SafeSave::Add(const fs::path& givenTarget, LinkAtTarget links) {
    State::Target target;
    target.shown = DisplayPath(givenTarget);
    const auto fail = [&target](const std::string& reason) { return Error(target.shown, 0, reason); };
    fs::path path = givenTarget;
    for (int hop = 0;; ++hop) {
        const auto name = path.filename().string();
        if (name.empty() || name == "." || name == "..") throw fail("cannot write the file: it is a folder");
        if (name.find('\0') != std::string::npos) throw fail("cannot write the file: the name holds a NUL byte");
        target.folder = state_->OpenFolder(path.parent_path(), target.shown);
        const auto& folder = state_->folders[target.folder];
        if (static_cast<long>(name.size()) > folder.nameMax)
            throw fail("cannot write the file: the name is longer than " + std::to_string(folder.nameMax) + " bytes");
        target.name = name;

        struct stat status {};
        if (::fstatat(folder.descriptor.Get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) throw fail("cannot write the file: " + SystemReason(errno));
            break;  // a new file
        }
        if (S_ISLNK(status.st_mode)) {
            std::error_code ec;
            const auto pointsTo = fs::read_symlink(path, ec);
            if (links == LinkAtTarget::FollowOwnLink && status.st_uid == ::geteuid() && !ec &&
                hop < kMostLinksFollowed) {
                path = pointsTo.is_absolute() ? pointsTo : path.parent_path() / pointsTo;
                continue;
            }
            break;  // the link itself is replaced
        }
        if (S_ISDIR(status.st_mode)) throw fail("cannot write the file: it is a folder");
        if (S_ISREG(status.st_mode)) {
            // Read-only is the owner's word that the file stays as it is; replacing it
            // through the folder would go around that.
            const bool noWriteBit = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
            if (noWriteBit ||
                (::faccessat(folder.descriptor.Get(), name.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES))
                throw fail("cannot replace the file: it is read-only");
            target.replacesFile = true;
            target.keptMode = status.st_mode & 0777;
        }
        break;
    }
    state_->targets.push_back(std::move(target));
    return state_->targets.size() - 1;
}

void SafeSave::Write(FileId file, std::string_view content) {
    Begin(file);
    Append(file, content);
    End(file);
}

void SafeSave::Begin(FileId file) {
    auto& target = state_->targets.at(file);
    state_->Discard(target);
    state_->CreateTemporary(target);
}

void SafeSave::Append(FileId file, std::string_view part) {
    auto& target = state_->BeingWritten(file);
    state_->WriteAll(target, part.data(), part.size());
    state_->StartWriteback(target);
}

void SafeSave::End(FileId file) {
    auto& target = state_->BeingWritten(file);
    // A new file has the permissions the user's umask gives it (the temporary file was
    // created so); a replaced one keeps its own.
    state_->Finish(target, target.replacesFile ? std::optional<mode_t>(target.keptMode) : std::nullopt);
}

void SafeSave::Copy(FileId file, int sourceDescriptor) {
    auto& target = state_->targets.at(file);
    struct stat source {};
    if (::fstat(sourceDescriptor, &source) != 0) throw Error(target.shown, 0, "cannot write the file: " + SystemReason(errno));
    state_->Discard(target);
    state_->CreateTemporary(target);
    std::vector<char> buffer(kCopyChunk);
    for (off_t offset = 0;;) {
        const auto got = ::pread(sourceDescriptor, buffer.data(), buffer.size(), offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) state_->Fail(target, errno);
        if (got == 0) break;
        state_->WriteAll(target, buffer.data(), static_cast<std::size_t>(got));
        state_->StartWriteback(target);
        offset += got;
    }
    state_->Finish(target, (source.st_mode & 0777) | S_IWUSR);
}

void SafeSave::Commit() {
    std::vector<bool> touched(state_->folders.size(), false);
    for (const auto& target : state_->targets)
        if (target.content == State::Target::Content::Begun)
            throw Error(target.shown, 0, "cannot replace the file: its new content is not complete");
    for (auto& target : state_->targets) {
        if (target.temporary.empty()) continue;
        const int folder = state_->folders[target.folder].descriptor.Get();
        if (::renameat(folder, target.temporary.c_str(), folder, target.name.c_str()) != 0)
            throw Error(target.shown, 0, "cannot replace the file: " + SystemReason(errno));
        target.temporary.clear();
        target.file.Close();
        target.content = State::Target::Content::None;
        touched[target.folder] = true;
    }
    // The renames on the disk too: after a power cut the folder names the new files.
    for (std::size_t i = 0; i < touched.size(); ++i) {
        if (!touched[i] || ::fsync(state_->folders[i].descriptor.Get()) == 0 || errno == EINVAL) continue;
        throw Error(DisplayPath(state_->folders[i].path), 0, "cannot write the folder: " + SystemReason(errno));
    }
}

void SaveFileSafely(const fs::path& target, std::string_view content) {
    SafeSave save;
    const auto file = save.Add(target, LinkAtTarget::FollowOwnLink);
    save.Write(file, content);
    save.Commit();
}

bool IsTemporaryFileName(std::string_view name) {
    if (name.starts_with(kTemporaryPrefix)) return AllDigits(name.substr(kTemporaryPrefix.size()));
    // Earlier versions: "." + the target's name + ".tmp-" + a time stamp + "-" + a counter.
    const auto at = name.rfind(".tmp-");
    if (!name.starts_with('.') || at == std::string_view::npos || at < 2) return false;
    const auto numbers = name.substr(at + 5);
    const auto dash = numbers.find('-');
    return dash != std::string_view::npos && AllDigits(numbers.substr(0, dash)) &&
           AllDigits(numbers.substr(dash + 1));
}

SafeSaveWriteFunction SetSafeSaveWriteFunctionForTesting(SafeSaveWriteFunction write) {
    const auto previous = writeFunction;
    writeFunction = write ? write : &SystemWrite;
    return previous;
}

}  // namespace qm
