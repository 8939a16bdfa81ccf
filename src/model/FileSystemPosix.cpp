// The file-system layer on POSIX systems (Linux first).
#include "model/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <deque>

namespace qm {

void FileDescriptor::Close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
}

namespace os {

namespace {

constexpr long kUsualNameMax = 255;
constexpr int kMostLinksFollowed = 40;  // as the system itself gives up (ELOOP)

ssize_t SystemWrite(int descriptor, const void* data, std::size_t size) {
    return ::write(descriptor, data, size);
}

WriteFunction writeFunction = &SystemWrite;

std::error_code LastError() {
    return {errno, std::generic_category()};
}

std::error_code ErrorOf(std::errc code) {
    return std::make_error_code(code);
}

FileStatus StatusFrom(const struct stat& status) {
    FileStatus result;
    if (S_ISREG(status.st_mode))
        result.kind = FileKind::Regular;
    else if (S_ISDIR(status.st_mode))
        result.kind = FileKind::Folder;
    else if (S_ISLNK(status.st_mode))
        result.kind = FileKind::Link;
    else
        result.kind = FileKind::Other;
    result.size = static_cast<std::uint64_t>(status.st_size);
    result.device = static_cast<std::uint64_t>(status.st_dev);
    result.inode = static_cast<std::uint64_t>(status.st_ino);
    result.permissions = status.st_mode & 0777;
    result.sticky = (status.st_mode & S_ISVTX) != 0;
    result.ownedByUser = status.st_uid == ::geteuid();
    return result;
}

FileDescriptor OpenChecked(int descriptor, std::error_code& error) {
    error = descriptor < 0 ? LastError() : std::error_code();
    return FileDescriptor(descriptor);
}

// The components of a relative path, in order.
void PushComponents(std::deque<std::string>& components, std::string_view path) {
    std::deque<std::string> parts;
    for (std::size_t from = 0; from <= path.size();) {
        const auto slash = std::min(path.find('/', from), path.size());
        parts.emplace_back(path.substr(from, slash - from));
        from = slash + 1;
    }
    components.insert(components.begin(), parts.begin(), parts.end());
}

}  // namespace

FileDescriptor OpenFolder(const std::filesystem::path& path, std::error_code& error) {
    return OpenChecked(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), error);
}

FileDescriptor OpenForReading(const std::filesystem::path& path, std::error_code& error) {
    return OpenChecked(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK), error);
}

FileDescriptor OpenBelow(const FileDescriptor& folder, std::string_view relative,
                         const std::filesystem::path& folderPath, std::error_code& error) {
    error.clear();
    if (relative.starts_with('/')) {
        error = ErrorOf(std::errc::cross_device_link);
        return {};
    }
    // The folders opened on the way down; the last one is where the next name is looked
    // up. ".." takes one off, and never the folder itself.
    std::vector<FileDescriptor> way;
    const auto here = [&]() -> const FileDescriptor& { return way.empty() ? folder : way.back(); };
    std::deque<std::string> rest;
    PushComponents(rest, relative);
    const auto prefix = folderPath.string() + "/";
    int links = 0;
    while (!rest.empty()) {
        const auto name = std::move(rest.front());
        rest.pop_front();
        if (name.empty() || name == ".") {
            if (rest.empty()) return OpenChecked(::openat(here().Get(), ".", O_RDONLY | O_CLOEXEC), error);
            continue;
        }
        if (name == "..") {
            if (way.empty()) {
                error = ErrorOf(std::errc::cross_device_link);
                return {};
            }
            way.pop_back();
            if (rest.empty()) return OpenChecked(::openat(here().Get(), ".", O_RDONLY | O_CLOEXEC), error);
            continue;
        }
        const bool last = rest.empty();
        const int flags = last ? O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC
                               : O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        FileDescriptor opened(::openat(here().Get(), name.c_str(), flags));
        if (opened.IsOpen()) {
            if (last) return opened;
            way.push_back(std::move(opened));
            continue;
        }
        const int reason = errno;
        if (reason != ELOOP && reason != ENOTDIR) {
            error = {reason, std::generic_category()};
            return {};
        }
        // A link (or no folder where one is needed): read it and go on from its text.
        // Should it change between the open and the read, the next round sees it anew.
        std::error_code linkError;
        const auto target = ReadLinkAt(here(), name, linkError);
        if (++links > kMostLinksFollowed) {
            error = ErrorOf(std::errc::too_many_symbolic_link_levels);
            return {};
        }
        if (linkError == std::errc::invalid_argument) {  // no link (any more)
            if (reason == ENOTDIR) {
                error = {reason, std::generic_category()};
                return {};
            }
            rest.push_front(name);
            continue;
        }
        if (linkError) {
            error = linkError;
            return {};
        }
        if (target.starts_with('/')) {
            if (!target.starts_with(prefix)) {
                error = ErrorOf(std::errc::cross_device_link);
                return {};
            }
            way.clear();
            PushComponents(rest, std::string_view(target).substr(prefix.size()));
        } else {
            PushComponents(rest, target);
        }
    }
    return OpenChecked(::openat(here().Get(), ".", O_RDONLY | O_CLOEXEC), error);
}

FileDescriptor OpenEntry(const FileDescriptor& folder, const std::string& name, std::error_code& error) {
    return OpenChecked(::openat(folder.Get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC),
                       error);
}

FileDescriptor CreateNewFile(const FileDescriptor& folder, const std::string& name, std::error_code& error) {
    return OpenChecked(::openat(folder.Get(), name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666),
                       error);
}

FileDescriptor StandardOutput() {
    return FileDescriptor(STDOUT_FILENO);
}

FileStatus StatusOf(const FileDescriptor& file, std::error_code& error) {
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) {
        error = LastError();
        return {};
    }
    error.clear();
    return StatusFrom(status);
}

FileStatus StatusAt(const FileDescriptor& folder, const std::string& name, std::error_code& error) {
    struct stat status {};
    if (::fstatat(folder.Get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        error = LastError();
        return {};
    }
    error.clear();
    return StatusFrom(status);
}

std::string ReadLinkAt(const FileDescriptor& folder, const std::string& name, std::error_code& error) {
    std::string text(256, '\0');
    for (;;) {
        const auto length = ::readlinkat(folder.Get(), name.c_str(), text.data(), text.size());
        if (length < 0) {
            error = LastError();
            return {};
        }
        if (static_cast<std::size_t>(length) < text.size()) {
            text.resize(static_cast<std::size_t>(length));
            error.clear();
            return text;
        }
        text.resize(text.size() * 2);
    }
}

long LongestNameIn(const FileDescriptor& folder) {
    const long most = ::fpathconf(folder.Get(), _PC_NAME_MAX);
    return most > 0 ? most : kUsualNameMax;
}

std::vector<std::string> NamesIn(const FileDescriptor& folder) {
    std::vector<std::string> names;
    const int listing = ::openat(folder.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return names;
    DIR* entries = ::fdopendir(listing);
    if (!entries) {
        ::close(listing);
        return names;
    }
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(entries);
    return names;
}

bool MayWrite(const FileDescriptor& folder, const std::string& name) {
    return ::faccessat(folder.Get(), name.c_str(), W_OK, AT_EACCESS) == 0 || errno != EACCES;
}

ReplaceRefusal CheckReplaceable(const FileDescriptor& folder, const FileStatus& folderStatus, const std::string& name) {
#if defined(STATX_ATTR_IMMUTABLE)
    struct statx entry {};
    if (::statx(folder.Get(), name.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &entry) != 0)
        return ReplaceRefusal::None;  // missing: the rename makes it
    const auto marked = [&entry](std::uint64_t attribute) {
        return (entry.stx_attributes_mask & attribute) != 0 && (entry.stx_attributes & attribute) != 0;
    };
    if (marked(STATX_ATTR_IMMUTABLE)) return ReplaceRefusal::Immutable;
    if (marked(STATX_ATTR_APPEND)) return ReplaceRefusal::AppendOnly;
#if defined(STATX_ATTR_MOUNT_ROOT)
    if (marked(STATX_ATTR_MOUNT_ROOT)) return ReplaceRefusal::MountPoint;
#endif
    const bool ownEntry = entry.stx_uid == ::geteuid();
#else
    struct stat entry {};
    if (::fstatat(folder.Get(), name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) return ReplaceRefusal::None;
    const bool ownEntry = entry.st_uid == ::geteuid();
#endif
    if (folderStatus.sticky && !ownEntry && !folderStatus.ownedByUser && ::geteuid() != 0)
        return ReplaceRefusal::OwnerOnly;
    return ReplaceRefusal::None;
}

std::ptrdiff_t Read(const FileDescriptor& file, char* data, std::size_t size, std::error_code& error) {
    for (;;) {
        const auto got = ::read(file.Get(), data, size);
        if (got < 0 && errno == EINTR) continue;
        error = got < 0 ? LastError() : std::error_code();
        return got;
    }
}

std::ptrdiff_t ReadAt(const FileDescriptor& file, char* data, std::size_t size, std::uint64_t offset,
                      std::error_code& error) {
    for (;;) {
        const auto got = ::pread(file.Get(), data, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        error = got < 0 ? LastError() : std::error_code();
        return got;
    }
}

void WriteAll(const FileDescriptor& file, std::string_view data, std::error_code& error) {
    error.clear();
    while (!data.empty()) {
        errno = 0;
        const auto written = writeFunction(file.Get(), data.data(), data.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            error = {written < 0 && errno ? errno : EIO, std::generic_category()};
            return;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
}

void SetPermissions(const FileDescriptor& file, unsigned permissions) {
    ::fchmod(file.Get(), static_cast<mode_t>(permissions));
}

void StartWriteback(const FileDescriptor& file, std::uint64_t offset, std::uint64_t length) {
#if defined(__linux__)
    ::sync_file_range(file.Get(), static_cast<off_t>(offset), static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE);
#else
    (void)file, (void)offset, (void)length;
#endif
}

void Flush(const FileDescriptor& fileOrFolder, std::error_code& error) {
    error = ::fsync(fileOrFolder.Get()) == 0 || errno == EINVAL ? std::error_code() : LastError();
}

void Close(FileDescriptor& file, std::error_code& error) {
    error.clear();
    const int descriptor = file.Release();
    if (descriptor >= 0 && ::close(descriptor) != 0 && errno != EINTR) error = LastError();
}

void Rename(const FileDescriptor& folder, const std::string& from, const std::string& to, std::error_code& error) {
    error = ::renameat(folder.Get(), from.c_str(), folder.Get(), to.c_str()) == 0 ? std::error_code() : LastError();
}

void Remove(const FileDescriptor& folder, const std::string& name, std::error_code& error) {
    error = ::unlinkat(folder.Get(), name.c_str(), 0) == 0 ? std::error_code() : LastError();
}

LockResult TryLock(const FileDescriptor& fileOrFolder) {
    if (::flock(fileOrFolder.Get(), LOCK_EX | LOCK_NB) == 0) return LockResult::Taken;
    return errno == EWOULDBLOCK ? LockResult::HeldElsewhere : LockResult::Taken;
}

WriteFunction SetWriteFunctionForTesting(WriteFunction write) {
    const auto previous = writeFunction;
    writeFunction = write ? write : &SystemWrite;
    return previous;
}

}  // namespace os
}  // namespace qm
