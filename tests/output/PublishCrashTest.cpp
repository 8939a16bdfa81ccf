// quillamere-cli publish killed at chosen writes while it publishes a 100,000-item
// project over an earlier set: after every kill each output is whole, the earlier
// version or the new one, and the next publish leaves no temporary file behind.
// The tool announces each of its writes on a pipe (cli/WriteAnnouncements.h), so every
// kill lands while it writes, never while it still reads the project, and nothing
// depends on how fast the machine is: a busy one only makes the runs slower.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
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

// A run of the tool that announces its writes: one byte on the pipe before each.
class AnnouncedRun {
public:
    explicit AnnouncedRun(const std::vector<std::string>& command) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return;
        ::fcntl(ends[1], F_SETFD, 0);  // the tool inherits the writing end
        ::setenv(kAnnounceWritesVariable, std::to_string(ends[1]).c_str(), 1);
        pid_ = StartProgram(command);
        ::unsetenv(kAnnounceWritesVariable);
        ::close(ends[1]);
        announcements_ = ends[0];
    }
    ~AnnouncedRun() {
        if (pid_ > 0) End(false);
        if (announcements_ >= 0) ::close(announcements_);
    }
    AnnouncedRun(const AnnouncedRun&) = delete;
    AnnouncedRun& operator=(const AnnouncedRun&) = delete;

    bool Started() const { return pid_ > 0 && announcements_ >= 0; }
    // Waits until the tool has begun write number `write` (from 1) or has ended; true
    // for the first.
    bool ReachWrite(long write) { return Read(write - writes_) && writes_ == write; }
    // Kills the tool now (or lets it end) and waits for it; true when it was killed.
    // Afterwards Writes() counts every write it began.
    bool End(bool kill) {
        if (kill) ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        Read(LONG_MAX);
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return WIFSIGNALED(status);
    }
    long Writes() const { return writes_; }
    int ExitCode() const { return exitCode_; }

private:
    // Reads up to `wanted` announcements; false at the end of the pipe (the tool ended).
    bool Read(long wanted) {
        char buffer[4096];
        while (wanted > 0) {
            const auto got = ::read(announcements_, buffer, static_cast<std::size_t>(std::min<long>(wanted, sizeof buffer)));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            writes_ += got;
            wanted -= got;
        }
        return true;
    }

    pid_t pid_ = -1;
    int announcements_ = -1;
    long writes_ = 0;
    int exitCode_ = -1;
};

// The writes of an uninterrupted run of command(version), which must succeed.
long WritesOfWholeRun(const Command& command, int version) {
    AnnouncedRun run(command(version));
    EXPECT_TRUE(run.Started());
    EXPECT_FALSE(run.End(false));
    EXPECT_EQ(run.ExitCode(), 0) << "an uninterrupted run of version " << version;
    EXPECT_GT(run.Writes(), 0) << "the tool announced no write";
    return run.Writes();
}

struct KillCounts {
    int kills = 0;
    int runs = 0;
    int afterLastWrite = 0;  // kills that landed in the flushes and renames of the set
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

// Runs command(version) again and again and kills each run at a write chosen at random
// (writes[version] is how many a whole run makes): every other run at any of its writes,
// the others at the last one, so that the kill lands in the flushes and renames. Each
// run changes the outputs: from the version they are in to the other, from a mix to the
// version whose renames were cut off. A run that ends before its kill (the test was not
// scheduled in time, or the run had less to write) counts as a run only. After each
// run, check looks at what it left. At least wantedKills kills, at most three times as
// many runs.
KillCounts KillRepeatedly(const Command& command, const long (&writes)[2], int wholeVersion, int wantedKills,
                          const Check& check) {
    const char* seedText = std::getenv("QUILLAMERE_CRASH_SEED");
    KillCounts counts;
    counts.seed = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 15u;
    std::mt19937 random(counts.seed);
    int version = 1 - wholeVersion;
    while (counts.kills < wantedKills && counts.runs < 3 * wantedKills) {
        const long last = writes[version];
        const long killAt = ++counts.runs % 4 < 2 ? std::uniform_int_distribution<long>(1, last)(random) : last;
        AnnouncedRun run(command(version));
        EXPECT_TRUE(run.Started());
        if (!run.Started()) return counts;
        if (run.End(run.ReachWrite(killAt))) {
            ++counts.kills;
            counts.afterLastWrite += run.Writes() >= last;
        } else {
            EXPECT_EQ(run.ExitCode(), 0) << "run " << counts.runs << " (seed " << counts.seed << ")";
        }
        check(counts.runs, wholeVersion);
        if (::testing::Test::HasFailure()) return counts;
        if (wholeVersion >= 0) version = 1 - wholeVersion;
    }
    EXPECT_GE(counts.kills, wantedKills) << "too many runs ended before their kill";
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
    // Each version's set and its writes, from publishes that are not interrupted.
    FileSet sets[2];
    long writes[2] = {0, 0};
    for (const int version : {0, 1, 0, 1}) {
        writes[version] = WritesOfWholeRun(publish, version);
        ASSERT_FALSE(HasFailure());
        sets[version] = FilesIn(site);
    }
    ASSERT_EQ(sets[0].size(), 6u);
    ASSERT_NE(sets[0]["menu.html"], sets[1]["menu.html"]);

    int mixedSets = 0, withTemporaryFiles = 0, temporaryFiles = 0;
    const auto [kills, runs, afterLastWrite, seed] = KillRepeatedly(publish, writes, 1, kKills, [&](int run, int& whole) {
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

    std::cout << "kills: " << kills << " of " << runs << " runs (seed " << seed << "), " << afterLastWrite
              << " after the last write; mixed sets after " << mixedSets << " kills; temporary files after "
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
    long writes[2] = {0, 0};
    for (const int version : {0, 1, 0, 1}) {
        writes[version] = WritesOfWholeRun(command, version);
        ASSERT_FALSE(HasFailure());
        sets[version] = SiteFilesIn(site);
    }
    ASSERT_EQ(sets[0].size(), sets[1].size());
    ASSERT_NE(sets[0]["boats/sails/page2.html"], sets[1]["boats/sails/page2.html"]);

    int mixedSites = 0, withTemporaryFiles = 0;
    const auto [kills, runs, afterLastWrite, seed] = KillRepeatedly(command, writes, 1, kSiteKills, [&](int run, int& whole) {
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
    std::cout << "site kills: " << kills << " of " << runs << " runs (seed " << seed << "), " << afterLastWrite
              << " after the last write; mixed sites after "
              << mixedSites << " kills; temporary files after " << withTemporaryFiles << " kills\n";
    RecordProperty("site_kills", kills);
}

}  // namespace
}  // namespace qm::test
