// quillamere-cli publish killed at chosen steps while it publishes a 100,000-item
// project over an earlier set: after every kill each output is whole, the earlier
// version or the new one, and the next publish leaves no temporary file behind.
// The tool announces each of its writes and renames on a socket and waits for the
// test's answer (cli/WriteAnnouncements.h), so every kill lands while it puts its
// outputs on disk, never while it still reads the project, and nothing depends on how
// fast the machine is: a busy one only makes the runs slower.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <random>

#include "cli/WriteAnnouncements.h"
#include "model/SafeSave.h"
#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

constexpr int kKills = 200;
constexpr int kItems = 100000;

using FileSet = std::map<std::string, std::string>;
using Command = std::function<std::vector<std::string>(int version)>;

FileSet FilesIn(const fs::path& folder) {
    FileSet files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = ReadBytes(entry.path());
    return files;
}

// A project "menu.zorbel" in folder, with its sound beside it; version names the
// captions and the sound.
void WriteProject(const fs::path& folder, const std::string& version) {
    std::vector<ItemRow> rows;
    rows.reserve(kItems);
    for (int i = 0; i < kItems; ++i)
        rows.push_back({i % 10 == 0 ? 0 : 1, version + " item " + std::to_string(i),
                        version + "/" + std::to_string(i) + ".html"});
    TkvxAppletAgent agent;
    MakeDocument(agent, rows);
    auto look = agent.GetAppletData();
    look.mainItemHoverSound = "s.mp3";
    agent.SetAppletData(look);
    fs::create_directories(folder);
    agent.SaveProject(folder / "menu.zorbel");
    WriteBytes(folder / "s.mp3", "the sound of " + version);
}

// A run of the tool that announces each of its writes and renames on a socket and
// makes it only when answered (cli/WriteAnnouncements.h): the test decides how far it
// gets. The answers for the steps let through are sent at once, so that a run waits
// for the test once, not at every step.
class AnnouncedRun {
public:
    explicit AnnouncedRun(const std::vector<std::string>& command) {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
        ::fcntl(ends[1], F_SETFD, 0);  // the tool inherits its end
        ::setenv(kAnnounceWritesVariable, std::to_string(ends[1]).c_str(), 1);
        pid_ = StartProgram(command);
        ::unsetenv(kAnnounceWritesVariable);
        ::close(ends[1]);
        socket_ = ends[0];
    }
    ~AnnouncedRun() {
        if (pid_ > 0) End(false);
        if (socket_ >= 0) ::close(socket_);
    }
    AnnouncedRun(const AnnouncedRun&) = delete;
    AnnouncedRun& operator=(const AnnouncedRun&) = delete;

    bool Started() const { return pid_ > 0 && socket_ >= 0; }
    // Lets the tool make its steps before number `step` (from 1) and waits until it
    // announces that one; false when it ended first.
    bool ReachStep(long step) {
        if (step - 1 > answered_) Answer(step - 1 - answered_);
        return Read(step - steps_);
    }
    // Lets the tool make `count` more steps.
    void Answer(long count = 1) {
        const std::string answers(static_cast<std::size_t>(count), 'g');
        ::send(socket_, answers.data(), answers.size(), MSG_NOSIGNAL);  // fails only when the tool has ended
        answered_ += count;
    }
    // Kills the tool now, or lets it run to its end, and waits for it; true when it was
    // killed. Afterwards Steps() and Renames() count what it announced.
    bool End(bool kill) {
        if (kill) {
            ::kill(pid_, SIGKILL);
        } else {
            ::shutdown(socket_, SHUT_WR);  // the tool goes on without waiting
            Read(LONG_MAX);
        }
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return WIFSIGNALED(status);
    }
    long Steps() const { return steps_; }
    long Renames() const { return renames_; }
    int ExitCode() const { return exitCode_; }

private:
    // Reads `count` announcements; false when the tool ended first.
    bool Read(long count) {
        char announcements[4096];
        while (count > 0) {
            const auto got = ::recv(socket_, announcements, static_cast<std::size_t>(std::min<long>(count, sizeof announcements)), 0);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            steps_ += got;
            renames_ += std::count(announcements, announcements + got, 'r');
            count -= got;
        }
        return true;
    }

    pid_t pid_ = -1;
    int socket_ = -1;
    long steps_ = 0;
    long renames_ = 0;
    long answered_ = 0;
    int exitCode_ = -1;
};

// The steps of a run: all of them, and the renames that end it.
struct Steps {
    long all = 0;
    long renames = 0;
};

// The steps of an uninterrupted run of command(version), which must succeed.
Steps StepsOfWholeRun(const Command& command, int version) {
    AnnouncedRun run(command(version));
    EXPECT_TRUE(run.Started());
    EXPECT_FALSE(run.End(false));
    EXPECT_EQ(run.ExitCode(), 0) << "an uninterrupted run of version " << version;
    EXPECT_GT(run.Renames(), 0) << "the tool announced no rename";
    EXPECT_GT(run.Steps(), run.Renames()) << "the tool announced no write";
    return {run.Steps(), run.Renames()};
}

struct KillCounts {
    int kills = 0;
    int runs = 0;
    int inRenames = 0;  // kills just after a rename was let go
    unsigned seed = 0;
};

// A kill leaves what the process wrote in the system's cache, whether it reached the
// disk or not: in memory, the test checks the same and the tools' hundreds of flushes
// do not wait for a disk that other work keeps busy. (Where nothing can be mounted, the
// folder stays on the disk.)
ScopedMount InMemory(const TempFolder& folder) {
    return ScopedMount::Tmpfs(folder.Path(), "size=1g");
}

// What a run left: the version that every output is in, or -1 for a mix of both.
using Check = std::function<void(int run, int& wholeVersion)>;

// Runs command(version) again and again and kills each run just after it is let make
// a step chosen at random (steps[version] is what a whole run makes): every other run
// any of its steps, the others one of the renames, so that many kills land between
// them. A run stopped before its last step is killed whatever the load of the
// machine; one let make its last rename may end before the kill lands, and counts as
// a run only. Each run changes the outputs: from the version they are in to the
// other, from a mix to the version whose renames were cut off. After each run, check
// looks at what it left. At least wantedKills kills, at most three times as many runs.
KillCounts KillRepeatedly(const Command& command, const Steps (&steps)[2], int wholeVersion, int wantedKills,
                          const Check& check) {
    const char* seedText = std::getenv("QUILLAMERE_CRASH_SEED");
    KillCounts counts;
    counts.seed = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 15u;
    std::mt19937 random(counts.seed);
    int version = 1 - wholeVersion;
    while (counts.kills < wantedKills && counts.runs < 3 * wantedKills) {
        const auto [all, renames] = steps[version];
        const long firstRename = all - renames + 1;
        const long killAt = std::uniform_int_distribution<long>(++counts.runs % 4 < 2 ? 1 : firstRename, all)(random);
        AnnouncedRun run(command(version));
        EXPECT_TRUE(run.Started());
        if (!run.Started()) return counts;
        const bool reached = run.ReachStep(killAt);
        run.Answer();
        if (run.End(reached)) {
            ++counts.kills;
            counts.inRenames += killAt >= firstRename;
        } else {
            EXPECT_EQ(run.ExitCode(), 0) << "run " << counts.runs << " (seed " << counts.seed << ")";
        }
        check(counts.runs, wholeVersion);
        if (::testing::Test::HasFailure()) return counts;
        if (wholeVersion >= 0) version = 1 - wholeVersion;
    }
    EXPECT_GE(counts.kills, wantedKills) << "too many runs ended before their kill (seed " << counts.seed << ")";
    return counts;
}

TEST(PublishCrash, EveryOutputIsOldOrNewAfterAnyKillAndTheNextPublishLeavesNoTemporaryFile) {
    TempFolder folder;
    const auto memory = InMemory(folder);
    const fs::path root = folder.Path();
    const fs::path projects[] = {root / "a" / "menu.zorbel", root / "b" / "menu.zorbel"};
    WriteProject(root / "a", "a");
    WriteProject(root / "b", "b");
    const auto site = root / "site";
    fs::create_directories(site);

    const Command publish = [&](int version) {
        return std::vector<std::string>{CliProgram(), "publish", projects[version].string(), "--to", site.string()};
    };
    // Each version's set and its steps, from publishes that are not interrupted.
    FileSet sets[2];
    Steps steps[2];
    for (const int version : {0, 1, 0, 1}) {
        steps[version] = StepsOfWholeRun(publish, version);
        ASSERT_FALSE(HasFailure());
        sets[version] = FilesIn(site);
    }
    ASSERT_EQ(sets[0].size(), 6u);
    ASSERT_NE(sets[0]["menu.html"], sets[1]["menu.html"]);

    int mixedSets = 0, withTemporaryFiles = 0, temporaryFiles = 0;
    const auto [kills, runs, inRenames, seed] = KillRepeatedly(publish, steps, 1, kKills, [&](int run, int& whole) {
        const auto files = FilesIn(site);
        int fromVersion[2] = {0, 0}, temporary = 0;
        for (const auto& [name, bytes] : files) {
            if (IsTemporaryFileName(name)) {
                ++temporary;
                continue;
            }
            ASSERT_TRUE(sets[0].count(name)) << "run " << run << ": an unknown file " << name;
            const bool old = bytes == sets[0][name], now = bytes == sets[1][name];
            ASSERT_TRUE(old || now) << "run " << run << ": " << name << " is neither version";
            fromVersion[0] += old;
            fromVersion[1] += now;
        }
        ASSERT_EQ(static_cast<int>(files.size()) - temporary, 6) << "run " << run << ": an output is missing";
        whole = fromVersion[0] == 6 ? 0 : fromVersion[1] == 6 ? 1 : -1;
        if (whole < 0) ++mixedSets;
        if (temporary > 0) ++withTemporaryFiles;
        temporaryFiles += temporary;
    });
    if (HasFatalFailure()) return;

    ASSERT_EQ(RunProgram(publish(0)).exitCode, 0);
    EXPECT_EQ(FilesIn(site), sets[0]) << "the next publish leaves the new set and nothing else";

    std::cout << "kills: " << kills << " of " << runs << " runs of " << steps[0].all << " steps (seed " << seed << "), " << inRenames
              << " in the renames; mixed sets after " << mixedSets << " kills; temporary files after "
              << withTemporaryFiles << " kills (" << temporaryFiles << " in all), none after the next publish\n";
    RecordProperty("kills", kills);
    RecordProperty("mixed_sets", mixedSets);
    RecordProperty("kills_leaving_temporary_files", withTemporaryFiles);
}

// The pages of a site of kSitePages pages (at depths 0 to 2, each with the menu's
// markers) and the companion files at its root, with their bytes.
constexpr int kSitePages = 300;
constexpr int kSiteKills = 100;

FileSet SiteFilesIn(const fs::path& site, int* temporaryFiles = nullptr) {
    FileSet files;
    for (const auto& entry : fs::recursive_directory_iterator(site)) {
        if (!entry.is_regular_file()) continue;
        if (IsTemporaryFileName(entry.path().filename().string())) {
            if (temporaryFiles) ++*temporaryFiles;
            continue;
        }
        files[entry.path().lexically_relative(site).string()] = ReadBytes(entry.path());
    }
    return files;
}

void WriteSite(const fs::path& site) {
    for (int i = 0; i < kSitePages; ++i) {
        const std::string folder = i % 3 == 0 ? "" : i % 3 == 1 ? "boats/" : "boats/sails/";
        WriteBytes(site / (folder + "page" + std::to_string(i) + ".html"),
                         "<html><body>\n<!-- Quillamere menu -->\n<!-- End of Quillamere menu -->\n<p>" +
                             std::string(2000, 'x') + "</p></body></html>\n");
    }
}

void WriteSiteProject(const fs::path& project, const std::string& version) {
    std::vector<ItemRow> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back({i % 6 == 0 ? 0 : 1, version + " item " + std::to_string(i), "page" + std::to_string(i) + ".html"});
    TkvxAppletAgent agent;
    MakeDocument(agent, rows);
    fs::create_directories(project.parent_path());
    agent.SaveProject(project);
}

TEST(PublishCrash, EveryPageOfASiteIsOldOrNewAfterAnyKill) {
    TempFolder folder;
    const auto memory = InMemory(folder);
    const fs::path root = folder.Path();
    const fs::path projects[] = {root / "a" / "menu.zorbel", root / "b" / "menu.zorbel"};
    WriteSiteProject(projects[0], "a");
    WriteSiteProject(projects[1], "b");
    const auto site = root / "site";
    WriteSite(site);
    ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);  // the kept versions, for the programs started here
    const Command command = [&](int version) {
        return std::vector<std::string>{CliProgram(), "site", projects[version].string(), "--site", site.string()};
    };

    FileSet sets[2];
    Steps steps[2];
    for (const int version : {0, 1, 0, 1}) {
        steps[version] = StepsOfWholeRun(command, version);
        ASSERT_FALSE(HasFailure());
        sets[version] = SiteFilesIn(site);
    }
    ASSERT_EQ(sets[0].size(), sets[1].size());
    ASSERT_NE(sets[0]["boats/sails/page2.html"], sets[1]["boats/sails/page2.html"]);

    int mixedSites = 0, withTemporaryFiles = 0;
    const auto [kills, runs, inRenames, seed] = KillRepeatedly(command, steps, 1, kSiteKills, [&](int run, int& whole) {
        int temporary = 0;
        const auto files = SiteFilesIn(site, &temporary);
        ASSERT_EQ(files.size(), sets[0].size()) << "run " << run << ": a page or a companion is missing or new";
        int fromVersion[2] = {0, 0};
        for (const auto& [name, bytes] : files) {
            const bool old = bytes == sets[0][name], now = bytes == sets[1][name];
            ASSERT_TRUE(old || now) << "run " << run << ": " << name << " is neither version";
            fromVersion[0] += old;
            fromVersion[1] += now;
        }
        const int all = static_cast<int>(files.size());
        whole = fromVersion[0] == all ? 0 : fromVersion[1] == all ? 1 : -1;
        if (whole < 0) ++mixedSites;
        if (temporary > 0) ++withTemporaryFiles;
    });
    if (HasFatalFailure()) return;

    // A publish writes only the pages that change, and a folder's leftover temporary
    // files go with the first file written there: the other version first, so that the
    // last publish writes every page.
    ASSERT_EQ(RunProgram(command(1)).exitCode, 0);
    ASSERT_EQ(RunProgram(command(0)).exitCode, 0);
    int temporary = 0;
    EXPECT_EQ(SiteFilesIn(site, &temporary), sets[0]) << "the next publish leaves the new site";
    EXPECT_EQ(temporary, 0) << "and no temporary file";
    ::unsetenv("XDG_DATA_HOME");
    std::cout << "site kills: " << kills << " of " << runs << " runs of " << steps[0].all << " steps (seed " << seed << "), " << inRenames
              << " in the renames; mixed sites after "
              << mixedSites << " kills; temporary files after " << withTemporaryFiles << " kills\n";
    RecordProperty("site_kills", kills);
}

}  // namespace
}  // namespace qm::test
