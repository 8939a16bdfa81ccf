// Saving never destroys the previous file: on every failure the old file stays byte for
// byte, no temporary file is left, and the error names the file and the system's reason.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <optional>

#include "model/Error.h"
#include "model/SafeSave.h"
#include "support/ErrorCheck.h"
#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"
#include "model/TextFile.h"
#include "model/TkvxAppletAgent.h"

namespace qm::test {
namespace {

const std::string kOldBytes = "old project\r\n\xC3\xA9\r\n";

std::vector<std::string> EntriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SafeSave, WritesANewFileExactly) {
    TempFolder folder;
    const std::string content("a\r\n\0b\xE9", 6);
    EXPECT_NO_THROW(SaveFileSafely(folder / "new.zorbel", content));
    EXPECT_EQ(ReadBytes(folder / "new.zorbel"), content);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"new.zorbel"});
}

TEST(SafeSave, ReplacesAnExistingFileAndLeavesNothingBeside) {
    TempFolder folder;
    WriteBytes(folder / "menu.zorbel", kOldBytes);
    EXPECT_NO_THROW(SaveFileSafely(folder / "menu.zorbel", "new"));
    EXPECT_EQ(ReadBytes(folder / "menu.zorbel"), "new");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"menu.zorbel"});
}

TEST(SafeSave, ReplacedFileKeepsItsPermissions) {
    TempFolder folder;
    WriteBytes(folder / "private.zorbel", kOldBytes);
    fs::permissions(folder / "private.zorbel", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_NO_THROW(SaveFileSafely(folder / "private.zorbel", "new"));
    EXPECT_EQ(fs::status(folder / "private.zorbel").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(SafeSave, SavingThroughALinkUpdatesTheLinkedFileAndKeepsTheLink) {
    TempFolder folder;
    fs::create_directory(folder / "real");
    WriteBytes(folder / "real" / "menu.zorbel", kOldBytes);
    fs::create_symlink(fs::path("real") / "menu.zorbel", folder / "link.zorbel");
    EXPECT_NO_THROW(SaveFileSafely(folder / "link.zorbel", "new"));
    EXPECT_TRUE(fs::is_symlink(folder / "link.zorbel"));
    EXPECT_EQ(ReadBytes(folder / "real" / "menu.zorbel"), "new");
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"link.zorbel", "real"}));
    EXPECT_EQ(EntriesOf(folder / "real"), std::vector<std::string>{"menu.zorbel"});
}

TEST(SafeSave, ALinkOfAnotherOwnerIsReplacedNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a link another owner";
    TempFolder folder;
    WriteBytes(folder / "theirs.zorbel", kOldBytes);
    fs::create_symlink(folder / "theirs.zorbel", folder / "link.zorbel");
    ASSERT_EQ(::lchown((folder / "link.zorbel").c_str(), 65534, 65534), 0);
    EXPECT_NO_THROW(SaveFileSafely(folder / "link.zorbel", "new"));
    EXPECT_FALSE(fs::is_symlink(folder / "link.zorbel"));
    EXPECT_EQ(ReadBytes(folder / "link.zorbel"), "new");
    EXPECT_EQ(ReadBytes(folder / "theirs.zorbel"), kOldBytes);
}

TEST(SafeSave, AReadOnlyFileIsNotReplaced) {
    TempFolder folder;
    WriteBytes(folder / "menu.zorbel", kOldBytes);
    fs::permissions(folder / "menu.zorbel", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_QM_ERROR(SaveFileSafely(folder / "menu.zorbel", "new"),
                    DisplayPath(folder / "menu.zorbel") + ": cannot replace the file: it is read-only");
    EXPECT_EQ(ReadBytes(folder / "menu.zorbel"), kOldBytes);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"menu.zorbel"});
}

TEST(SafeSave, TemporaryNamesAreShortAndTheirOwn) {
    for (const auto& [name, temporary] : std::vector<std::pair<std::string, bool>>{
             {".quillamere-tmp-0", true},
             {".quillamere-tmp-123", true},
             {".quillamere-tmp-0123456789abcdef", true},
             {".quillamere-tmp-0123456789ABCDEF", false},
             // Early versions' names, and other programs': never taken for this one's.
             {".menu.html.tmp-98765-3", false},
             {".quillamere-tmp-", false},
             {".quillamere-tmp-1.mp3", false},
             {"menu.html.tmp-1-2", false},
             {".menu.html.tmp-1", false},
             {".tmp-1-2", false},
             {"quillamere-tmp-1", false},
         })
        EXPECT_EQ(IsTemporaryFileName(name), temporary) << name;
}

TEST(SafeSave, FolderThatIsAFileIsReported) {
    TempFolder folder;
    WriteBytes(folder / "plain", kOldBytes);
    const auto target = folder / "plain" / "menu.zorbel";
    EXPECT_QM_ERROR(SaveFileSafely(target, "new"), DisplayPath(target) + ": cannot write the file: Not a directory");
    EXPECT_EQ(ReadBytes(folder / "plain"), kOldBytes);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"plain"});
}

TEST(SafeSave, MissingFolderIsReported) {
    TempFolder folder;
    const auto target = folder / "absent" / "menu.zorbel";
    EXPECT_QM_ERROR(SaveFileSafely(target, "new"),
                    DisplayPath(target) + ": cannot write the file: No such file or directory");
    EXPECT_TRUE(folder.Entries().empty());
}

TEST(SafeSave, TargetThatIsAFolderIsReported) {
    TempFolder folder;
    fs::create_directory(folder / "menu.zorbel");
    EXPECT_QM_ERROR(SaveFileSafely(folder / "menu.zorbel", "new"),
                    DisplayPath(folder / "menu.zorbel") + ": cannot write the file: it is a folder");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"menu.zorbel"});
}

// A folder nobody may write into. Permission bits stop an ordinary user; root ignores
// them, so for root the folder is a memory file system mounted read-only.
TEST(SafeSave, ReadOnlyFolderLeavesTheOldFile) {
    TempFolder folder;
    const auto locked = folder / "locked";
    fs::create_directory(locked);
    std::optional<ScopedMount> mount;
    std::string reason;
    if (::geteuid() != 0) {
        WriteBytes(locked / "menu.zorbel", kOldBytes);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        reason = "Permission denied";
    } else {
        mount.emplace(ScopedMount::Tmpfs(locked, "size=64k"));
        if (!mount->Mounted()) GTEST_SKIP() << "running as root and cannot mount a read-only file system here";
        WriteBytes(locked / "menu.zorbel", kOldBytes);
        ASSERT_TRUE(mount->MakeReadOnly());
        reason = "Read-only file system";
    }
    const auto target = locked / "menu.zorbel";
    EXPECT_QM_ERROR(SaveFileSafely(target, "new content"), DisplayPath(target) + ": cannot write the file: " + reason);
    EXPECT_EQ(ReadBytes(target), kOldBytes);
    EXPECT_EQ(EntriesOf(locked), std::vector<std::string>{"menu.zorbel"});
    if (!mount) fs::permissions(locked, fs::perms::owner_all, fs::perm_options::add);
}

TEST(SafeSave, FullDiskLeavesTheOldFile) {
    TempFolder folder;
    const auto disk = folder / "disk";
    auto mount = ScopedMount::Tmpfs(disk, "size=64k");
    if (!mount.Mounted()) GTEST_SKIP() << "cannot mount a small file system here; FakedFullDisk covers it";
    WriteBytes(disk / "menu.zorbel", kOldBytes);
    const std::string content(1 << 20, 'x');
    const auto target = disk / "menu.zorbel";
    EXPECT_QM_ERROR(SaveFileSafely(target, content),
                    DisplayPath(target) + ": cannot write the file: No space left on device");
    EXPECT_EQ(ReadBytes(target), kOldBytes);
    EXPECT_EQ(EntriesOf(disk), std::vector<std::string>{"menu.zorbel"});
}

// Takes the first half of a file, then the disk is full.
ssize_t HalfThenDiskFull(int descriptor, const void* data, std::size_t size) {
    if (::lseek(descriptor, 0, SEEK_CUR) > 0) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(descriptor, data, (size + 1) / 2);
}

ssize_t EverythingButReportsAnIoError(int, const void*, std::size_t) {
    errno = EIO;
    return -1;
}

class FakedWrite : public ::testing::Test {
protected:
    void TearDown() override { SetSafeSaveWriteFunctionForTesting(nullptr); }
};

TEST_F(FakedWrite, FullDiskLeavesTheOldFile) {
    TempFolder folder;
    WriteBytes(folder / "menu.zorbel", kOldBytes);
    SetSafeSaveWriteFunctionForTesting(&HalfThenDiskFull);
    const auto target = folder / "menu.zorbel";
    EXPECT_QM_ERROR(SaveFileSafely(target, std::string(10000, 'x')),
                    DisplayPath(target) + ": cannot write the file: No space left on device");
    EXPECT_EQ(ReadBytes(target), kOldBytes);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"menu.zorbel"});
}

TEST_F(FakedWrite, FailedSaveOfANewFileLeavesNoFile) {
    TempFolder folder;
    SetSafeSaveWriteFunctionForTesting(&EverythingButReportsAnIoError);
    const auto target = folder / "new.gms";
    EXPECT_QM_ERROR(SaveFileSafely(target, "content"),
                    DisplayPath(target) + ": cannot write the file: Input/output error");
    EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(FakedWrite, AgentSaveAndExportReportTheFailureAndKeepTheDocument) {
    TempFolder folder;
    TkvxAppletAgent agent;
    MakeDocument(agent, kSampleMenu, Fields::Every);
    WriteBytes(folder / "menu.zorbel", kOldBytes);
    WriteBytes(folder / "menu.gms", kOldBytes);
    const auto before = Snapshot(agent);
    SetSafeSaveWriteFunctionForTesting(&HalfThenDiskFull);
    const std::string diskFull = ": cannot write the file: No space left on device";
    EXPECT_QM_ERROR(agent.SaveProject(folder / "menu.zorbel"), DisplayPath(folder / "menu.zorbel") + diskFull);
    EXPECT_QM_ERROR(agent.ExportMenuStructure(folder / "menu.gms"), DisplayPath(folder / "menu.gms") + diskFull);
    EXPECT_EQ(Snapshot(agent), before);
    EXPECT_EQ(ReadBytes(folder / "menu.zorbel"), kOldBytes);
    EXPECT_EQ(ReadBytes(folder / "menu.gms"), kOldBytes);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"menu.gms", "menu.zorbel"}));
}

// A content written in parts becomes the file only when ended; one begun and not
// completed keeps every target of the save as it was, and parts go only into a content
// being written.
TEST_F(FakedWrite, ContentInPartsIsCommittedOnlyWhenComplete) {
    const std::string notComplete = "cannot replace the file: its new content is not complete";
    const std::string notBeingWritten = "cannot write the file: no new content is being written";
    struct Case {
        const char* what;
        std::function<void(SafeSave&, SafeSave::FileId)> write;
        std::string writeError;   // of the last call, or ""
        std::string commitError;  // or "": the project file is new
        bool newPage;             // the page is new after the commit
    };
    const std::vector<Case> cases = {
        {"ended", [](SafeSave& save, SafeSave::FileId page) {
             save.Begin(page);
             for (const auto* part : {"new ", "", "page"}) save.Append(page, part);
             save.End(page);
         }, "", "", true},
        {"written again after a part", [](SafeSave& save, SafeSave::FileId page) {
             save.Begin(page);
             save.Append(page, "half");
             save.Write(page, "new page");
         }, "", "", true},
        {"never ended", [](SafeSave& save, SafeSave::FileId page) {
             save.Begin(page);
             save.Append(page, "new");
         }, "", notComplete, false},
        {"a part failed", [](SafeSave& save, SafeSave::FileId page) {
             save.Begin(page);
             SetSafeSaveWriteFunctionForTesting(&EverythingButReportsAnIoError);
             save.Append(page, "new");
         }, "cannot write the file: Input/output error", notComplete, false},
        {"a part before the beginning", [](SafeSave& save, SafeSave::FileId page) { save.Append(page, "new"); },
         notBeingWritten, "", false},
        {"an end before the beginning", [](SafeSave& save, SafeSave::FileId page) { save.End(page); },
         notBeingWritten, "", false},
        {"a part after the end", [](SafeSave& save, SafeSave::FileId page) {
             save.Write(page, "new page");
             save.Append(page, "more");
         }, notBeingWritten, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        WriteBytes(folder / "menu.html", kOldBytes);
        WriteBytes(folder / "menu.zorbel", kOldBytes);
        const auto named = [&](const std::string& reason) { return DisplayPath(folder / "menu.html") + ": " + reason; };
        {
            SafeSave save;
            const auto page = save.Add(folder / "menu.html");
            save.Write(save.Add(folder / "menu.zorbel"), "new project");
            if (c.writeError.empty()) {
                EXPECT_NO_THROW(c.write(save, page));
            } else {
                EXPECT_QM_ERROR(c.write(save, page), named(c.writeError));
            }
            SetSafeSaveWriteFunctionForTesting(nullptr);
            if (c.commitError.empty()) {
                EXPECT_NO_THROW(save.Commit());
            } else {
                EXPECT_QM_ERROR(save.Commit(), named(c.commitError));
            }
        }
        EXPECT_EQ(ReadBytes(folder / "menu.zorbel"), c.commitError.empty() ? "new project" : kOldBytes);
        EXPECT_EQ(ReadBytes(folder / "menu.html"), c.newPage ? "new page" : kOldBytes);
        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"menu.html", "menu.zorbel"}));
    }
}

// A file that cannot be replaced: another file is mounted over it, so renaming onto it
// would fail; this is found out before anything is written.
TEST(SafeSave, FailedReplacementRemovesTheTemporaryFileAndGivesTheReason) {
    TempFolder folder;
    WriteBytes(folder / "menu.zorbel", kOldBytes);
    WriteBytes(folder / "other", "other");
    auto mount = ScopedMount::Bind(folder / "other", folder / "menu.zorbel");
    if (!mount.Mounted()) GTEST_SKIP() << "cannot bind-mount a file here";
    const auto target = folder / "menu.zorbel";
    EXPECT_QM_ERROR(SaveFileSafely(target, "new"),
                    DisplayPath(target) + ": cannot replace the file: another file system is mounted on it");
    EXPECT_EQ(ReadBytes(target), "other");
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"menu.zorbel", "other"}));
}

}  // namespace
}  // namespace qm::test
