// What publishing refuses and what it leaves alone: outputs it cannot replace (nothing
// of the set is then replaced), the files of other programs and of other users, names
// planted to block it, and sounds named like an output in another case or form.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <optional>

#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"
#include "model/Error.h"
#include "support/ErrorCheck.h"
#include "model/FileDescriptor.h"
#include "output/Publisher.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

class PublishSafety : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(program / "zelvanbar.swf", "FWS");
        WriteBytes(program / "swfhelper.js", "//");
        WriteBytes(sounds / "s.mp3", "sound");
        fs::create_directories(site);
        MakeDocument(agent, {{0, "Home", "index.html"}});
    }
    // Publishes into the site folder with the sound.
    void Publish(const std::string& name = "menu", const std::string& sound = "s.mp3") {
        auto look = agent.GetAppletData();
        look.mainItemHoverSound = sound;
        agent.SetAppletData(look);
        published = SaveAndPublish(agent, site, name, {program, sounds});
    }
    std::map<std::string, std::string> Contents() const {
        std::map<std::string, std::string> contents;
        for (const auto& entry : fs::directory_iterator(site))
            contents[entry.path().filename().string()] = fs::is_regular_file(entry) ? ReadBytes(entry.path()) : "";
        return contents;
    }

    TempFolder root;
    const fs::path program = root / "program", sounds = root / "sounds", site = root / "site";
    TkvxAppletAgent agent;
    PublishResult published;
};

// Sets or clears an inode flag (immutable, append-only); false where the file system
// or the user cannot.
bool SetInodeFlag(const fs::path& file, int flag, bool on) {
    const FileDescriptor opened(::open(file.c_str(), O_RDONLY | O_NONBLOCK));
    int flags = 0;
    if (!opened.IsOpen() || ::ioctl(opened.Get(), FS_IOC_GETFLAGS, &flags) != 0) return false;
    flags = on ? flags | flag : flags & ~flag;
    return ::ioctl(opened.Get(), FS_IOC_SETFLAGS, &flags) == 0;
}

// An output whose permissions allow replacing it, which cannot be replaced all the
// same: found out before the first rename, and then nothing of the set is replaced
// (the report is renamed after the page, the copies and the sounds).
TEST_F(PublishSafety, AnOutputThatCannotBeReplacedLeavesTheWholeSetOld) {
    const auto report = site / "menu_PublishReport.txt";
    struct Case {
        const char* what;
        std::function<bool()> make;  // false: the machine cannot make it
        std::function<void()> undo;
        std::string reason;
    };
    std::optional<ScopedMount> mount;
    const std::vector<Case> cases = {
        {"immutable", [&] { return SetInodeFlag(report, FS_IMMUTABLE_FL, true); },
         [&] { SetInodeFlag(report, FS_IMMUTABLE_FL, false); }, "it is marked immutable"},
        {"append-only", [&] { return SetInodeFlag(report, FS_APPEND_FL, true); },
         [&] { SetInodeFlag(report, FS_APPEND_FL, false); }, "it is marked append-only"},
        {"a mount point",
         [&] {
             WriteBytes(root / "other", "other");
             mount.emplace(ScopedMount::Bind(root / "other", report));
             return mount->Mounted();
         },
         [&] { mount.reset(); }, "another file system is mounted on it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        agent.SetItemCaption(0, "Old");
        Publish();
        if (!c.make()) {
            std::cout << "skipped: cannot make a file " << c.what << " here\n";
            continue;
        }
        const auto before = Contents();
        agent.SetItemCaption(0, "New");
        WriteBytes(sounds / "s.mp3", "another sound");
        EXPECT_QM_ERROR(Publish(), DisplayPath(report) + ": cannot replace the file: " + c.reason);
        EXPECT_EQ(Contents(), before);
        c.undo();
    }
}

// In a sticky folder (as /tmp) only a file's owner may replace it. A user who may write
// the folder publishes over a set in which one file is another user's: refused, and
// nothing replaced. The publish runs in a child process as that user.
TEST_F(PublishSafety, AnotherUsersOutputInAStickyFolderLeavesTheWholeSetOld) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can publish as another user";
    Publish();
    fs::permissions(site, fs::perms::all | fs::perms::sticky_bit);
    for (const auto& entry : fs::directory_iterator(site)) {
        if (entry.path().filename() != "menu_PublishReport.txt") {
            ASSERT_EQ(::chown(entry.path().c_str(), kNobody, kNobody), 0);
        }
    }
    // Its permissions let anyone write it: only the folder's rule stands in the way.
    fs::permissions(site / "menu_PublishReport.txt", fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                                                         ~fs::perms::others_exec);
    const auto before = Contents();
    agent.SetItemCaption(0, "New");
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string message = "cannot become another user";
        try {
            if (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0) {
                Publish();
                message = "published";
            }
        } catch (const Error& error) {
            message = error.what();
        }
        (void)!::write(channel[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string message;
    char buffer[512];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) message.append(buffer, got);
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(message, DisplayPath(site / "menu_PublishReport.txt") +
                           ": cannot replace the file: it belongs to another user and the folder lets only its owner "
                           "replace it");
    EXPECT_EQ(Contents(), before);
}

// Names that look like temporary files but are not this user's own from a crashed
// save stay; so do links planted under this program's old temporary names, which no
// longer block a publish.
TEST_F(PublishSafety, OtherProgramsFilesAndPlantedNamesAreLeftAlone) {
    // More links than the counter of the old names ever tried; a memory file system
    // makes them quickly where one can be mounted.
    auto mount = ScopedMount::Tmpfs(site, "size=16m");
    const int planted = mount.Mounted() ? 10050 : 200;
    WriteBytes(root / "secret", "secret");
    std::vector<std::string> kept = {".notes.txt.tmp-20261207-1", ".data.csv.tmp-1-1", "menu.html.tmp-1-2"};
    for (const auto& name : kept) WriteBytes(site / name, "another program's");
    const FileDescriptor openElsewhere(::open((site / ".data.csv.tmp-1-1").c_str(), O_RDONLY));
    if (::geteuid() == 0) {
        kept.push_back(".quillamere-tmp-0123456789abcdef");
        WriteBytes(site / kept.back(), "another user's");
        ASSERT_EQ(::chown((site / kept.back()).c_str(), kNobody, kNobody), 0);
    }
    for (int i = 0; i < planted; ++i) fs::create_symlink(root / "secret", site / (".quillamere-tmp-" + std::to_string(i)));
    WriteBytes(site / ".quillamere-tmp-fedcba9876543210", "left by a crashed save of this user");

    Publish();
    for (const auto& name : kept) EXPECT_TRUE(fs::exists(site / name)) << name;
    EXPECT_TRUE(fs::is_symlink(site / ".quillamere-tmp-0"));
    EXPECT_TRUE(fs::is_symlink(site / (".quillamere-tmp-" + std::to_string(planted - 1))));
    EXPECT_FALSE(fs::exists(site / ".quillamere-tmp-fedcba9876543210"));
    EXPECT_EQ(ReadBytes(root / "secret"), "secret");
    EXPECT_EQ(std::distance(fs::directory_iterator(site), {}), static_cast<long>(kept.size() + planted + 6));
}

// A folder that ignores letter case or normalises names (a USB stick, a Windows share)
// takes these for an output of the project "Menü": refused, as a missing sound is.
TEST_F(PublishSafety, SoundsNamedLikeAnOutputInAnotherCaseOrFormAndMissingOnesAreNotCopied) {
    const std::string other = "its name is that of another file of the publish";
    struct Case {
        std::string sound, refusal;  // refusal "": copied
    };
    for (const auto& [sound, refusal] : std::vector<Case>{
             {"MEN\xC3\x9C.html", other},                   // Ü for ü
             {"Menu\xCC\x88.html", other},                  // u and a combining diaeresis
             {"MENU\xCC\x88_PUBLISHREPORT.TXT", other},
             {"ZELVANBAR.SWF", other},
             {"Menu.html", ""},  // no diaeresis: another name
             {"missing.mp3", "not found"},
         }) {
        SCOPED_TRACE(sound);
        if (refusal != "not found") WriteBytes(sounds / sound, "sound");
        Publish("Men\xC3\xBC.zorbel", sound);
        const auto report = ReadBytes(site / "Men\xC3\xBC_PublishReport.txt");
        if (refusal.empty()) {
            EXPECT_TRUE(published.warnings.empty());
            EXPECT_EQ(ReadBytes(site / sound), "sound");
            continue;
        }
        EXPECT_EQ(published.warnings, std::vector<std::string>{"sound '" + sound + "' is not copied: " + refusal});
        EXPECT_NE(report.find("\r\n  " + sound + " (not copied: " + refusal + ")\r\n"), std::string::npos) << report;
        EXPECT_FALSE(fs::exists(site / sound));
        EXPECT_EQ(ReadBytes(site / "zelvanbar.swf"), "FWS");
    }
}

}  // namespace
}  // namespace qm::test
