#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>

#include "model/Error.h"
#include "model/FileDescriptor.h"
#include "support/ErrorCheck.h"
#include "support/DocumentBuilder.h"
#include "output/PageWriter.h"
#include "output/Publisher.h"
#include "model/SafeSave.h"
#include "support/TestSupport.h"
#include "model/TextFile.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

// A program folder with the movie and the script, a Preview folder, and a project
// folder, side by side in one test folder.
class Publishing : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(program());
        fs::create_directories(preview());
        fs::create_directories(project());
        WriteBytes(program() / "zelvanbar.swf", "FWS-movie");
        WriteBytes(program() / "swfhelper.js", "// script");
        MakeDocument(agent, {{0, "Home", "index.html"}, {0, "Products", "p.html"}, {1, "A", "a.html"}});
    }
    fs::path program() const { return root / "program"; }
    fs::path preview() const { return root / "preview"; }
    fs::path project() const { return root / "project"; }
    PublishFolders folders() const { return {program(), preview()}; }
    void SetSounds(const std::string& mainHover, const std::string& subHover, const std::string& active) {
        auto look = agent.GetAppletData();
        look.mainItemHoverSound = mainHover;
        look.subItemHoverSound = subHover;
        look.itemActiveSound = active;
        agent.SetAppletData(look);
    }
    std::vector<std::string> FilesIn(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Every entry of the project folder with its bytes.
    std::map<std::string, std::string> Contents() const {
        std::map<std::string, std::string> contents;
        for (const auto& name : FilesIn(project())) contents[name] = ReadBytes(project() / name);
        return contents;
    }
    // Publishes into the project folder.
    void Publish(const std::string& name = "menu") { published = SaveAndPublish(agent, project(), name, folders()); }
    void TearDown() override { SetSafeSaveWriteFunctionForTesting(nullptr); }

    TempFolder root;
    TkvxAppletAgent agent;
    PublishResult published;
};

TEST_F(Publishing, WritesEveryFileUnderTheStemOfTheName) {
    SaveAndPublish(agent, project(), "menu", folders());
    EXPECT_EQ(FilesIn(project()), (std::vector<std::string>{"menu.html", "menu.zorbel", "menu_PublishReport.txt",
                                                            "swfhelper.js", "zelvanbar.swf"}));
    SaveAndPublish(agent, project(), "menu.old.zorbel", folders());
    EXPECT_TRUE(fs::exists(project() / "menu.old.html"));
    EXPECT_TRUE(fs::exists(project() / "menu.old.zorbel"));
    EXPECT_TRUE(fs::exists(project() / "menu.old_PublishReport.txt"));
    EXPECT_EQ(ReadBytes(project() / "zelvanbar.swf"), "FWS-movie");
    EXPECT_EQ(ProjectStem("menu"), "menu");
    EXPECT_EQ(ProjectStem("a.b.c"), "a.b");
}

TEST_F(Publishing, TheProjectFileHoldsWhatMakingThePageChanged) {
    auto look = agent.GetAppletData();
    look.InternalUse_RootDir_Local = "file:///C|/w/";
    look.InternalUse_RootDir_Remote = "http://example.com/";
    agent.SetAppletData(look);
    agent.SetItemData([&] { auto i = agent.GetItemData(2); i.Link = "FILE:///c|/w/a.html"; return i; }(), 2);
    SaveAndPublish(agent, project(), "menu.zorbel", folders());
    const auto saved = ReadBytes(project() / "menu.zorbel");
    EXPECT_NE(saved.find("A#$@#$@http://example.com/a.html#$@_self#$@#$@#$@1#$@#$@#$@1#$@\r\n"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find("Home#$@#$@index.html#$@_self#$@#$@#$@0#$@#$@#$@-1#$@\r\n"), std::string::npos);
    TkvxAppletAgent reloaded;
    reloaded.LoadProject(project() / "menu.zorbel");
    EXPECT_EQ(reloaded.Items(), agent.Items());
}

TEST_F(Publishing, AReportWithoutSoundsHasSeventeenLines) {
    const auto lines = CrLfLines(PublishReportText(agent));
    const std::string rule(77, '=');
    EXPECT_EQ(lines, (std::vector<std::string>{
                         rule,
                         "This file includes a list of filename and you need to upload them to Web server",
                         "to get the script to work. All these files are saved into the same directory along",
                         "with the project file (*.zorbel) as well as this file.",
                         "",
                         rule,
                         "",
                         "[Script/Flash file(s)]:",
                         "  zelvanbar.swf",
                         "  swfhelper.js",
                         "",
                         "[Image and/or Sound File(s)]: They should be copied along with script files!",
                         "",
                         "",
                         rule,
                         "End of Publish Report",
                         rule,
                     }));
}

TEST_F(Publishing, OneSoundForAllThreeFieldsIsListedOnceAndCopied) {
    WriteBytes(preview() / "click.mp3", "ID3-click");
    SetSounds("click.mp3", "click.mp3", "click.mp3");
    const auto written = SaveAndPublish(agent, project(), "menu", folders()).written;
    const auto lines = CrLfLines(ReadBytes(project() / "menu_PublishReport.txt"));
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[12], "  click.mp3");
    EXPECT_EQ(ReadBytes(project() / "click.mp3"), "ID3-click");
    EXPECT_EQ(std::count(written.begin(), written.end(), project() / "click.mp3"), 1);
}

TEST_F(Publishing, BlankSoundsAreNeitherListedNorCopiedAndLetterCaseCounts) {
    WriteBytes(preview() / "a.mp3", "a");
    WriteBytes(preview() / "A.mp3", "A");
    SetSounds("a.mp3", "   ", "A.mp3");
    SaveAndPublish(agent, project(), "menu", folders());
    const auto lines = CrLfLines(ReadBytes(project() / "menu_PublishReport.txt"));
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[12], "  a.mp3");
    EXPECT_EQ(lines[13], "  A.mp3");
    EXPECT_EQ(ReadBytes(project() / "A.mp3"), "A");
}

TEST_F(Publishing, SoundNamesWithAFolderPartAreListedButTouchNothingOutside) {
    WriteBytes(root / "secret.mp3", "secret");
    WriteBytes(preview() / "sub" / "x.mp3", "x");
    SetSounds("../secret.mp3", "sub/x.mp3", "..\\secret.mp3");
    const auto before = FilesIn(root.Path());
    SaveAndPublish(agent, project(), "menu", folders());
    const auto report = ReadBytes(project() / "menu_PublishReport.txt");
    const std::string path = " (not copied: its name is a path, not a file name)\r\n";
    EXPECT_NE(report.find("  ../secret.mp3" + path + "  sub/x.mp3" + path + "  ..\\secret.mp3" + path), std::string::npos)
        << report;
    EXPECT_EQ(FilesIn(project()), (std::vector<std::string>{"menu.html", "menu.zorbel", "menu_PublishReport.txt",
                                                            "swfhelper.js", "zelvanbar.swf"}));
    EXPECT_EQ(FilesIn(root.Path()), before);
    EXPECT_EQ(ReadBytes(root / "secret.mp3"), "secret");
}

TEST_F(Publishing, PublishingTwiceOverwritesEveryKindOfFile) {
    WriteBytes(preview() / "s.mp3", "first sound");
    SetSounds("s.mp3", "", "");
    SaveAndPublish(agent, project(), "menu", folders());
    WriteBytes(preview() / "s.mp3", "second sound");
    WriteBytes(program() / "zelvanbar.swf", "FWS-new");
    WriteBytes(program() / "swfhelper.js", "// new");
    agent.SetItemCaption(0, "Start");
    SaveAndPublish(agent, project(), "menu", folders());
    EXPECT_EQ(ReadBytes(project() / "s.mp3"), "second sound");
    EXPECT_EQ(ReadBytes(project() / "zelvanbar.swf"), "FWS-new");
    EXPECT_EQ(ReadBytes(project() / "swfhelper.js"), "// new");
    EXPECT_NE(ReadBytes(project() / "menu.html").find(">Start</a>"), std::string::npos);
    EXPECT_NE(ReadBytes(project() / "menu.zorbel").find("Start#$@"), std::string::npos);
}

TEST_F(Publishing, PublishingIntoTheProgramOrPreviewFolderLeavesTheSourcesWhole) {
    WriteBytes(preview() / "s.mp3", "sound");
    SetSounds("s.mp3", "", "");
    SaveAndPublish(agent, program(), "menu", folders());
    EXPECT_EQ(ReadBytes(program() / "zelvanbar.swf"), "FWS-movie");
    EXPECT_EQ(ReadBytes(program() / "swfhelper.js"), "// script");
    SaveAndPublish(agent, preview(), "menu", folders());
    EXPECT_EQ(ReadBytes(preview() / "s.mp3"), "sound");
}

// The window's save must not fail for a missing movie: it is skipped, still listed, and
// said to be missing (the command line refuses it instead).
TEST_F(Publishing, MissingCompanionsAreSkippedButStillListed) {
    fs::remove(program() / "zelvanbar.swf");
    const auto result = SaveAndPublish(agent, project(), "menu", folders());
    const auto& written = result.written;
    EXPECT_FALSE(fs::exists(project() / "zelvanbar.swf"));
    EXPECT_NE(ReadBytes(project() / "menu_PublishReport.txt").find("  zelvanbar.swf (not copied: not found)\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(written.begin(), written.end(), project() / "zelvanbar.swf"), 0);
    EXPECT_EQ(result.warnings, std::vector<std::string>{"companion file 'zelvanbar.swf' is not copied: not found in " +
                                                        program().string()});
}

TEST_F(Publishing, AFailedPageEndsThePublishBeforeAnythingElseIsWritten) {
    fs::create_directory(project() / "menu.html");  // a folder in the page's place
    EXPECT_QM_ERROR(Publish(), DisplayPath(project() / "menu.html") + ": cannot write the file: it is a folder");
    EXPECT_EQ(FilesIn(project()), (std::vector<std::string>{"menu.html"}));
}

TEST_F(Publishing, LinksInTheOutputsPlacesAreReplacedAndWhatTheyPointToIsNeverWritten) {
    WriteBytes(preview() / "s.mp3", "sound");
    SetSounds("s.mp3", "", "");
    const std::vector<std::string> outputs = {"menu.html", "menu_PublishReport.txt", "zelvanbar.swf", "swfhelper.js",
                                              "s.mp3"};
    for (const auto& name : outputs) {
        WriteBytes(root / "elsewhere" / name, "not yours");
        fs::create_symlink(root / "elsewhere" / name, project() / name);
    }
    ASSERT_NO_THROW(Publish());
    for (const auto& name : outputs) {
        EXPECT_FALSE(fs::is_symlink(project() / name)) << name;
        EXPECT_EQ(ReadBytes(root / "elsewhere" / name), "not yours") << name;
    }
    EXPECT_EQ(ReadBytes(project() / "s.mp3"), "sound");
}

TEST_F(Publishing, TheProjectFileFollowsOnlyALinkOfTheUsersOwn) {
    WriteBytes(root / "mine.zorbel", "old");
    fs::create_symlink(root / "mine.zorbel", project() / "menu.zorbel");
    ASSERT_NO_THROW(Publish());
    EXPECT_TRUE(fs::is_symlink(project() / "menu.zorbel"));
    EXPECT_NE(ReadBytes(root / "mine.zorbel").find("<Item_Parameters>"), std::string::npos);

    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a link another owner";
    WriteBytes(root / "theirs.zorbel", "theirs");
    fs::remove(project() / "menu.zorbel");
    fs::create_symlink(root / "theirs.zorbel", project() / "menu.zorbel");
    ASSERT_EQ(::lchown((project() / "menu.zorbel").c_str(), 65534, 65534), 0);
    ASSERT_NO_THROW(Publish());
    EXPECT_FALSE(fs::is_symlink(project() / "menu.zorbel"));
    EXPECT_EQ(ReadBytes(root / "theirs.zorbel"), "theirs");
}

TEST_F(Publishing, ASoundIsCopiedOnlyFromARegularFileInItsFolder) {
    WriteBytes(root / "id_rsa", "private key");
    WriteBytes(preview() / "sounds" / "inside.mp3", "inside");
    fs::create_symlink(root / "id_rsa", preview() / "key.mp3");
    fs::create_symlink(fs::path("sounds") / "inside.mp3", preview() / "near.mp3");
    fs::create_directory(preview() / "folder.mp3");
    ASSERT_EQ(::mkfifo((preview() / "pipe.mp3").c_str(), 0644), 0);
    struct Case {
        std::string name, copied, reason;
    };
    for (const auto& [name, copied, reason] : std::vector<Case>{
             {"key.mp3", "", "it is a link to a file outside its folder"},
             {"near.mp3", "inside", ""},
             {"folder.mp3", "", "it is not a regular file"},
             {"pipe.mp3", "", "it is not a regular file"},
         }) {
        SetSounds(name, "", "");
        ASSERT_NO_THROW(Publish()) << name;
        const auto lines = CrLfLines(ReadBytes(project() / "menu_PublishReport.txt"));
        ASSERT_EQ(lines.size(), 18u);
        if (copied.empty()) {
            EXPECT_EQ(lines[12], "  " + name + " (not copied: " + reason + ")");
            EXPECT_EQ(published.warnings, std::vector<std::string>{"sound '" + name + "' is not copied: " + reason});
            EXPECT_FALSE(fs::exists(project() / name)) << name;
        } else {
            EXPECT_EQ(lines[12], "  " + name);
            EXPECT_TRUE(published.warnings.empty()) << name;
            EXPECT_EQ(ReadBytes(project() / name), copied);
        }
    }
}

TEST_F(Publishing, CopiesKeepTheSourcesPermissionsAndTheirOwnerMayReplaceThem) {
    WriteBytes(preview() / "private.mp3", "a");
    WriteBytes(preview() / "locked.mp3", "b");
    fs::permissions(preview() / "private.mp3", fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(preview() / "locked.mp3", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    SetSounds("private.mp3", "locked.mp3", "");
    ASSERT_NO_THROW(Publish());
    EXPECT_EQ(fs::status(project() / "private.mp3").permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(project() / "locked.mp3").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_NO_THROW(Publish()) << "the next publish replaces the copies";
}

TEST_F(Publishing, ASoundNamedLikeAnotherOutputIsRefused) {
    const std::string withNul("a\0.mp3", 6);
    struct Case {
        std::string name, shown, reason;
    };
    for (const auto& [name, shown, reason] : std::vector<Case>{
             {"menu.html", "menu.html", "its name is that of another file of the publish"},
             {"MENU.ZORBEL", "MENU.ZORBEL", "its name is that of another file of the publish"},
             {"menu_PublishReport.txt", "menu_PublishReport.txt", "its name is that of another file of the publish"},
             {"zelvanbar.swf", "zelvanbar.swf", "its name is that of another file of the publish"},
             {".quillamere-tmp-7", ".quillamere-tmp-7", "its name is one this program gives its temporary files"},
             {withNul, "a\\x00.mp3", "its name holds a control character"},
         }) {
        if (name != withNul) WriteBytes(preview() / name, "sound");
        SetSounds(name, "", "");
        ASSERT_NO_THROW(Publish()) << shown;
        EXPECT_EQ(published.warnings, std::vector<std::string>{"sound '" + shown + "' is not copied: " + reason});
        EXPECT_EQ(CrLfLines(ReadBytes(project() / "menu_PublishReport.txt"))[12],
                  "  " + shown + " (not copied: " + reason + ")");
        EXPECT_EQ(ReadBytes(project() / "zelvanbar.swf"), "FWS-movie");
        EXPECT_NE(ReadBytes(project() / "menu.html").find("<!DOCTYPE"), std::string::npos) << shown;
    }
    EXPECT_FALSE(fs::exists(project() / ".quillamere-tmp-7"));
}

TEST_F(Publishing, AReadOnlyOutputIsAnErrorAndNothingOfTheSetIsReplaced) {
    WriteBytes(preview() / "s.mp3", "sound");
    SetSounds("s.mp3", "", "");
    for (const auto* name : {"menu.html", "menu.zorbel", "menu_PublishReport.txt", "zelvanbar.swf", "s.mp3"}) {
        fs::remove_all(project());
        fs::create_directories(project());
        ASSERT_NO_THROW(Publish());
        fs::permissions(project() / name, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const auto before = Contents();
        agent.SetItemCaption(0, std::string("Changed ") + name);
        WriteBytes(preview() / "s.mp3", "another sound");
        WriteBytes(program() / "zelvanbar.swf", "FWS-another");
        EXPECT_QM_ERROR(Publish(), DisplayPath(project() / name) + ": cannot replace the file: it is read-only");
        EXPECT_EQ(Contents(), before) << name;
    }
}

// Writes what it is given until the disk is "full" after a number of writes.
int writesBeforeTheDiskIsFull = 0;
ssize_t WriteUntilTheDiskIsFull(int descriptor, const void* data, std::size_t size) {
    if (writesBeforeTheDiskIsFull-- <= 0) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(descriptor, data, size);
}

TEST_F(Publishing, AFullDiskAtAnyWriteLeavesTheEarlierSetWhole) {
    WriteBytes(preview() / "s.mp3", "sound");
    SetSounds("s.mp3", "", "");
    ASSERT_NO_THROW(Publish());
    const auto before = Contents();
    agent.SetItemCaption(0, "Changed");
    WriteBytes(preview() / "s.mp3", "another sound");
    SetSafeSaveWriteFunctionForTesting(&WriteUntilTheDiskIsFull);
    // Each file is one write: the disk fills in the page, the movie, the script, the
    // project, the report and the sound in turn, and then no more.
    const char* const written[] = {"menu.html", "zelvanbar.swf", "swfhelper.js", "menu.zorbel",
                                   "menu_PublishReport.txt", "s.mp3"};
    for (int writes = 0; writes < 6; ++writes) {
        writesBeforeTheDiskIsFull = writes;
        EXPECT_QM_ERROR(Publish(), DisplayPath(project() / written[writes]) +
                                       ": cannot write the file: No space left on device");
        EXPECT_EQ(Contents(), before) << "after " << writes << " writes";
    }
    writesBeforeTheDiskIsFull = 6;
    EXPECT_NO_THROW(Publish());
    EXPECT_NE(ReadBytes(project() / "menu.html").find(">Changed</a>"), std::string::npos);
}

TEST_F(Publishing, TemporaryFilesACrashLeftAreRemovedAndNoOthers) {
    WriteBytes(project() / ".quillamere-tmp-3", "half a page");
    // Named as early versions named theirs, and as other programs name their own: kept.
    WriteBytes(project() / ".menu.html.tmp-123456-0", "an earlier version's");
    WriteBytes(project() / ".quillamere-tmp-9", "being written by a running save");
    const FileDescriptor running(::open((project() / ".quillamere-tmp-9").c_str(), O_RDONLY));
    ASSERT_EQ(::flock(running.Get(), LOCK_EX), 0);
    WriteBytes(project() / ".quillamere-tmp-notes", "the user's");
    WriteBytes(project() / "draft.tmp-1-2", "the user's");
    ASSERT_NO_THROW(Publish());
    EXPECT_EQ(FilesIn(project()),
              (std::vector<std::string>{".menu.html.tmp-123456-0", ".quillamere-tmp-9", ".quillamere-tmp-notes",
                                        "draft.tmp-1-2", "menu.html",
                                        "menu.zorbel", "menu_PublishReport.txt", "swfhelper.js", "zelvanbar.swf"}));
}

TEST_F(Publishing, EveryNameIsCheckedBeforeAnythingIsWritten) {
    const std::string longest(237, 'n');  // its report's name is 255 bytes long
    ASSERT_NO_THROW(Publish(longest + ".zorbel"));
    EXPECT_TRUE(fs::exists(project() / (longest + "_PublishReport.txt")));
    for (const auto length : {238, 248}) {
        fs::remove_all(project());
        fs::create_directories(project());
        const std::string stem(static_cast<std::size_t>(length), 'n');
        EXPECT_QM_ERROR(Publish(stem + ".zorbel"), DisplayPath(project() / (stem + "_PublishReport.txt")) +
                                                        ": cannot write the file: the name is longer than 255 bytes");
        EXPECT_TRUE(FilesIn(project()).empty()) << length;
    }
}

}  // namespace
}  // namespace qm::test
