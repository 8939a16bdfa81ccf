// Publishing while another process changes the folders under it: a sound swapped for a
// link to a secret file, and two publishers into one folder at once.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <latch>
#include <map>
#include <thread>

#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"
#include "model/Error.h"
#include "support/ErrorCheck.h"
#include "model/SafeSave.h"
#include "output/Publisher.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

// A second process that swaps two names of a folder, over and over, until it is
// stopped (or after a bound of its own).
class Swapper {
public:
    Swapper(const fs::path& a, const fs::path& b) {
        pid_ = ::fork();
        if (pid_ == 0) {
            for (long i = 0; i < 200'000'000; ++i) ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE);
            ::_exit(0);
        }
    }
    ~Swapper() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    bool Running() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

TEST(PublishRace, ASoundSwappedForALinkNeverCopiesWhatTheLinkPointsTo) {
    TempFolder root;
    // Quick publishes where a memory file system can be mounted, so that the rounds are many.
    auto mount = ScopedMount::Tmpfs(root / "disk", "size=16m");
    const auto base = mount.Mounted() ? root / "disk" : root.Path();
    const auto program = base / "program", project = base / "project", site = base / "site";
    WriteBytes(program / "zelvanbar.swf", "FWS");
    WriteBytes(program / "swfhelper.js", "//");
    WriteBytes(base / "secret", "the secret");
    WriteBytes(project / "s.mp3", "the sound");
    fs::create_symlink(base / "secret", project / "other");
    fs::create_directories(site);
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "Home", "index.html"}});
    auto look = agent.GetAppletData();
    look.mainItemHoverSound = "s.mp3";
    agent.SetAppletData(look);

    const Swapper swapper(project / "s.mp3", project / "other");
    ASSERT_TRUE(swapper.Running());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int rounds = 0, copied = 0;
    for (; rounds < 1000 && std::chrono::steady_clock::now() < deadline; ++rounds) {
        fs::remove(site / "s.mp3");
        SaveAndPublish(agent, site, "menu", {program, project});
        if (!fs::exists(site / "s.mp3")) continue;
        ++copied;
        ASSERT_EQ(ReadBytes(site / "s.mp3"), "the sound") << "round " << rounds;
    }
    std::cout << rounds << " rounds, the sound copied in " << copied << "\n";
    EXPECT_GT(copied, 0);
}

// Two publishers of two versions of a project into one folder at once, round after
// round: after each round the folder holds one version's set, never a mix.
TEST(PublishRace, TwoPublishersIntoOneFolderNeverMixTheirSets) {
    TempFolder root;
    auto mount = ScopedMount::Tmpfs(root / "disk", "size=16m");
    const auto base = mount.Mounted() ? root / "disk" : root.Path();
    const auto site = base / "site";
    fs::create_directories(site);
    TkvxAppletAgent agents[2];
    std::map<std::string, std::string> sets[2];
    for (int version = 0; version < 2; ++version) {
        const auto name = std::string(1, static_cast<char>('a' + version));
        const auto folder = base / name;
        WriteBytes(folder / "zelvanbar.swf", "FWS");
        WriteBytes(folder / "swfhelper.js", "//");
        for (const auto* sound : {"s.mp3", "t.mp3", "u.mp3"}) WriteBytes(folder / sound, name + " " + sound);
        MakeDocument(agents[version], {{0, name, name + ".html"}});
        auto look = agents[version].GetAppletData();
        look.mainItemHoverSound = "s.mp3";
        look.subItemHoverSound = "t.mp3";
        look.itemActiveSound = "u.mp3";
        agents[version].SetAppletData(look);
        SaveAndPublish(agents[version], folder, "menu", {folder, folder});
        for (const auto& entry : fs::directory_iterator(folder))
            sets[version][entry.path().filename().string()] = ReadBytes(entry.path());
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int rounds = 0, mixed = 0;
    for (; rounds < 1000 && std::chrono::steady_clock::now() < deadline; ++rounds) {
        std::thread publishers[2];
        std::latch start(2);  // both at once, so that their commits meet
        for (int version = 0; version < 2; ++version)
            publishers[version] = std::thread([&, version] {
                start.arrive_and_wait();
                const auto folder = base / std::string(1, static_cast<char>('a' + version));
                SaveAndPublish(agents[version], site, "menu", {folder, folder});
            });
        for (auto& publisher : publishers) publisher.join();
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::directory_iterator(site))
            found[entry.path().filename().string()] = ReadBytes(entry.path());
        if (found != sets[0] && found != sets[1]) ++mixed;
    }
    EXPECT_EQ(mixed, 0) << "in " << rounds << " rounds";
}

// A process that holds a folder's commit lock, stopped, until it is killed.
class StoppedLockHolder {
public:
    explicit StoppedLockHolder(const fs::path& folder) {
        pid_ = ::fork();
        if (pid_ == 0) {
            const FolderCommitLock lock(folder);
            ::raise(SIGSTOP);
            ::_exit(0);
        }
        int status = 0;
        stopped_ = pid_ > 0 && ::waitpid(pid_, &status, WUNTRACED) == pid_ && WIFSTOPPED(status);
    }
    ~StoppedLockHolder() { Kill(); }
    bool Stopped() const { return stopped_; }
    void Kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    bool stopped_ = false;
};

// While another holds the folder's commit lock a publish renames nothing, and a holder
// that is stopped fails it after the wait instead of blocking it for ever; a killed
// holder's lock is gone with it.
TEST(PublishRace, APublishCommitsOnlyUnderTheFoldersLock) {
    TempFolder root;
    const auto program = root / "program", site = root / "site";
    WriteBytes(program / "zelvanbar.swf", "FWS");
    WriteBytes(program / "swfhelper.js", "//");
    fs::create_directories(site);
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "Home", "index.html"}});
    const auto publish = [&] { SaveAndPublish(agent, site, "menu", {program, program}); };
    publish();
    const auto page = ReadBytes(site / "menu.html");
    agent.SetItemCaption(0, "Changed");
    const auto busy = DisplayPath(site) + ": cannot save into the folder: another save into it has not finished";
    const auto wait = SetCommitLockWaitForTesting(std::chrono::milliseconds(0));
    {
        const FolderCommitLock held(site);
        EXPECT_QM_ERROR(publish(), busy) << "held in this process";
    }
    {
        StoppedLockHolder holder(site);
        ASSERT_TRUE(holder.Stopped());
        EXPECT_QM_ERROR(publish(), busy) << "held by a stopped process";
        EXPECT_EQ(ReadBytes(site / "menu.html"), page);
        SetCommitLockWaitForTesting(wait);
        holder.Kill();
        publish();  // after the holder was killed
    }
    EXPECT_NE(ReadBytes(site / "menu.html"), page);
    EXPECT_EQ(std::distance(fs::directory_iterator(site), {}), 5) << "no temporary file is left";
}

}  // namespace
}  // namespace qm::test
