#include "model/SafeSave.h"

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "model/Error.h"
#include "model/FileSystem.h"
#include "model/TextFile.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryPrefix = ".quillamere-tmp-";
constexpr std::size_t kRandomDigits = 16;
// Random names clash only by chance or by a name planted in the folder; either way the
// next name is another.
constexpr int kMostNamesTried = 64;
constexpr int kMostLinksFollowed = 40;  // as the system itself gives up (ELOOP)
constexpr std::size_t kCopyChunk = 1 << 20;
constexpr std::uint64_t kWritebackStep = 1 << 20;
constexpr std::chrono::milliseconds kLockPause{5};

std::chrono::milliseconds commitLockWait = kCommitLockWait;

bool AllOf(std::string_view text, std::string_view allowed) {
    return !text.empty() && text.find_first_not_of(allowed) == std::string_view::npos;
}

std::string RandomTemporaryName() {
    static constexpr char kHex[] = "0123456789abcdef";
    std::random_device random;
    std::uint64_t bits = (std::uint64_t{random()} << 32) ^ random();
    std::string name(kTemporaryPrefix);
    for (std::size_t i = 0; i < kRandomDigits; ++i, bits >>= 4) name += kHex[bits & 0xF];
    return name;
}

// True when name in folder is still the open file.
bool NameIsFile(const FileDescriptor& folder, const std::string& name, const FileDescriptor& file) {
    std::error_code named, open;
    const auto entry = os::StatusAt(folder, name, named);
    const auto status = os::StatusOf(file, open);
    return !named && !open && entry.SameFileAs(status);
}

// A temporary file whose save is still running is locked; one that a crashed save of
// this user left is not (the lock went with the process), and is removed. Anything
// else (a link, another user's file, a name of another program) stays.
void RemoveStaleTemporaryFiles(const FileDescriptor& folder) {
    for (const auto& name : os::NamesIn(folder)) {
        if (!IsTemporaryFileName(name)) continue;
        std::error_code error;
        const auto file = os::OpenEntry(folder, name, error);
        if (error) continue;
        const auto status = os::StatusOf(file, error);
        if (error || status.kind != os::FileKind::Regular || !status.ownedByUser) continue;
        if (os::TryLock(file) == os::LockResult::Taken && NameIsFile(folder, name, file)) os::Remove(folder, name, error);
    }
}

// The commit lock of an open folder, waited for while another save holds it; it is
// released when the returned descriptor (the folder opened anew) is closed.
FileDescriptor LockForCommit(const FileDescriptor& folder, const std::string& shown) {
    std::error_code error;
    auto lock = os::OpenEntry(folder, ".", error);
    if (error) throw Error(shown, 0, "cannot save into the folder: " + error.message());
    const auto deadline = std::chrono::steady_clock::now() + commitLockWait;
    while (os::TryLock(lock) == os::LockResult::HeldElsewhere) {
        if (std::chrono::steady_clock::now() >= deadline)
            throw Error(shown, 0, "cannot save into the folder: another save into it has not finished");
        std::this_thread::sleep_for(kLockPause);
    }
    return lock;
}

std::string ReplaceRefusalText(os::ReplaceRefusal refusal) {
    switch (refusal) {
    case os::ReplaceRefusal::Immutable: return "it is marked immutable";
    case os::ReplaceRefusal::AppendOnly: return "it is marked append-only";
    case os::ReplaceRefusal::OwnerOnly: return "it belongs to another user and the folder lets only its owner replace it";
    case os::ReplaceRefusal::MountPoint: return "another file system is mounted on it";
    case os::ReplaceRefusal::None: break;
    }
    return {};
}

}  // namespace

struct SafeSave::State {
    struct Folder {
        fs::path path;
        FileDescriptor descriptor;
        os::FileStatus status;
        long nameMax = 255;
    };
    struct Target {
        std::string shown;          // the target as the caller named it
        std::size_t folder = 0;     // into folders
        std::string name;           // within the folder (after following an own link)
        bool replacesFile = false;  // a regular file stands there now
        unsigned keptMode = 0;      // its permissions
        std::string temporary;      // the temporary file's name while it exists
        FileDescriptor file;        // the temporary file, locked
        // Where its new content is: a content begun and never completed (not ended, or
        // failed) keeps the whole save from being committed.
        enum class Content { None, Begun, Complete } content = Content::None;
        std::uint64_t written = 0;       // bytes in the temporary file
        std::uint64_t handedToDisk = 0;  // of those, how many the disk was asked to take
    };

    std::vector<Folder> folders;
    std::vector<Target> targets;

    std::size_t OpenFolder(const fs::path& given, const std::string& shown);
    void CheckReplaceable(const Target& target) const;
    void CreateTemporary(Target& target);
    void WriteAll(Target& target, std::string_view data);
    void StartWriteback(Target& target);
    Target& BeingWritten(FileId file);
    void Finish(Target& target, std::optional<unsigned> mode);
    void Discard(Target& target);
    [[noreturn]] void Fail(Target& target, std::error_code reason);
};

std::size_t SafeSave::State::OpenFolder(const fs::path& given, const std::string& shown) {
    const auto path = given.empty() ? fs::path(".") : given.lexically_normal();
    for (std::size_t i = 0; i < folders.size(); ++i)
        if (folders[i].path == path) return i;
    std::error_code error;
    auto descriptor = os::OpenFolder(path, error);
    if (error) throw Error(shown, 0, "cannot write the file: " + error.message());
    const auto status = os::StatusOf(descriptor, error);
    if (error) throw Error(shown, 0, "cannot write the file: " + error.message());
    RemoveStaleTemporaryFiles(descriptor);
    const long nameMax = os::LongestNameIn(descriptor);
    folders.push_back({path, std::move(descriptor), status, nameMax});
    return folders.size() - 1;
}

void SafeSave::State::CheckReplaceable(const Target& target) const {
    const auto& folder = folders[target.folder];
    std::error_code error;
    if (os::StatusAt(folder.descriptor, target.name, error).kind == os::FileKind::Folder)
        throw Error(target.shown, 0, "cannot write the file: it is a folder");
    if (const auto refusal = os::CheckReplaceable(folder.descriptor, folder.status, target.name);
        refusal != os::ReplaceRefusal::None)
        throw Error(target.shown, 0, "cannot replace the file: " + ReplaceRefusalText(refusal));
}

void SafeSave::State::CreateTemporary(Target& target) {
    target.content = Target::Content::Begun;
    const auto& folder = folders[target.folder].descriptor;
    std::error_code error;
    for (int attempt = 0; attempt < kMostNamesTried; ++attempt) {
        auto name = RandomTemporaryName();
        auto file = os::CreateNewFile(folder, name, error);
        if (error == std::errc::file_exists) continue;
        if (error) throw Error(target.shown, 0, "cannot write the file: " + error.message());
        // Locked at once. A save that cleans the folder at this very moment may have
        // taken the new file for a stale one: then it holds the lock or has removed the
        // name, and another name is taken.
        if (os::TryLock(file) == os::LockResult::HeldElsewhere || !NameIsFile(folder, name, file)) continue;
        target.temporary = std::move(name);
        target.file = std::move(file);
        target.written = target.handedToDisk = 0;
        return;
    }
    throw Error(target.shown, 0, "cannot write the file: " + std::make_error_code(std::errc::file_exists).message());
}

void SafeSave::State::Discard(Target& target) {
    if (target.temporary.empty()) return;
    std::error_code ignored;
    os::Remove(folders[target.folder].descriptor, target.temporary, ignored);
    target.temporary.clear();
    target.file.Close();
}

void SafeSave::State::Fail(Target& target, std::error_code reason) {
    Discard(target);
    throw Error(target.shown, 0, "cannot write the file: " + reason.message());
}

void SafeSave::State::WriteAll(Target& target, std::string_view data) {
    std::error_code error;
    os::WriteAll(target.file, data, error);
    if (error) Fail(target, error);
    target.written += data.size();
}

// A large content is handed to the disk as it is written, not all at once when it is
// flushed: the disk works while the rest is being made, and the flush waits only for
// the last part. (A hint: nothing depends on it but the time.)
void SafeSave::State::StartWriteback(Target& target) {
    if (target.written - target.handedToDisk < kWritebackStep) return;
    os::StartWriteback(target.file, target.handedToDisk, target.written - target.handedToDisk);
    target.handedToDisk = target.written;
}

// The target whose content is begun and can still take parts.
SafeSave::State::Target& SafeSave::State::BeingWritten(FileId file) {
    auto& target = targets.at(file);
    if (target.content != Target::Content::Begun || target.temporary.empty())
        throw Error(target.shown, 0, "cannot write the file: no new content is being written");
    return target;
}

void SafeSave::State::Finish(Target& target, std::optional<unsigned> mode) {
    if (mode) os::SetPermissions(target.file, *mode);
    // On the disk before the rename: a power cut must not leave an empty file in the
    // target's place.
    std::error_code error;
    os::Flush(target.file, error);
    if (error) Fail(target, error);
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

        std::error_code error;
        const auto status = os::StatusAt(folder.descriptor, name, error);
        if (error) {
            if (error != std::errc::no_such_file_or_directory) throw fail("cannot write the file: " + error.message());
            break;  // a new file
        }
        if (status.kind == os::FileKind::Link) {
            const auto pointsTo = fs::path(os::ReadLinkAt(folder.descriptor, name, error));
            if (links == LinkAtTarget::FollowOwnLink && status.ownedByUser && !error && hop < kMostLinksFollowed) {
                path = pointsTo.is_absolute() ? pointsTo : path.parent_path() / pointsTo;
                continue;
            }
            break;  // the link itself is replaced
        }
        if (status.kind == os::FileKind::Folder) throw fail("cannot write the file: it is a folder");
        if (status.kind == os::FileKind::Regular) {
            // Read-only is the owner's word that the file stays as it is; replacing it
            // through the folder would go around that.
            if (!status.HasWriteBit() || !os::MayWrite(folder.descriptor, name))
                throw fail("cannot replace the file: it is read-only");
            target.replacesFile = true;
            target.keptMode = status.permissions;
        }
        break;
    }
    // Found out now, before anything is written, and again before the renames.
    state_->CheckReplaceable(target);
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
    state_->WriteAll(target, part);
    state_->StartWriteback(target);
}

void SafeSave::End(FileId file) {
    auto& target = state_->BeingWritten(file);
    // A new file has the permissions the user's umask gives it (the temporary file was
    // created so); a replaced one keeps its own.
    state_->Finish(target, target.replacesFile ? std::optional<unsigned>(target.keptMode) : std::nullopt);
}

void SafeSave::Copy(FileId file, int sourceDescriptor) {
    // Borrowed, not owned: the caller closes it.
    FileDescriptor source(sourceDescriptor);
    try {
        Copy(file, source);
    } catch (...) {
        source.Release();
        throw;
    }
    source.Release();
}

void SafeSave::Copy(FileId file, const FileDescriptor& source) {
    auto& target = state_->targets.at(file);
    std::error_code error;
    const auto status = os::StatusOf(source, error);
    if (error) throw Error(target.shown, 0, "cannot write the file: " + error.message());
    state_->Discard(target);
    state_->CreateTemporary(target);
    std::vector<char> buffer(kCopyChunk);
    for (std::uint64_t offset = 0;;) {
        const auto got = os::ReadAt(source, buffer.data(), buffer.size(), offset, error);
        if (got < 0) state_->Fail(target, error);
        if (got == 0) break;
        state_->WriteAll(target, std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        state_->StartWriteback(target);
        offset += static_cast<std::uint64_t>(got);
    }
    // Its owner may write the copy, so that the next save can replace it.
    state_->Finish(target, status.permissions | 0200u);
}

void SafeSave::Commit() {
    for (const auto& target : state_->targets)
        if (target.content == State::Target::Content::Begun)
            throw Error(target.shown, 0, "cannot replace the file: its new content is not complete");
    // The folders whose entries change, locked in one order (by identity) that every
    // save follows; the locks go with the descriptors below, whatever happens.
    std::vector<std::size_t> touched;
    for (const auto& target : state_->targets)
        if (!target.temporary.empty() &&
            std::find(touched.begin(), touched.end(), target.folder) == touched.end())
            touched.push_back(target.folder);
    std::sort(touched.begin(), touched.end(), [&](std::size_t a, std::size_t b) {
        const auto& x = state_->folders[a].status;
        const auto& y = state_->folders[b].status;
        return std::pair(x.device, x.inode) < std::pair(y.device, y.inode);
    });
    std::vector<FileDescriptor> locks;
    for (const auto i : touched)
        locks.push_back(LockForCommit(state_->folders[i].descriptor, DisplayPath(state_->folders[i].path)));

    for (const auto& target : state_->targets)
        if (!target.temporary.empty()) state_->CheckReplaceable(target);
    for (auto& target : state_->targets) {
        if (target.temporary.empty()) continue;
        const auto& folder = state_->folders[target.folder].descriptor;
        std::error_code error;
        os::Rename(folder, target.temporary, target.name, error);
        if (error) throw Error(target.shown, 0, "cannot replace the file: " + error.message());
        target.temporary.clear();
        target.file.Close();
        target.content = State::Target::Content::None;
    }
    locks.clear();
    // The renames on the disk too: after a power cut the folder names the new files.
    for (const auto i : touched) {
        std::error_code error;
        os::Flush(state_->folders[i].descriptor, error);
        if (error) throw Error(DisplayPath(state_->folders[i].path), 0, "cannot write the folder: " + error.message());
    }
}

FolderCommitLock::FolderCommitLock(const fs::path& folder) {
    const auto shown = DisplayPath(folder);
    std::error_code error;
    const auto opened = os::OpenFolder(folder, error);
    if (error) throw Error(shown, 0, "cannot save into the folder: " + error.message());
    lock_ = LockForCommit(opened, shown);
}

FolderCommitLock::~FolderCommitLock() = default;

void SaveFileSafely(const fs::path& target, std::string_view content) {
    SafeSave save;
    const auto file = save.Add(target, LinkAtTarget::FollowOwnLink);
    save.Write(file, content);
    save.Commit();
}

bool IsTemporaryFileName(std::string_view name) {
    if (!name.starts_with(kTemporaryPrefix)) return false;
    const auto rest = name.substr(kTemporaryPrefix.size());
    return (rest.size() == kRandomDigits && AllOf(rest, "0123456789abcdef")) || AllOf(rest, "0123456789");
}

SafeSaveWriteFunction SetSafeSaveWriteFunctionForTesting(SafeSaveWriteFunction write) {
    return os::SetWriteFunctionForTesting(write);
}

std::chrono::milliseconds SetCommitLockWaitForTesting(std::chrono::milliseconds wait) {
    return std::exchange(commitLockWait, wait);
}

}  // namespace qm
