#pragma once
// The one way the program puts files on disk. A save holds one file or a set of files
// (a publish). Each new content goes into a temporary file in its target's folder,
// which is flushed to the disk; only when every file of the save is written are they
// renamed over their targets, one after the other, and the folder is flushed too. A
// crash or a power cut therefore leaves every target old or new, never empty or half
// written, and a set mixed only when it falls between the renames. On any failure
// before the renames the temporary files are removed and every target stays exactly as
// it was.
//
// The renames of a save happen under its folders' commit locks, so that two saves into
// one folder (two publishers) commit one after the other and never leave a mixed set.
// The lock is tied to the process: a killed holder releases it, and a stopped one makes
// a later save fail after a bounded wait instead of blocking it for ever. Under the
// lock, before the first rename, every target is checked once more that it can be
// replaced (not immutable, not another user's in a sticky folder, no mount point), so
// that a set is replaced whole or not at all.
//
// Temporary files have names of their own: ".quillamere-tmp-" and 16 random hex
// digits, created exclusively (a name that exists, also a planted link, is passed over
// for another), so no name planted in a shared folder can block or redirect a save.
// They are locked while their save lives: the next save into a folder removes those of
// the user's own that a crashed save left behind, and nothing else.

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>

#include "model/FileDescriptor.h"

namespace qm {

// What a save does with a symbolic link that stands where a target is to be written.
enum class LinkAtTarget {
    // The link is replaced by the new regular file; the file it points to is never
    // written (a link planted in a shared folder cannot redirect the save).
    Replace,
    // A link owned by the user running the program is followed: the file it points to
    // is updated and the link stays. A link of anyone else is replaced.
    FollowOwnLink,
};

class SafeSave {
public:
    using FileId = std::size_t;

    SafeSave();
    // Removes the temporary files of a save that was not committed.
    ~SafeSave();
    SafeSave(const SafeSave&) = delete;
    SafeSave& operator=(const SafeSave&) = delete;

    // Adds a target and checks it, writing nothing yet. Throws qm::Error naming the
    // target: "cannot write the file: " with "the name is longer than 255 bytes" (the
    // folder's limit), "the name holds a NUL byte", "it is a folder" or the system's
    // reason when the folder cannot be opened; "cannot replace the file: it is
    // read-only" for a file without write permission. The first target in a folder
    // removes the temporary files that crashed saves left there.
    FileId Add(const std::filesystem::path& target, LinkAtTarget links = LinkAtTarget::Replace);
    // The new content of a target, into its temporary file, flushed to the disk. A
    // replaced file's permissions are kept. Throws qm::Error naming the target with the
    // system's reason ("cannot write the file: No space left on device").
    void Write(FileId file, std::string_view content);
    // The same content written in parts as it is made, so that a large one is never
    // held whole: Begin, Append as often as needed, End (which flushes it to the disk as
    // Write does). Throws as Write does; a failure removes the temporary file. Append
    // or End without a content being written throws ("cannot write the file: no new
    // content is being written"). A content begun and not completed (not ended, or
    // failed in Write, Append, End or Copy) keeps the whole save from being committed:
    // Commit refuses it ("cannot replace the file: its new content is not complete")
    // before renaming anything.
    void Begin(FileId file);
    void Append(FileId file, std::string_view part);
    void End(FileId file);
    // A copy of an open regular file as the new content of a target. The copy has the
    // source's permission bits, and its owner may write it so that the next save can
    // replace it. Throws as Write does.
    void Copy(FileId file, const FileDescriptor& source);
    void Copy(FileId file, int sourceDescriptor);
    // Takes the commit lock of every folder of the save (waiting a bounded time for a
    // save that holds one), checks that every target can still be replaced, then
    // renames the written files over their targets in the order they were added and
    // flushes their folders. Throws qm::Error, renaming nothing, naming the folder whose
    // lock stays held ("cannot save into the folder: another save into it has not
    // finished") or the target that cannot be replaced ("cannot replace the file: it is
    // marked immutable"); naming the target whose rename failed all the same ("cannot
    // replace the file: ..."), when the files renamed before it stay new.
    void Commit();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// One file, saved as a set of one; a link of the user's own is followed.
void SaveFileSafely(const std::filesystem::path& target, std::string_view content);

// True for the names this program gives its temporary files: the prefix with 16 hex
// digits, or with a counter as the previous version named them. Letter case counts.
bool IsTemporaryFileName(std::string_view name);

// The commit lock of a folder, held while the object lives: saves into the folder
// wait for it (a bounded time) before they rename anything. Throws as Commit does when
// the folder cannot be opened or another holds its lock.
class FolderCommitLock {
public:
    explicit FolderCommitLock(const std::filesystem::path& folder);
    ~FolderCommitLock();
    FolderCommitLock(const FolderCommitLock&) = delete;
    FolderCommitLock& operator=(const FolderCommitLock&) = delete;

private:
    FileDescriptor lock_;
};

// How long a commit waits for a folder's lock that another save holds: 10 seconds,
// far beyond the renames of any set.
inline constexpr std::chrono::milliseconds kCommitLockWait{10'000};

// For tests only: the function that writes into a temporary file (write(2) unless
// replaced), so that a failing write (a full disk) can be faked where no small file
// system can be mounted. nullptr restores write(2); returns the previous function.
using SafeSaveWriteFunction = ssize_t (*)(int descriptor, const void* data, std::size_t size);
SafeSaveWriteFunction SetSafeSaveWriteFunctionForTesting(SafeSaveWriteFunction write);
// For tests only: how long a commit waits for a folder's lock (kCommitLockWait unless
// replaced); returns the previous wait.
std::chrono::milliseconds SetCommitLockWaitForTesting(std::chrono::milliseconds wait);

}  // namespace qm
