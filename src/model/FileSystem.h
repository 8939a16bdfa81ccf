#pragma once
// The file-system calls of the core, and nothing else: opening, reading, writing,
// status, renaming, removing, locking and flushing files and folders. Everything above
// this layer (the safe save, the text reader, publishing) is written against it alone,
// so that another system needs another FileSystem*.cpp and no other change.
//
// Names inside a folder are always taken relative to an open folder, never as a path
// looked up again: what was checked is what is used. Failures are returned as
// std::error_code values of the generic category (their message() is the system's
// reason, "No space left on device"), never thrown.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "model/FileDescriptor.h"

namespace qm::os {

enum class FileKind { Missing, Regular, Folder, Link, Other };

// What the system says of a file, as it was when asked.
struct FileStatus {
    FileKind kind = FileKind::Missing;
    std::uint64_t size = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    unsigned permissions = 0;  // the nine read, write and execute bits
    bool sticky = false;       // a folder in which only an entry's owner may replace it
    bool ownedByUser = false;  // by the user the program runs as

    bool SameFileAs(const FileStatus& other) const { return device == other.device && inode == other.inode; }
    bool HasWriteBit() const { return (permissions & 0222u) != 0; }
};

// --- Opening -------------------------------------------------------------------------

// A folder named by the user (a link on the way is followed).
FileDescriptor OpenFolder(const std::filesystem::path& path, std::error_code& error);
// A file named by the user, for reading: a link is followed, a pipe or a device is
// opened without waiting or taking it as a terminal (the caller refuses it by its
// status).
FileDescriptor OpenForReading(const std::filesystem::path& path, std::error_code& error);
// A file at a relative path below an open folder, for reading. Every component is
// opened relative to the folder before it and no link is followed by the system: a link
// on the way is read and followed here, and only while it stays below the folder (an
// absolute link whose text starts with folderPath counts as relative to it). Errors:
// cross_device_link when the path or a link leads out of the folder, too_many_symbolic_
// link_levels after 40 links, no_such_file_or_directory when something is missing.
FileDescriptor OpenBelow(const FileDescriptor& folder, std::string_view relative,
                         const std::filesystem::path& folderPath, std::error_code& error);
// An entry of a folder, for reading, whatever it is but a link (a link fails with
// too_many_symbolic_link_levels), without waiting.
FileDescriptor OpenEntry(const FileDescriptor& folder, const std::string& name, std::error_code& error);
// A new file in a folder, created by this call and no other (a name that exists, also
// as a link, fails with file_exists), open for reading and writing.
FileDescriptor CreateNewFile(const FileDescriptor& folder, const std::string& name, std::error_code& error);
// The standard output of the process.
FileDescriptor StandardOutput();

// --- Status ----------------------------------------------------------------------------

FileStatus StatusOf(const FileDescriptor& file, std::error_code& error);
// An entry of a folder, not following a link. A missing entry is kind Missing and
// error no_such_file_or_directory.
FileStatus StatusAt(const FileDescriptor& folder, const std::string& name, std::error_code& error);
// What a link in a folder holds.
std::string ReadLinkAt(const FileDescriptor& folder, const std::string& name, std::error_code& error);
// The longest name the folder takes (255 where the system does not say).
long LongestNameIn(const FileDescriptor& folder);
// The names in a folder, "." and ".." left out.
std::vector<std::string> NamesIn(const FileDescriptor& folder);
// Whether the user may write the entry of a folder by its permissions (false only for a
// clear "permission denied").
bool MayWrite(const FileDescriptor& folder, const std::string& name);

// Why an entry of a folder cannot be replaced by a rename although its permissions let
// the user write it, found out before anything is renamed.
enum class ReplaceRefusal {
    None,
    Immutable,         // marked immutable
    AppendOnly,        // marked append-only
    OwnerOnly,         // the folder is sticky and the entry is another user's
    MountPoint,        // another file system is mounted on it
};
ReplaceRefusal CheckReplaceable(const FileDescriptor& folder, const FileStatus& folderStatus, const std::string& name);

// --- Reading and writing ----------------------------------------------------------------

// Reads up to size bytes at the current position, or at offset; returns how many (0 at
// the end), or -1 with error set. An interrupted call is repeated.
std::ptrdiff_t Read(const FileDescriptor& file, char* data, std::size_t size, std::error_code& error);
std::ptrdiff_t ReadAt(const FileDescriptor& file, char* data, std::size_t size, std::uint64_t offset,
                      std::error_code& error);
// Writes all of data, or fails with error set. Goes through the write function tests
// may replace.
void WriteAll(const FileDescriptor& file, std::string_view data, std::error_code& error);
// Sets the permission bits.
void SetPermissions(const FileDescriptor& file, unsigned permissions);
// Asks the disk to start taking bytes [offset, offset + length) now (a hint).
void StartWriteback(const FileDescriptor& file, std::uint64_t offset, std::uint64_t length);
// Waits until the file's content, or a folder's entries, are on the disk. A file system
// that cannot flush a folder does not count as a failure.
void Flush(const FileDescriptor& fileOrFolder, std::error_code& error);
// Closes a file, with the failure the system reports last (a write that did not reach
// the disk of a network file system, for example).
void Close(FileDescriptor& file, std::error_code& error);

// --- Names --------------------------------------------------------------------------

// Renames an entry of a folder over another name of the same folder.
void Rename(const FileDescriptor& folder, const std::string& from, const std::string& to, std::error_code& error);
void Remove(const FileDescriptor& folder, const std::string& name, std::error_code& error);

// --- Locks ------------------------------------------------------------------------------

// Locks tied to the open file and the process: they go when the file is closed or the
// process ends, also when it is killed. A file system without locks grants them.
enum class LockResult { Taken, HeldElsewhere };
LockResult TryLock(const FileDescriptor& fileOrFolder);

// --- For tests --------------------------------------------------------------------------

// The function WriteAll writes with (write(2) unless replaced); nullptr restores it.
// Returns the previous one.
using WriteFunction = ssize_t (*)(int descriptor, const void* data, std::size_t size);
WriteFunction SetWriteFunctionForTesting(WriteFunction write);

}  // namespace qm::os
