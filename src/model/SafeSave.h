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
// Temporary files have short names of their own (".quillamere-tmp-" and a counter), so
// any name a folder can hold can be saved, and they are locked while their save
// lives: the next save into a folder removes those that a crashed save left behind.

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>

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
    void Copy(FileId file, int sourceDescriptor);
    // Renames the written files over their targets in the order they were added, then
    // flushes their folders. Throws qm::Error naming the target whose rename failed
    // ("cannot replace the file: ..."); the files renamed before it stay new.
    void Commit();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// One file, saved as a set of one; a link of the user's own is followed.
void SaveFileSafely(const std::filesystem::path& target, std::string_view content);

// True for the names this program gives its temporary files (also those of earlier
// versions: "." + target name + ".tmp-" + two numbers).
bool IsTemporaryFileName(std::string_view name);

// For tests only: the function that writes into a temporary file (write(2) unless
// replaced), so that a failing write (a full disk) can be faked where no small file
// system can be mounted. nullptr restores write(2); returns the previous function.
using SafeSaveWriteFunction = ssize_t (*)(int descriptor, const void* data, std::size_t size);
SafeSaveWriteFunction SetSafeSaveWriteFunctionForTesting(SafeSaveWriteFunction write);

}  // namespace qm
